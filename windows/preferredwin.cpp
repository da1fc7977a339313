#include "windows/preferredwin.h"

#include "currency/currsource.h"
#include "currency/settings.h"
#include "mainwin/main.h"
#include "windows/preferredsetwin.h"

TPreferredForm::TPreferredForm(TComponent* owner, CurrSource* source) : TCurrencyWindow(owner) {
    SetCaption("Preferred Currencies");
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu | biMinimize);
    SetPosition(poDefault);
    SetClientSize(544, 128);

    // The box has no caption: the pair list sits on its top edge where the
    // caption would be, with the "..." button beside it.
    GroupBox1 = new TGroupBox(this, this, "");
    GroupBox1->SetBounds(4, 15, 536, 75);
    Label1 = new TLabel(this, GroupBox1);
    Label1->SetAutoSize(false);
    Label1->SetAlignment(taRightJustify);
    Label1->SetBounds(8, 34, 150, 16);
    Edit1 = new TEdit(this, GroupBox1);
    Edit1->SetBounds(162, 31, 100, 22);
    Label2 = new TLabel(this, GroupBox1, "=");
    Label2->SetBounds(267, 34, 8, 16);
    Label3 = new TLabel(this, GroupBox1);
    Label3->SetAutoSize(false);
    Label3->SetAlignment(taRightJustify);
    Label3->SetBounds(280, 34, 144, 16);
    Edit2 = new TEdit(this, GroupBox1);
    Edit2->SetBounds(428, 31, 100, 22);
    TLabel** under[] = {&Label4, &Label5, &Label6, &Label7};
    const int lefts[] = {8, 164, 280, 430};
    const int widths[] = {150, 98, 144, 98};
    for (int i = 0; i < 4; ++i) {
        *under[i] = new TLabel(this, GroupBox1);
        (*under[i])->SetAutoSize(false);
        (*under[i])->SetBounds(lefts[i], 55, widths[i], 16);
    }
    Label4->SetAlignment(taRightJustify);
    Label6->SetAlignment(taRightJustify);
    // Made after the amount fields, which come first in the tab order, and
    // after the box, so that they lie over its edge.
    PrefCombo = new TComboBox(this, this);
    PrefCombo->SetBounds(12, 4, 220, 22);
    PrefCombo->SetSorted(true);
    Button1 = new TButton(this, this, "...");
    Button1->SetBounds(236, 4, 28, 22);
    Button1->SetHint("Press to add new items to this list");
    Button1->SetShowHint(true);

    MakeButtonRow({{&BitBtn1, "&Copy", "Copy value to clipboard"},
                   {&BitBtn2, "&Paste", "Paste value from clipboard"},
                   {&UndockButton, "Un&dock", "(Un)dock window"},
                   {&ClearButton, "C&lear", "Clear fields"},
                   {&BitBtn3, "C&opy", "Copy value to clipboard"},
                   {&BitBtn4, "P&aste", "Paste value from clipboard"}},
                  97);

    OnShow = [this](TObject* s) { FormShow(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
    PrefCombo->OnChange = [this](TObject* s) { PrefComboChange(s); };
    Edit1->OnChange = [this](TObject* s) { Edit1Change(s); };
    Edit2->OnChange = [this](TObject* s) { Edit2Change(s); };
    Button1->OnClick = [this](TObject* s) { Button1Click(s); };
    BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
    BitBtn2->OnClick = [this](TObject* s) { BitBtn2Click(s); };
    UndockButton->OnClick = [this](TObject* s) { UndockButtonClick(s); };
    ClearButton->OnClick = [this](TObject* s) { ClearButtonClick(s); };
    BitBtn3->OnClick = [this](TObject* s) { BitBtn3Click(s); };
    BitBtn4->OnClick = [this](TObject* s) { BitBtn4Click(s); };
    SetActiveControl(Edit1);

    FormLoaded();  // shown now, with FormShow placing it
    Source = source;
    FillPrefCombo();
    if (PrefClosedState.PrefSet == -1) {
        SetSelection(0, "0");
    } else {
        SetSelection(PrefClosedState.PrefSet, PrefClosedState.Value);
        PrefClosedState.PrefSet = -1;
    }
    Edit1->SelectAll();
}

void TPreferredForm::FormShow(TObject*) {
    if (PrefClosedState.PrefSet != -1) {
        SetLeft(PrefClosedState.Left);
        SetTop(PrefClosedState.Top);
    }
}

void TPreferredForm::FormClose(TObject*, TCloseAction&) {
    MainForm->Show();
    PrefClosedState.PrefSet = PrefCombo->ItemIndex();
    PrefClosedState.Left = TForm::Left();
    PrefClosedState.Top = Top();
    PrefClosedState.Value = Edit1->Text();
    MainForm->CloseWindow(this);
}

std::string TPreferredForm::ChosenName() const {
    int i = PrefCombo->ItemIndex();
    return i >= 0 ? PrefCombo->Items()->Get(i) : std::string();
}

void TPreferredForm::FillPrefCombo() {
    THandlerPause change(PrefCombo->OnChange);
    PrefCombo->Items()->Clear();
    PrefCombo->Items()->AddStrings(PairNames(Source));
}

void TPreferredForm::PrefComboChange(TObject*) {
    PrefItem* pair = PrefCombo->ItemIndex() >= 0 ? Source->FindPreferred(ChosenName()) : nullptr;
    if (!pair) return;
    SetCaption(pair->GetName());
    if (!pair->GetFirst() || !pair->GetSecond()) return;
    First = pair->GetFirst();
    Second = pair->GetSecond();
    Label1->SetCaption(std::string(First->GetName()) + ":");
    Label3->SetCaption(std::string(Second->GetName()) + ":");
    Settings* settings = MainForm->AppSettings;
    if (settings->showCurrDate) {
        Label4->SetCaption(First->GetDate());
        Label6->SetCaption(Second->GetDate());
    } else {
        Label4->SetCaption("");
        Label6->SetCaption("");
    }
    if (settings->showCurrValue) {
        Label5->SetCaption("1");
        Label7->SetCaption(Source->ConvertText("1", First, Second));
    } else {
        Label5->SetCaption("");
        Label7->SetCaption("");
    }
    Edit1Change(Edit1);
}

// Whichever field the user types in is converted into the other; the other
// field's handler is detached so it never converts back.
void TPreferredForm::Edit1Change(TObject*) {
    THandlerPause other(Edit2->OnChange);
    Edit2->SetText(First && Second ? Source->ConvertText(Edit1->Text(), First, Second) : "Error");
}

void TPreferredForm::Edit2Change(TObject*) {
    THandlerPause other(Edit1->OnChange);
    Edit1->SetText(First && Second ? Source->ConvertText(Edit2->Text(), Second, First) : "Error");
}

void TPreferredForm::SetSelection(int position, const std::string& amount) {
    {
        THandlerPause pairChange(PrefCombo->OnChange), amountChange(Edit1->OnChange);
        if (position < 0 || position >= PrefCombo->Items()->Count()) position = 0;
        PrefCombo->SetItemIndex(position);
        Edit1->SetText(amount);
    }
    PrefComboChange(PrefCombo);
}

void TPreferredForm::Rebuild() {
    const int position = PrefCombo->ItemIndex();
    const std::string amount = Edit1->Text();
    FillPrefCombo();
    SetSelection(position, amount);
}

void TPreferredForm::Button1Click(TObject*) {
    PrefSetForm->Load(Source);
    PrefSetForm->SelectItem(ChosenName());
    PrefSetForm->ShowModal();
    const std::string name = PrefSetForm->Edit1->Text();
    Rebuild();
    {
        THandlerPause change(PrefCombo->OnChange);
        int i = PrefCombo->Items()->IndexOf(name);
        if (i >= 0) PrefCombo->SetItemIndex(i);
    }
    PrefComboChange(PrefCombo);
}

void TPreferredForm::UpdateCurrencies() {
    PrefComboChange(PrefCombo);
    if (PrefCombo->ItemIndex() < 0 || !Source->FindPreferred(ChosenName()) || !First || !Second) {
        // The currencies may have been deleted with the pair: never convert with them again.
        First = Second = nullptr;
        Close();
    }
}

void TPreferredForm::SetSource(CurrSource* source) {
    Source = source;
    Rebuild();
}

void TPreferredForm::WriteWindowState(std::ostream& out) {
    WriteWindowElement(out, {{"TYPE", "Preferred"},
                             {"VALUE", CurrSource::EscapeXml(Edit1->Text())},
                             {"PREFSET", IntToStr(PrefCombo->ItemIndex())}});
}

void TPreferredForm::BitBtn1Click(TObject*) { Clipboard()->SetAsText(Edit1->Text()); }
void TPreferredForm::BitBtn2Click(TObject*) { Edit1->SetText(Clipboard()->AsText()); }
void TPreferredForm::BitBtn3Click(TObject*) { Clipboard()->SetAsText(Edit2->Text()); }
void TPreferredForm::BitBtn4Click(TObject*) { Edit2->SetText(Clipboard()->AsText()); }
void TPreferredForm::UndockButtonClick(TObject*) { ToggleDock(UndockButton); }

void TPreferredForm::ClearButtonClick(TObject*) {
    Edit1->SetText("0");
    Edit1->SelectAll();
    Edit1->SetFocus();
}
