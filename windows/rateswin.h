// "Currency Rates": the editor of a source's currencies. The user chooses
// which currencies the conversion windows offer, the base currency the rates
// are shown against, and adds, edits and deletes currencies.
#pragma once

#include "windows/currencywindow.h"

class CurrencyItem;

class TRatesForm : public TCurrencyWindow {
public:
    TRatesForm(TComponent* owner, CurrSource* source);

    TImageList* ImageList1;
    TActionList* ActionList1;
    TAction* AddAction;
    TAction* EditAction;
    TAction* DeleteAction;
    TAction* SelectAction;
    TAction* UnselectAction;
    TAction* DeleteLeftAction;
    TPopupMenu* PopupMenu1;
    TPopupMenu* PopupMenu2;
    TPanel* LeftPanel;
    TPanel* AllCaptionPanel;
    TLabel* AllCaptionLabel;
    TListView* ListView2;
    TPanel* FilterPanel;
    TLabel* FilterLabel;
    TEdit* FilterEdit;
    TPanel* MidPanel;
    TPanel* ToPrefPanel;
    TButton* ToPrefButton;
    TButton* FromPrefButton;
    TPanel* RightPanel;
    TPanel* SelectedCaptionPanel;
    TLabel* SelectedCaptionLabel;
    TPanel* BasePanel;
    TLabel* BaseLabel;
    TComboBox* ComboBox1;
    TListView* ListView1;
    TPanel* CurrencyPanel;
    TPanel* AddDeletePanel;
    TButton* AddButton;
    TButton* EditButton;
    TButton* DeleteButton;
    TButton* ExcelButton;

    CurrSource* Source = nullptr;
    CurrencyItem* DefaultUnit = nullptr;
    CurrencyItem* Base = nullptr;

    // Rebuilds the caption, both lists and the base list from the source.
    void FillLists();
    // Finds the default unit and the base again, then refills.
    void ResolveBase();
    void SetSource(CurrSource* source) override;
    void UpdateCurrencies() override;
    void WriteWindowState(std::ostream& out) override;

    void FormShow(TObject* sender);
    void FormClose(TObject* sender, TCloseAction& action);
    void MidPanelResize(TObject* sender);
    void CurrencyPanelResize(TObject* sender);
    void ListView1Click(TObject* sender);
    void ListView2Click(TObject* sender);
    void ListView1DblClick(TObject* sender);
    void ListView2DblClick(TObject* sender);
    void ListView1Enter(TObject* sender);
    void ListView2Enter(TObject* sender);
    void PopupMenu1Popup(TObject* sender);
    void PopupMenu2Popup(TObject* sender);
    void ToPrefButtonClick(TObject* sender);
    void FromPrefButtonClick(TObject* sender);
    void SelectActionExecute(TObject* sender);
    void UnselectActionExecute(TObject* sender);
    void AddActionExecute(TObject* sender);
    void EditActionExecute(TObject* sender);
    void DeleteActionExecute(TObject* sender);
    void DeleteLeftActionExecute(TObject* sender);
    void ExcelButtonClick(TObject* sender);
    void ComboBox1Change(TObject* sender);
    void FilterEditChange(TObject* sender);

private:
    void BuildActions();
    void BuildControls();
    void SelectCurrencies();
    void UnselectCurrencies();
    void DeleteCurrency(const std::string& name);
    std::string Filter() const;
    // The unselected currencies that pass the filter, into the all-currencies list.
    void AddUnselectedRows(const std::string& filter);
    void AddSelectedRow(CurrencyItem* currency);
    void AddUnselectedRow(CurrencyItem* currency);
};
