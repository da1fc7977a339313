// "World Currencies": converts an amount from any offered currency into any other.
#pragma once

#include "windows/currencywindow.h"

class CurrencyItem;

class TWorldForm : public TCurrencyWindow {
public:
    TWorldForm(TComponent* owner, CurrSource* source);

    TGroupBox* GroupBox1;
    TEdit* Edit1;
    TComboBox* ComboBox1;
    TLabel* Label2;
    TEdit* Edit2;
    TComboBox* ComboBox2;
    TLabel* Label1;
    TLabel* Label3;
    TLabel* Label4;
    TLabel* Label5;
    TButton* BitBtn1;
    TButton* BitBtn2;
    TButton* SwitchButton;
    TButton* UndockButton;
    TButton* ClearButton;
    TButton* BitBtn3;
    TButton* BitBtn4;

    CurrSource* Source = nullptr;
    CurrencyItem* Left = nullptr;
    CurrencyItem* Right = nullptr;

    void SetSelection(int leftPosition, int rightPosition, const std::string& amount);
    void SetSource(CurrSource* source) override;
    void UpdateCurrencies() override;
    void WriteWindowState(std::ostream& out) override;

    void FormShow(TObject* sender);
    void FormClose(TObject* sender, TCloseAction& action);
    void ComboBox1Change(TObject* sender);
    void ComboBox2Change(TObject* sender);
    void Edit1Change(TObject* sender);
    void BitBtn1Click(TObject* sender);
    void BitBtn2Click(TObject* sender);
    void SwitchButtonClick(TObject* sender);
    void BitBtn6Click(TObject* sender);
    void ClearButtonClick(TObject* sender);
    void BitBtn3Click(TObject* sender);

private:
    void ReloadComboBoxes() { FillComboBoxes(); }
    void FillComboBoxes();
    void UpdateLeft();
    void UpdateRight();
    void Convert();
    std::string ChosenName(TComboBox* list) const;
};
