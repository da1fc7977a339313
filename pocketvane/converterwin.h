// The tray program's converter: an always-on-top window that converts an
// amount between two of the selected currencies, both ways.
#pragma once

#include "platform/formkit.h"

class CurrSource;
class CurrencyItem;

class TForm2 : public TForm {
public:
    explicit TForm2(TComponent* owner);

    TEdit* Edit1;
    TComboBox* ComboBox1;
    TLabel* Label1;
    TEdit* Edit2;
    TComboBox* ComboBox2;
    TButton* BitBtn1;
    TButton* BitBtn2;
    TButton* BitBtn5;
    TButton* BitBtn4;
    TButton* BitBtn3;

    CurrSource* Source = nullptr;
    CurrencyItem* FromItem = nullptr;
    CurrencyItem* ToItem = nullptr;

    void FillCurrencyLists();
    void SetSelection(int leftIndex, int rightIndex, const std::string& amount);
    void SelectFromCurrency();
    void SelectToCurrency();
    void UpdateRightAmount();

    void FormShow(TObject* sender);
    void FormClose(TObject* sender, TCloseAction& action);
    void FormHide(TObject* sender);
    void Edit1Change(TObject* sender);
    void Edit2Change(TObject* sender);
    void ComboBox1Change(TObject* sender);
    void ComboBox2Change(TObject* sender);
    void BitBtn1Click(TObject* sender);
    void BitBtn2Click(TObject* sender);
    void BitBtn3Click(TObject* sender);
    void BitBtn4Click(TObject* sender);
    void BitBtn5Click(TObject* sender);

private:
    static std::string ChosenName(const TComboBox* list);
    std::string Converted(const std::string& amount, const CurrencyItem* from, const CurrencyItem* to) const;
};

extern TForm2* Form2;
