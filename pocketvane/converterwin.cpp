#include "pocketvane/converterwin.h"

#include "currency/currsource.h"
#include "platform/winapi.h"
#include "pocketvane/traymain.h"
#include "pocketvane/traysettings.h"

TForm2* Form2 = nullptr;

namespace {
// The settings the window keeps its place and currencies in; none once the
// tray menu's Exit has written and freed them.
PocketvaneSettings* Stored() { return TrayMainForm ? TrayMainForm->TraySettings : nullptr; }
}  // namespace

TForm2::TForm2(TComponent* owner) : TForm(owner, fsStayOnTop) {
    SetCaption("Pocketvane");
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu);
    SetPosition(poDefault);
    // Wider than the first design, so the names of the shipped currencies
    // show whole in this font.
    SetClientSize(480, 73);
    SetIcon(":/pocketvane/images/app.png");

    Edit1 = new TEdit(this, this);
    Edit1->SetBounds(6, 8, 74, 22);
    Edit1->SetText("0");
    ComboBox1 = new TComboBox(this, this);
    ComboBox1->SetBounds(84, 8, 148, 22);
    ComboBox1->SetSorted(true);
    Label1 = new TLabel(this, this, "=");
    Label1->SetBounds(236, 11, 8, 16);
    Edit2 = new TEdit(this, this);
    Edit2->SetBounds(248, 8, 74, 22);
    Edit2->SetText("0");
    ComboBox2 = new TComboBox(this, this);
    ComboBox2->SetBounds(326, 8, 148, 22);
    ComboBox2->SetSorted(true);

    struct ButtonEntry {
        TButton** button;
        const char* caption;
        const char* glyph;
    };
    const ButtonEntry buttons[] = {{&BitBtn1, "&Copy", "glyph4"},
                                  {&BitBtn2, "&Paste", "glyph5"},
                                  {&BitBtn5, "C&lear", "glyph6"},
                                  {&BitBtn4, "C&opy", "glyph7"},
                                  {&BitBtn3, "P&aste", "glyph8"}};
    int left = 6;
    for (const ButtonEntry& b : buttons) {
        *b.button = new TButton(this, this, b.caption);
        (*b.button)->SetGlyph(std::string(":/pocketvane/images/") + b.glyph + ".png");
        (*b.button)->SetBounds(left, 41, 88, 25);
        left += 95;
    }

    OnShow = [this](TObject* s) { FormShow(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
    OnHide = [this](TObject* s) { FormHide(s); };
    Edit1->OnChange = [this](TObject* s) { Edit1Change(s); };
    Edit2->OnChange = [this](TObject* s) { Edit2Change(s); };
    ComboBox1->OnChange = [this](TObject* s) { ComboBox1Change(s); };
    ComboBox2->OnChange = [this](TObject* s) { ComboBox2Change(s); };
    BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
    BitBtn2->OnClick = [this](TObject* s) { BitBtn2Click(s); };
    BitBtn3->OnClick = [this](TObject* s) { BitBtn3Click(s); };
    BitBtn4->OnClick = [this](TObject* s) { BitBtn4Click(s); };
    BitBtn5->OnClick = [this](TObject* s) { BitBtn5Click(s); };
    SetActiveControl(Edit1);

    Source = TrayMainForm->Source;
    if (PocketvaneSettings* stored = Stored(); stored && stored->Left != -1 && stored->Top != -1) {
        SetLeft(stored->Left);
        SetTop(stored->Top);
    }
}

std::string TForm2::ChosenName(const TComboBox* list) {
    int i = list->ItemIndex();
    return i >= 0 ? list->Items()->Get(i) : std::string();
}

std::string TForm2::Converted(const std::string& amount, const CurrencyItem* from, const CurrencyItem* to) const {
    if (!from || !to) return "Error";
    return Source->ConvertText(amount, from, to);
}

void TForm2::FormShow(TObject*) {
    FillCurrencyLists();
    PocketvaneSettings* stored = Stored();
    if (stored && stored->Left != -1 && stored->Top != -1) {
        SetLeft(stored->Left);
        SetTop(stored->Top);
    }
    const int left = stored ? ComboBox1->Items()->IndexOf(stored->LeftSelected) : -1;
    const int right = stored ? ComboBox2->Items()->IndexOf(stored->RightSelected) : -1;
    SetSelection(left, right, Edit1->Text());
    Edit1->SetFocus();
    Edit1->SelectAll();
    ShowWindow(this, SW_RESTORE);
    BringWindowToTop(this);
    SetForegroundWindow(this);
}

void TForm2::FillCurrencyLists() {
    THandlerPause left(ComboBox1->OnChange), right(ComboBox2->OnChange);
    ComboBox1->Items()->Clear();
    ComboBox2->Items()->Clear();
    std::vector<std::string> names;
    for (CurrItr it = Source->GetCurrencies(); it.HasNext();) {
        const CurrencyItem* c = it.Next();
        if (c->IsSelected()) names.push_back(c->GetName());
    }
    ComboBox1->Items()->AddStrings(names);
    ComboBox2->Items()->AddStrings(names);
    ComboBox1->SetItemIndex(-1);
    ComboBox2->SetItemIndex(-1);
}

void TForm2::SetSelection(int leftIndex, int rightIndex, const std::string& amount) {
    {
        THandlerPause left(ComboBox1->OnChange), right(ComboBox2->OnChange);
        ComboBox1->SetItemIndex(leftIndex);
        ComboBox2->SetItemIndex(rightIndex);
        SelectFromCurrency();
        SelectToCurrency();
        Edit1->SetText(amount);
    }
    ComboBox1Change(ComboBox1);
}

void TForm2::SelectFromCurrency() {
    if (ComboBox1->ItemIndex() < 0 && ComboBox1->Items()->Count() > 0) ComboBox1->SetItemIndex(0);
    FromItem = Source->FindCurrency(ChosenName(ComboBox1));
    if (ToItem) SetCaption(ChosenName(ComboBox1) + " -> " + ChosenName(ComboBox2));
}

void TForm2::SelectToCurrency() {
    if (ComboBox2->ItemIndex() < 0 && ComboBox2->Items()->Count() > 0) ComboBox2->SetItemIndex(0);
    ToItem = Source->FindCurrency(ChosenName(ComboBox2));
    if (ToItem) SetCaption(ChosenName(ComboBox1) + " -> " + ChosenName(ComboBox2));
}

void TForm2::UpdateRightAmount() { Edit2->SetText(Converted(Edit1->Text(), FromItem, ToItem)); }

void TForm2::Edit1Change(TObject*) {
    THandlerPause right(Edit2->OnChange);
    Edit2->SetText(Converted(Edit1->Text(), FromItem, ToItem));
}

void TForm2::Edit2Change(TObject*) {
    THandlerPause left(Edit1->OnChange);
    Edit1->SetText(Converted(Edit2->Text(), ToItem, FromItem));
}

void TForm2::ComboBox1Change(TObject*) {
    SelectFromCurrency();
    UpdateRightAmount();
}

void TForm2::ComboBox2Change(TObject*) {
    SelectToCurrency();
    UpdateRightAmount();
}

void TForm2::BitBtn1Click(TObject*) { Clipboard()->SetAsText(Edit1->Text()); }
void TForm2::BitBtn2Click(TObject*) { Edit1->SetText(Clipboard()->AsText()); }
void TForm2::BitBtn4Click(TObject*) { Clipboard()->SetAsText(Edit2->Text()); }
void TForm2::BitBtn3Click(TObject*) { Edit2->SetText(Clipboard()->AsText()); }

void TForm2::BitBtn5Click(TObject*) {
    Edit1->SetText("0");
    Edit1->SelectAll();
    Edit1->SetFocus();
}

void TForm2::FormClose(TObject*, TCloseAction&) {
    PocketvaneSettings* stored = Stored();
    if (!stored) return;
    stored->Left = Left();
    stored->Top = Top();
    stored->LeftSelected = ChosenName(ComboBox1);
    stored->RightSelected = ChosenName(ComboBox2);
}

void TForm2::FormHide(TObject*) {
    PocketvaneSettings* stored = Stored();
    if (!stored) return;
    stored->Left = Left();
    stored->Top = Top();
}
