#include "windows/worldwin.h"

#include "currency/currsource.h"
#include "currency/settings.h"
#include "mainwin/main.h"

TWorldForm::TWorldForm(TComponent* owner, CurrSource* source) : TCurrencyWindow(owner) {
    SetCaption("World Currencies");
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu | biMinimize);
    SetPosition(poDefault);
    SetClientSize(544, 128);

    GroupBox1 = new TGroupBox(this, this, " World Currencies ");
    GroupBox1->SetBounds(4, 4, 536, 80);
    Edit1 = new TEdit(this, GroupBox1);
    Edit1->SetBounds(8, 22, 88, 22);
    ComboBox1 = new TComboBox(this, GroupBox1);
    ComboBox1->SetBounds(100, 22, 158, 22);
    ComboBox1->SetSorted(true);
    Label2 = new TLabel(this, GroupBox1, "=");
    Label2->SetBounds(262, 25, 8, 16);
    Edit2 = new TEdit(this, GroupBox1);
    Edit2->SetBounds(274, 22, 88, 22);
    Edit2->SetReadOnly(true);
    Edit2->SetColor(clBtnFace);
    ComboBox2 = new TComboBox(this, GroupBox1);
    ComboBox2->SetBounds(366, 22, 162, 22);
    ComboBox2->SetSorted(true);
    TLabel** under[] = {&Label1, &Label3, &Label4, &Label5};
    const int lefts[] = {10, 102, 276, 368};
    const int widths[] = {84, 154, 84, 158};
    for (int i = 0; i < 4; ++i) {
        *under[i] = new TLabel(this, GroupBox1);
        (*under[i])->SetAutoSize(false);
        (*under[i])->SetBounds(lefts[i], 50, widths[i], 16);
    }

    MakeButtonRow({{&BitBtn1, "&Copy", "Copy value to clipboard"},
                   {&BitBtn2, "&Paste", "Paste value from clipboard"},
                   {&SwitchButton, "&Switch", "Switch left and right"},
                   {&UndockButton, "Un&dock", "(Un)dock window"},
                   {&ClearButton, "C&lear", "Clear fields"},
                   {&BitBtn3, "C&opy", "Copy value to clipboard"},
                   {&BitBtn4, "P&aste", ""}},
                  94);
    BitBtn4->SetEnabled(false);

    OnShow = [this](TObject* s) { FormShow(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
    ComboBox1->OnChange = [this](TObject* s) { ComboBox1Change(s); };
    ComboBox2->OnChange = [this](TObject* s) { ComboBox2Change(s); };
    Edit1->OnChange = [this](TObject* s) { Edit1Change(s); };
    BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
    BitBtn2->OnClick = [this](TObject* s) { BitBtn2Click(s); };
    SwitchButton->OnClick = [this](TObject* s) { SwitchButtonClick(s); };
    UndockButton->OnClick = [this](TObject* s) { BitBtn6Click(s); };
    ClearButton->OnClick = [this](TObject* s) { ClearButtonClick(s); };
    BitBtn3->OnClick = [this](TObject* s) { BitBtn3Click(s); };
    SetActiveControl(Edit1);

    FormLoaded();  // shown now, with FormShow placing it
    Source = source;
    FillComboBoxes();
    if (WorldClosedState.LeftSet == -1) {
        SetSelection(0, 0, "0");
    } else {
        SetSelection(WorldClosedState.LeftSet, WorldClosedState.RightSet, WorldClosedState.Value);
        WorldClosedState.LeftSet = -1;
    }
    Edit1->SelectAll();
}

void TWorldForm::FormShow(TObject*) {
    if (WorldClosedState.LeftSet != -1) {
        SetLeft(WorldClosedState.Left);
        SetTop(WorldClosedState.Top);
    }
}

void TWorldForm::FormClose(TObject*, TCloseAction&) {
    MainForm->Show();
    WorldClosedState.LeftSet = ComboBox1->ItemIndex();
    WorldClosedState.RightSet = ComboBox2->ItemIndex();
    WorldClosedState.Left = TForm::Left();
    WorldClosedState.Top = Top();
    WorldClosedState.Value = Edit1->Text();
    MainForm->CloseWindow(this);
}

std::string TWorldForm::ChosenName(TComboBox* list) const {
    int i = list->ItemIndex();
    return i >= 0 ? list->Items()->Get(i) : std::string();
}

void TWorldForm::FillComboBoxes() {
    THandlerPause left(ComboBox1->OnChange), right(ComboBox2->OnChange);
    ComboBox1->Items()->Clear();
    ComboBox2->Items()->Clear();
    const std::vector<std::string> names = OfferedNames(Source);
    ComboBox1->Items()->AddStrings(names);
    ComboBox2->Items()->AddStrings(names);
}

void TWorldForm::UpdateLeft() {
    if (ComboBox1->ItemIndex() < 0 && ComboBox1->Items()->Count() > 0) ComboBox1->SetItemIndex(0);
    Left = ComboBox1->ItemIndex() >= 0 ? Source->FindCurrency(ChosenName(ComboBox1)) : nullptr;
    if (!Left || !Right) return;
    SetCaption(ChosenName(ComboBox1) + " -> " + ChosenName(ComboBox2));
    Settings* settings = MainForm->AppSettings;
    if (settings->showCurrDate) {
        Label3->SetCaption(Left->GetDate());
        Label5->SetCaption(Right->GetDate());
    } else {
        Label3->SetCaption("");
        Label5->SetCaption("");
    }
    if (settings->showCurrValue) {
        Label1->SetCaption("1");
        Label4->SetCaption(Source->ConvertText("1", Left, Right));
    } else {
        Label1->SetCaption("");
        Label4->SetCaption("");
    }
}

void TWorldForm::UpdateRight() {
    if (ComboBox2->ItemIndex() < 0 && ComboBox2->Items()->Count() > 0) ComboBox2->SetItemIndex(0);
    Right = ComboBox2->ItemIndex() >= 0 ? Source->FindCurrency(ChosenName(ComboBox2)) : nullptr;
    Label4->SetCaption("");
    Label5->SetCaption("");
    if (!Right) return;
    SetCaption(ChosenName(ComboBox1) + " -> " + ChosenName(ComboBox2));
    Settings* settings = MainForm->AppSettings;
    if (settings->showCurrDate) {
        if (Left) Label3->SetCaption(Left->GetDate());
        Label5->SetCaption(Right->GetDate());
    } else {
        Label3->SetCaption("");
        Label5->SetCaption("");
    }
    if (settings->showCurrValue) {
        Label1->SetCaption("1");
        if (Left) Label4->SetCaption(Source->ConvertText("1", Left, Right));
    } else {
        Label1->SetCaption("");
        Label4->SetCaption("");
    }
}

void TWorldForm::Convert() {
    std::string result = "Error";
    if (Left && Right) result = Source->ConvertText(Edit1->Text(), Left, Right);
    Edit2->SetText(result);
}

void TWorldForm::SetSelection(int leftPosition, int rightPosition, const std::string& amount) {
    {
        THandlerPause left(ComboBox1->OnChange), right(ComboBox2->OnChange);
        ComboBox1->SetItemIndex(leftPosition);
        ComboBox2->SetItemIndex(rightPosition);
        UpdateLeft();
        UpdateRight();
        Edit1->SetText(amount);
    }
    ComboBox1Change(ComboBox1);
}

void TWorldForm::ComboBox1Change(TObject*) {
    UpdateLeft();
    Convert();
}

void TWorldForm::ComboBox2Change(TObject*) {
    UpdateRight();
    Convert();
}

void TWorldForm::Edit1Change(TObject*) { Convert(); }

void TWorldForm::SwitchButtonClick(TObject*) {
    {
        THandlerPause edit(Edit1->OnChange), left(ComboBox1->OnChange), right(ComboBox2->OnChange);
        Edit1->SetText(Edit2->Text());
        int l = ComboBox1->ItemIndex();
        ComboBox1->SetItemIndex(ComboBox2->ItemIndex());
        ComboBox2->SetItemIndex(l);
        UpdateLeft();
        UpdateRight();
    }
    Convert();
}

void TWorldForm::UpdateCurrencies() {
    {
        THandlerPause edit(Edit1->OnChange);
        const std::string leftName = ChosenName(ComboBox1), rightName = ChosenName(ComboBox2);
        // The old currencies may be gone; they are looked up anew below.
        Left = Right = nullptr;
        ReloadComboBoxes();
        THandlerPause left(ComboBox1->OnChange), right(ComboBox2->OnChange);
        int l = ComboBox1->Items()->IndexOf(leftName), r = ComboBox2->Items()->IndexOf(rightName);
        ComboBox1->SetItemIndex(l >= 0 ? l : 0);
        ComboBox2->SetItemIndex(r >= 0 ? r : 0);
        UpdateLeft();
        UpdateRight();
    }
    if (Left && Right) Convert();
    else Close();
}

void TWorldForm::SetSource(CurrSource* source) {
    Source = source;
    ReloadComboBoxes();
}

void TWorldForm::WriteWindowState(std::ostream& out) {
    WriteWindowElement(out, {{"TYPE", "World"},
                             {"VALUE", CurrSource::EscapeXml(Edit1->Text())},
                             {"LEFTSET", IntToStr(ComboBox1->ItemIndex())},
                             {"RIGHTSET", IntToStr(ComboBox2->ItemIndex())}});
}

void TWorldForm::BitBtn1Click(TObject*) { Clipboard()->SetAsText(Edit1->Text()); }
void TWorldForm::BitBtn2Click(TObject*) { Edit1->SetText(Clipboard()->AsText()); }
void TWorldForm::BitBtn3Click(TObject*) { Clipboard()->SetAsText(Edit2->Text()); }
void TWorldForm::BitBtn6Click(TObject*) { ToggleDock(UndockButton); }

void TWorldForm::ClearButtonClick(TObject*) {
    Edit1->SetText("0");
    Edit1->SelectAll();
    Edit1->SetFocus();
}
