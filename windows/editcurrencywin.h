// "Edit Currency": the modal editor of one currency of a source, for a new
// currency or an existing one. It writes its result straight into the source.
#pragma once

#include "platform/formkit.h"

class CurrSource;
class CurrencyItem;

class TEditCurrencyForm : public TForm {
public:
    explicit TEditCurrencyForm(TComponent* owner);

    TGroupBox* GroupBox1;
    TLabel* Label1;
    TEdit* Edit1;
    TLabel* Label3;
    TEdit* Edit2;
    TLabel* Label2;
    TEdit* Edit3;
    TLabel* Label4;
    TRadioButton* RadioButton1;
    TRadioButton* RadioButton2;
    TButton* OkButton;
    TButton* CancelButton;

    CurrSource* Source = nullptr;
    CurrencyItem* Item = nullptr;  // null while adding

    // Prepares the dialog for the currency, or for a new one when null.
    void SetCurrency(CurrSource* source, CurrencyItem* item);

    void OkButtonClick(TObject* sender);
    void CancelButtonClick(TObject* sender);
    void Edit3Change(TObject* sender);
    void FormShow(TObject* sender);

private:
    // The rate in the value field, or false when it is no number a rate can hold.
    bool ReadValue(double& value) const;
    void FitToContents();
};

extern TEditCurrencyForm* EditCurrencyForm;
