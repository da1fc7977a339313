#include "windows/rateswin.h"

#include "currency/currsource.h"
#include "export/exportwin.h"
#include "mainwin/main.h"
#include "windows/editcurrencywin.h"

#include <algorithm>

namespace {
const int DesignWidth = 657, DesignHeight = 289;
const int LeftWidth = 200, MidWidth = 40;
// The selected list keeps at least this much room, with its caption and base list above it.
const int MinRightWidth = 360, MinListHeight = 100;
const int CaptionHeight = 28, ButtonRowHeight = 36;

std::string ImageFile(int index) { return ":/windows/images/rates/" + std::to_string(index) + ".png"; }

TPanel* MakePanel(TComponent* owner, TWinControl* parent, TAlign align, int size) {
    auto* panel = new TPanel(owner, parent);
    panel->SetBevelOuter(bvNone);
    panel->SetAlign(align);
    if (align == alLeft || align == alRight) panel->SetWidth(size);
    else if (align == alTop || align == alBottom) panel->SetHeight(size);
    return panel;
}

TMenuItem* MenuItem(TComponent* owner, TAction* action) {
    auto* item = new TMenuItem(owner);
    if (action) item->SetAction(action);
    else item->SetCaption("-");
    return item;
}
}  // namespace

TRatesForm::TRatesForm(TComponent* owner, CurrSource* source) : TCurrencyWindow(owner) {
    SetCaption("Currency Rates");
    SetPosition(poMainFormCenter);
    // The designed size is the window's outer size, as the layout file keeps it.
    SetClientSize(DesignWidth, DesignHeight);
    const int frameWidth = Width() - ClientWidth(), frameHeight = Height() - ClientHeight();
    SetClientSize(DesignWidth - frameWidth, DesignHeight - frameHeight);
    SetMinSize(LeftWidth + MidWidth + MinRightWidth + frameWidth,
               CaptionHeight + MinListHeight + ButtonRowHeight + frameHeight);

    BuildActions();
    BuildControls();

    OnShow = [this](TObject* s) { FormShow(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
    MidPanel->OnResize = [this](TObject* s) { MidPanelResize(s); };
    CurrencyPanel->OnResize = [this](TObject* s) { CurrencyPanelResize(s); };
    ListView1->OnClick = [this](TObject* s) { ListView1Click(s); };
    ListView2->OnClick = [this](TObject* s) { ListView2Click(s); };
    ListView1->OnDblClick = [this](TObject* s) { ListView1DblClick(s); };
    ListView2->OnDblClick = [this](TObject* s) { ListView2DblClick(s); };
    ListView1->OnEnter = [this](TObject* s) { ListView1Enter(s); };
    ListView2->OnEnter = [this](TObject* s) { ListView2Enter(s); };
    PopupMenu1->OnPopup = [this](TObject* s) { PopupMenu1Popup(s); };
    PopupMenu2->OnPopup = [this](TObject* s) { PopupMenu2Popup(s); };
    ToPrefButton->OnClick = [this](TObject* s) { ToPrefButtonClick(s); };
    FromPrefButton->OnClick = [this](TObject* s) { FromPrefButtonClick(s); };
    SelectAction->OnExecute = [this](TObject* s) { SelectActionExecute(s); };
    UnselectAction->OnExecute = [this](TObject* s) { UnselectActionExecute(s); };
    AddAction->OnExecute = [this](TObject* s) { AddActionExecute(s); };
    EditAction->OnExecute = [this](TObject* s) { EditActionExecute(s); };
    DeleteAction->OnExecute = [this](TObject* s) { DeleteActionExecute(s); };
    DeleteLeftAction->OnExecute = [this](TObject* s) { DeleteLeftActionExecute(s); };
    ExcelButton->OnClick = [this](TObject* s) { ExcelButtonClick(s); };
    ComboBox1->OnChange = [this](TObject* s) { ComboBox1Change(s); };
    FilterEdit->OnChange = [this](TObject* s) { FilterEditChange(s); };

    FormLoaded();  // shown now, with FormShow taking a remembered placement
    Source = source;
    // A remembered placement serves one opening only.
    if (RatesClosedState.Height != -1) RatesClosedState.Height = -1;
    ResolveBase();
}

void TRatesForm::BuildActions() {
    ImageList1 = new TImageList(this, 16, 16);
    for (int i = 0; i <= 4; ++i) ImageList1->SetImage(i, ImageFile(i));
    ActionList1 = new TActionList(this);
    AddAction = new TAction(ActionList1, "&Add", "", 0);
    EditAction = new TAction(ActionList1, "&Edit", "", 1);
    DeleteAction = new TAction(ActionList1, "&Delete", "", 2);
    SelectAction = new TAction(ActionList1, "&Select", "", 4);
    SelectAction->SetEnabled(false);
    UnselectAction = new TAction(ActionList1, "&Unselect", "", 3);
    UnselectAction->SetEnabled(false);
    DeleteLeftAction = new TAction(ActionList1, "&Delete", "", 2);

    PopupMenu1 = new TPopupMenu(this);
    PopupMenu1->SetImages(ImageList1);
    for (TAction* a : {SelectAction, static_cast<TAction*>(nullptr), DeleteLeftAction})
        PopupMenu1->Add(MenuItem(this, a));
    PopupMenu2 = new TPopupMenu(this);
    PopupMenu2->SetImages(ImageList1);
    for (TAction* a : {UnselectAction, static_cast<TAction*>(nullptr), AddAction, EditAction,
                       static_cast<TAction*>(nullptr), DeleteAction})
        PopupMenu2->Add(MenuItem(this, a));
}

void TRatesForm::BuildControls() {
    // Left: the unselected currencies with the filter below them.
    LeftPanel = MakePanel(this, this, alLeft, LeftWidth);
    AllCaptionPanel = MakePanel(this, LeftPanel, alTop, CaptionHeight);
    AllCaptionPanel->SetBevelOuter(bvRaised);
    AllCaptionLabel = new TLabel(this, AllCaptionPanel, " All Currencies");
    AllCaptionLabel->SetBounds(2, 6, 120, 16);
    FilterPanel = MakePanel(this, LeftPanel, alBottom, ButtonRowHeight);
    FilterLabel = new TLabel(this, FilterPanel, "Filter:");
    FilterLabel->SetBounds(6, 10, 34, 16);
    FilterEdit = new TEdit(this, FilterPanel);
    FilterEdit->SetBounds(46, 7, LeftWidth - 50, 22);
    ListView2 = new TListView(this, LeftPanel);
    ListView2->SetAlign(alClient);
    ListView2->AddColumn("Name", 119);
    ListView2->AddColumn("ISO", 40);
    ListView2->SetMultiSelect(true);
    ListView2->SetRowSelect(true);
    ListView2->SetSorted(true);
    ListView2->SetPopupMenu(PopupMenu1);

    // Middle: the two arrows that move currencies between the lists.
    MidPanel = MakePanel(this, this, alLeft, MidWidth);
    ToPrefPanel = MakePanel(this, MidPanel, alNone, 0);
    ToPrefPanel->SetBounds(4, 0, 32, 62);
    ToPrefButton = new TButton(this, ToPrefPanel, "->");
    ToPrefButton->SetBounds(0, 0, 32, 28);
    ToPrefButton->SetEnabled(false);
    FromPrefButton = new TButton(this, ToPrefPanel, "<-");
    FromPrefButton->SetBounds(0, 34, 32, 28);
    FromPrefButton->SetEnabled(false);

    // Right: the selected currencies with the base list above and the buttons below.
    RightPanel = MakePanel(this, this, alClient, 0);
    SelectedCaptionPanel = MakePanel(this, RightPanel, alTop, CaptionHeight);
    SelectedCaptionPanel->SetBevelOuter(bvRaised);
    SelectedCaptionLabel = new TLabel(this, SelectedCaptionPanel, " Selected Currencies");
    SelectedCaptionLabel->SetBounds(2, 6, 130, 16);
    BasePanel = MakePanel(this, SelectedCaptionPanel, alRight, 222);
    BaseLabel = new TLabel(this, BasePanel, " Base Currency:");
    BaseLabel->SetBounds(0, 6, 92, 16);
    ComboBox1 = new TComboBox(this, BasePanel);
    ComboBox1->SetBounds(94, 3, 124, 22);
    ComboBox1->SetSorted(true);
    CurrencyPanel = MakePanel(this, RightPanel, alBottom, ButtonRowHeight);
    AddDeletePanel = MakePanel(this, CurrencyPanel, alNone, 0);
    AddDeletePanel->SetBounds(0, 6, 315, 25);
    AddButton = new TButton(this, AddDeletePanel);
    AddButton->SetAction(AddAction);
    EditButton = new TButton(this, AddDeletePanel);
    EditButton->SetAction(EditAction);
    DeleteButton = new TButton(this, AddDeletePanel);
    DeleteButton->SetAction(DeleteAction);
    ExcelButton = new TButton(this, AddDeletePanel, "Exp&ort");
    int left = 0;
    for (TButton* b : {AddButton, EditButton, DeleteButton, ExcelButton}) {
        b->SetBounds(left, 0, 75, 25);
        left += 80;
    }
    ListView1 = new TListView(this, RightPanel);
    ListView1->SetAlign(alClient);
    ListView1->AddColumn("Name", 100);
    ListView1->AddColumn("ISO", 40);
    ListView1->AddColumn("Value", 80);
    ListView1->AddColumn("Updated", 100);
    ListView1->SetColumnAutoSize(0);
    ListView1->SetColumnAutoSize(3);
    ListView1->SetMultiSelect(true);
    ListView1->SetRowSelect(true);
    ListView1->SetSorted(true);
    ListView1->SetPopupMenu(PopupMenu2);
}

// ---------------------------------------------------------------- filling

void TRatesForm::ResolveBase() {
    Base = Source->FindCurrency(Source->GetPreferredBase());
    DefaultUnit = Source->FindCurrency(Source->GetDefaultUnit());
    if (!Base) {
        Base = DefaultUnit;
        // The data file keeps the base the window fell back to.
        if (DefaultUnit) Source->SetPreferredBase(DefaultUnit->GetName());
    }
    FillLists();
}

std::string TRatesForm::Filter() const { return AnsiLowerCase(Trim(FilterEdit->Text())); }

void TRatesForm::AddSelectedRow(CurrencyItem* currency) {
    TListItem* row = ListView1->AddItem();
    row->SetCaption(currency->GetName());
    row->AddSubItem(currency->GetIso());
    row->AddSubItem(FloatToStr(Source->Convert(Base, 1, currency)));
    row->AddSubItem(currency->GetDate());
}

void TRatesForm::AddUnselectedRow(CurrencyItem* currency) {
    TListItem* row = ListView2->AddItem();
    row->SetCaption(currency->GetName());
    row->AddSubItem(currency->GetIso());
}

void TRatesForm::AddUnselectedRows(const std::string& filter) {
    for (CurrItr it = Source->GetCurrencies(); it.HasNext();) {
        CurrencyItem* c = it.Next();
        if (c->IsSelected()) continue;
        if (filter.empty() || AnsiLowerCase(c->GetName()).find(filter) != std::string::npos) AddUnselectedRow(c);
    }
}

void TRatesForm::FillLists() {
    SetCaption("Currency Rates - " + Source->GetName());
    const std::string filter = Filter();
    ListView1->BeginUpdate();
    ListView2->BeginUpdate();
    ListView1->Clear();
    ListView2->Clear();
    ComboBox1->Items()->Clear();
    std::vector<std::string> offered;
    for (CurrItr it = Source->GetCurrencies(); it.HasNext();) {
        CurrencyItem* c = it.Next();
        if (!c->IsSelected()) continue;
        AddSelectedRow(c);
        offered.push_back(c->GetName());
    }
    ComboBox1->Items()->AddStrings(offered);
    AddUnselectedRows(filter);
    ListView1->EndUpdate();
    ListView2->EndUpdate();
    // The default unit and the base can be chosen even when they are not offered.
    if (DefaultUnit && ComboBox1->Items()->IndexOf(DefaultUnit->GetName()) < 0)
        ComboBox1->Items()->Add(DefaultUnit->GetName());
    if (Base && ComboBox1->Items()->IndexOf(Base->GetName()) < 0) ComboBox1->Items()->Add(Base->GetName());
    // Without a base nothing is chosen, as after emptying the list.
    ComboBox1->SetItemIndex(Base ? ComboBox1->Items()->IndexOf(Base->GetName()) : -1);
}

void TRatesForm::FilterEditChange(TObject*) {
    const std::string filter = Filter();
    ListView2->BeginUpdate();
    ListView2->Clear();
    AddUnselectedRows(filter);
    ListView2->EndUpdate();
}

// ---------------------------------------------------------------- moving rows

void TRatesForm::SelectCurrencies() {
    if (ListView2->SelCount() == 0) return;
    ListView1->BeginUpdate();
    ListView2->BeginUpdate();
    for (int i = 0; i < ListView2->Count();) {
        TListItem* row = ListView2->Item(i);
        CurrencyItem* c = row->Selected() ? Source->FindCurrency(row->Caption()) : nullptr;
        if (!c) {
            ++i;
            continue;
        }
        c->SetSelected(true);
        ListView2->Delete(i);
        AddSelectedRow(c);
        ComboBox1->Items()->Add(c->GetName());
    }
    ListView1->EndUpdate();
    ListView2->EndUpdate();
}

void TRatesForm::UnselectCurrencies() {
    if (ListView1->SelCount() == 0) return;
    bool refused = false;
    ListView1->BeginUpdate();
    ListView2->BeginUpdate();
    for (int i = 0; i < ListView1->Count();) {
        TListItem* row = ListView1->Item(i);
        if (!row->Selected()) {
            ++i;
            continue;
        }
        // The conversion windows need at least one offered currency.
        if (ListView1->Count() < 2) {
            refused = true;
            break;
        }
        CurrencyItem* c = Source->FindCurrency(row->Caption());
        if (!c) {
            ++i;
            continue;
        }
        c->SetSelected(false);
        ListView1->Delete(i);
        AddUnselectedRow(c);
    }
    ListView1->EndUpdate();
    ListView2->EndUpdate();
    if (refused) ShowMessage("Can't unselect this currency. You must atleast have 1 selected currency.");
}

void TRatesForm::ToPrefButtonClick(TObject*) {
    SelectCurrencies();
    MainForm->RefreshWindows();
}

void TRatesForm::FromPrefButtonClick(TObject*) {
    UnselectCurrencies();
    MainForm->RefreshWindows();
}

void TRatesForm::SelectActionExecute(TObject*) { SelectCurrencies(); }
void TRatesForm::UnselectActionExecute(TObject*) { UnselectCurrencies(); }
void TRatesForm::ListView2DblClick(TObject*) { SelectCurrencies(); }
void TRatesForm::ListView1DblClick(TObject*) { UnselectCurrencies(); }

// ---------------------------------------------------------------- enabling

void TRatesForm::ListView2Click(TObject*) {
    if (ListView2->SelCount() > 0) {
        ToPrefButton->SetEnabled(true);
        SelectAction->SetEnabled(true);
        FromPrefButton->SetEnabled(false);
        UnselectAction->SetEnabled(false);
    } else {
        ToPrefButton->SetEnabled(false);
        SelectAction->SetEnabled(false);
    }
    EditAction->SetEnabled(false);
    DeleteAction->SetEnabled(false);
}

void TRatesForm::ListView1Click(TObject*) {
    const bool chosen = ListView1->SelCount() > 0;
    FromPrefButton->SetEnabled(chosen);
    UnselectAction->SetEnabled(chosen);
    EditAction->SetEnabled(chosen);
    DeleteAction->SetEnabled(chosen);
    if (chosen) {
        ToPrefButton->SetEnabled(false);
        SelectAction->SetEnabled(false);
    }
}

void TRatesForm::ListView1Enter(TObject* sender) { ListView1Click(sender); }
void TRatesForm::ListView2Enter(TObject* sender) { ListView2Click(sender); }
void TRatesForm::PopupMenu1Popup(TObject* sender) { ListView2Click(sender); }
void TRatesForm::PopupMenu2Popup(TObject* sender) { ListView1Click(sender); }

// ---------------------------------------------------------------- base, add, edit, delete

void TRatesForm::ComboBox1Change(TObject*) {
    const int i = ComboBox1->ItemIndex();
    if (i < 0) return;
    Source->SetPreferredBase(ComboBox1->Items()->Get(i));
    ResolveBase();
}

void TRatesForm::AddActionExecute(TObject*) {
    EditCurrencyForm->SetCurrency(Source, nullptr);
    EditCurrencyForm->ShowModal();
    FillLists();
    MainForm->RefreshWindows();
}

void TRatesForm::EditActionExecute(TObject*) {
    TListItem* row = ListView1->Selected();
    if (!row) return;
    const std::string name = row->Caption();
    if (name == Source->GetDefaultUnit()) {
        ShowMessage("Can't edit " + Source->GetDefaultUnit() + ". Sorry.");
        return;
    }
    CurrencyItem* c = Source->FindCurrency(name);
    if (!c) return;  // a row left from before the source changed: nothing to edit
    if (std::string(c->GetDate()) == "Euro Linked") {
        ShowMessage("Can't edit Euro-linked currencies. Edit the Euro instead.");
        return;
    }
    EditCurrencyForm->SetCurrency(Source, c);
    EditCurrencyForm->ShowModal();
    // A renamed base stays the base, also in the data file.
    if (c == Base) Source->SetPreferredBase(c->GetName());
    if (std::string(c->GetName()) == "Euro") Source->AddLinkedCurrencies();
    FillLists();
    MainForm->RefreshWindows();
}

void TRatesForm::DeleteCurrency(const std::string& name) {
    Source->RemoveCurrency(Source->FindCurrency(name));
    // The base may have been the deleted currency: it falls back to the default unit.
    ResolveBase();
}

void TRatesForm::DeleteActionExecute(TObject*) {
    if (ListView1->Count() < 2) {
        ShowMessage("Can't remove last currency. Add some others first.");
        return;
    }
    TListItem* row = ListView1->Selected();
    if (!row) return;
    const std::string name = row->Caption();
    if (name == Source->GetDefaultUnit() || name == "Euro") {
        ShowMessage("Can't delete " + Source->GetDefaultUnit() + ". Sorry.");
        return;
    }
    DeleteCurrency(name);
    MainForm->RefreshWindows();
}

void TRatesForm::DeleteLeftActionExecute(TObject*) {
    TListItem* row = ListView2->Selected();
    if (!row) return;
    const std::string name = row->Caption();
    // Every rate is stated against the default unit: it stays.
    if (name == Source->GetDefaultUnit()) {
        ShowMessage("Can't delete " + Source->GetDefaultUnit() + ". Sorry.");
        return;
    }
    DeleteCurrency(name);
    MainForm->RefreshWindows();
}

void TRatesForm::ExcelButtonClick(TObject*) { ExportForm->ShowModal(); }

// ---------------------------------------------------------------- window

void TRatesForm::MidPanelResize(TObject*) { ToPrefPanel->SetTop((MidPanel->Height() - ToPrefPanel->Height()) / 2); }

void TRatesForm::CurrencyPanelResize(TObject*) {
    AddDeletePanel->SetLeft((CurrencyPanel->Width() - AddDeletePanel->Width()) / 2);
}

void TRatesForm::FormShow(TObject*) {
    if (RatesClosedState.Height == -1) return;
    // A hand-edited size of 0 or less keeps the designed one.
    const TRatesClosedState& m = RatesClosedState;
    SetBounds(std::clamp(m.Left, -32767, 32767), std::clamp(m.Top, -32767, 32767),
              m.Width > 0 ? std::min(m.Width, 32767) : Width(), m.Height > 0 ? std::min(m.Height, 32767) : Height());
}

void TRatesForm::FormClose(TObject*, TCloseAction&) {
    RatesClosedState.Left = Left();
    RatesClosedState.Top = Top();
    RatesClosedState.Width = Width();
    RatesClosedState.Height = Height();
    MainForm->CloseRatesWindow();
}

void TRatesForm::SetSource(CurrSource* source) {
    Source = source;
    ResolveBase();
}

void TRatesForm::UpdateCurrencies() {}  // the main window refills this window itself

void TRatesForm::WriteWindowState(std::ostream& out) {
    WriteWindowElement(out, {{"TYPE", "Rates"},
                             {"VALUE", "-1"}},
                       true);
}
