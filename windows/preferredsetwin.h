// The modal editor of the named currency pairs. Every change goes into the
// source at once; OK only closes the dialog.
#pragma once

#include "platform/formkit.h"

#include <string>

class CurrSource;
class PrefItem;

class TPrefSetForm : public TForm {
public:
    explicit TPrefSetForm(TComponent* owner);

    TGroupBox* GroupBox1;
    TListBox* PrefListBox;
    TButton* NewButton;
    TButton* RemoveButton;
    TLabel* Label4;
    TEdit* Edit1;
    TLabel* Label3;
    TComboBox* ComboBox1;
    TLabel* Label5;
    TComboBox* ComboBox2;
    TButton* OkButton;

    CurrSource* Source = nullptr;
    int ItemIndex = -1;
    PrefItem* Current = nullptr;

    // Prepares one opening on the source: its currencies, its pairs, the first pair chosen.
    void Load(CurrSource* source);
    void SelectItem(const std::string& name);
    void FillList();
    int IndexOfItem(const std::string& name) const;
    void AddNewItem();

    void PrefListBoxClick(TObject* sender);
    void Edit1Change(TObject* sender);
    void ComboBox1Change(TObject* sender);
    void ComboBox2Change(TObject* sender);
    void NewButtonClick(TObject* sender);
    void RemoveButtonClick(TObject* sender);
    void OkButtonClick(TObject* sender);

private:
    void SetFieldsEnabled(bool enabled);
};

extern TPrefSetForm* PrefSetForm;
