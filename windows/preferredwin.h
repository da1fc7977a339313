// "Preferred Currencies": converts both ways between the two currencies of a
// named pair; the "..." button edits the pairs.
#pragma once

#include "windows/currencywindow.h"

class CurrencyItem;

class TPreferredForm : public TCurrencyWindow {
public:
    TPreferredForm(TComponent* owner, CurrSource* source);

    TGroupBox* GroupBox1;
    TComboBox* PrefCombo;
    TButton* Button1;
    TLabel* Label1;
    TEdit* Edit1;
    TLabel* Label2;
    TLabel* Label3;
    TEdit* Edit2;
    TLabel* Label4;
    TLabel* Label5;
    TLabel* Label6;
    TLabel* Label7;
    TButton* BitBtn1;
    TButton* BitBtn2;
    TButton* UndockButton;
    TButton* ClearButton;
    TButton* BitBtn3;
    TButton* BitBtn4;

    CurrSource* Source = nullptr;
    CurrencyItem* First = nullptr;
    CurrencyItem* Second = nullptr;

    void SetSelection(int position, const std::string& amount);
    void SetSource(CurrSource* source) override;
    void UpdateCurrencies() override;
    void WriteWindowState(std::ostream& out) override;

    void FormShow(TObject* sender);
    void FormClose(TObject* sender, TCloseAction& action);
    void PrefComboChange(TObject* sender);
    void Edit1Change(TObject* sender);
    void Edit2Change(TObject* sender);
    void Button1Click(TObject* sender);
    void BitBtn1Click(TObject* sender);
    void BitBtn2Click(TObject* sender);
    void UndockButtonClick(TObject* sender);
    void ClearButtonClick(TObject* sender);
    void BitBtn3Click(TObject* sender);
    void BitBtn4Click(TObject* sender);

private:
    void FillPrefCombo();
    void Rebuild();
    std::string ChosenName() const;
};
