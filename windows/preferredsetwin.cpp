#include "windows/preferredsetwin.h"

#include "currency/currsource.h"
#include "windows/currencywindow.h"

TPrefSetForm* PrefSetForm = nullptr;

TPrefSetForm::TPrefSetForm(TComponent* owner) : TForm(owner) {
    SetCaption("Preferred Currency Settings");
    SetBorderStyle(bsDialog);
    SetBorderIcons(0);  // no close box: OK is the way out
    SetPosition(poScreenCenter);
    SetClientSize(384, 219);

    GroupBox1 = new TGroupBox(this, this, " Preferred Currency Settings ");
    GroupBox1->SetBounds(4, 4, 376, 176);
    PrefListBox = new TListBox(this, GroupBox1);
    PrefListBox->SetBounds(10, 22, 164, 112);
    PrefListBox->SetSorted(true);
    NewButton = new TButton(this, GroupBox1, "New");
    NewButton->SetBounds(10, 140, 78, 25);
    NewButton->SetHint("Add a new preferred-currency item.");
    RemoveButton = new TButton(this, GroupBox1, "Remove");
    RemoveButton->SetBounds(96, 140, 78, 25);
    RemoveButton->SetHint("Remove selected item.");

    Label4 = new TLabel(this, GroupBox1, "Name:");
    Label4->SetBounds(186, 22, 180, 16);
    Edit1 = new TEdit(this, GroupBox1);
    Edit1->SetBounds(186, 38, 180, 22);
    Edit1->SetHint("Enter the name of this item.");
    Edit1->SetMaxLength(static_cast<int>(PrefNameLength));
    Edit1->SetEnabled(false);
    Label3 = new TLabel(this, GroupBox1, "Left Currency:");
    Label3->SetBounds(186, 66, 180, 16);
    ComboBox1 = new TComboBox(this, GroupBox1);
    ComboBox1->SetBounds(186, 82, 180, 22);
    ComboBox1->SetSorted(true);
    ComboBox1->SetHint("Select left currency here");
    Label5 = new TLabel(this, GroupBox1, "Right Currency:");
    Label5->SetBounds(186, 110, 180, 16);
    ComboBox2 = new TComboBox(this, GroupBox1);
    ComboBox2->SetBounds(186, 126, 180, 22);
    ComboBox2->SetSorted(true);
    ComboBox2->SetHint("Select right currency here");
    for (TControl* c : std::initializer_list<TControl*>{NewButton, RemoveButton, Edit1, ComboBox1, ComboBox2})
        c->SetShowHint(true);

    OkButton = new TButton(this, this, "OK");
    OkButton->SetBounds(296, 188, 80, 25);

    PrefListBox->OnClick = [this](TObject* s) { PrefListBoxClick(s); };
    Edit1->OnChange = [this](TObject* s) { Edit1Change(s); };
    ComboBox1->OnChange = [this](TObject* s) { ComboBox1Change(s); };
    ComboBox2->OnChange = [this](TObject* s) { ComboBox2Change(s); };
    NewButton->OnClick = [this](TObject* s) { NewButtonClick(s); };
    RemoveButton->OnClick = [this](TObject* s) { RemoveButtonClick(s); };
    OkButton->OnClick = [this](TObject* s) { OkButtonClick(s); };
}

void TPrefSetForm::Load(CurrSource* source) {
    Source = source;
    ComboBox1->Items()->Clear();
    ComboBox2->Items()->Clear();
    const std::vector<std::string> names = OfferedNames(Source);
    ComboBox1->Items()->AddStrings(names);
    ComboBox2->Items()->AddStrings(names);
    ComboBox1->SetItemIndex(0);
    ComboBox2->SetItemIndex(0);
    FillList();
    PrefListBox->SetItemIndex(0);
    PrefListBoxClick(PrefListBox);
}

void TPrefSetForm::FillList() {
    PrefListBox->Items()->Clear();
    PrefListBox->Items()->AddStrings(PairNames(Source));
}

int TPrefSetForm::IndexOfItem(const std::string& name) const { return PrefListBox->Items()->IndexOf(name); }

void TPrefSetForm::SelectItem(const std::string& name) {
    int i = IndexOfItem(name);
    if (i < 0) return;
    PrefListBox->SetItemIndex(i);
    PrefListBoxClick(PrefListBox);
}

void TPrefSetForm::SetFieldsEnabled(bool enabled) {
    Edit1->SetEnabled(enabled);
    ComboBox1->SetEnabled(enabled);
    ComboBox2->SetEnabled(enabled);
    // With no currency offered nothing could make OK work, and the dialog has
    // no other way out; so OK stays usable and simply closes.
    OkButton->SetEnabled(enabled || ComboBox1->Items()->Count() == 0);
}

void TPrefSetForm::PrefListBoxClick(TObject*) {
    ItemIndex = PrefListBox->ItemIndex();
    Current = ItemIndex >= 0 ? Source->FindPreferred(PrefListBox->Items()->Get(ItemIndex)) : nullptr;
    // The name field is set from the pair, not typed: its handler would only
    // store the same name again and refill the list.
    THandlerPause nameChange(Edit1->OnChange);
    if (Current) {
        // A currency that is no longer offered leaves its list without a choice.
        ComboBox1->SetItemIndex(ComboBox1->Items()->IndexOf(Current->GetFirst()->GetName()));
        ComboBox2->SetItemIndex(ComboBox2->Items()->IndexOf(Current->GetSecond()->GetName()));
        Edit1->SetText(Current->GetName());
        SetFieldsEnabled(true);
    } else {
        Edit1->SetText("");
        ComboBox1->SetItemIndex(-1);
        ComboBox2->SetItemIndex(-1);
        SetFieldsEnabled(false);
    }
}

void TPrefSetForm::Edit1Change(TObject*) {
    if (!Current) return;
    // The field shows exactly what the pair keeps, so the list entry and the
    // name the Preferred window looks for afterwards are the same text.
    const std::string typed = Edit1->Text();
    const std::string name = CutCharacters(typed, PrefNameLength);
    if (name != typed) {
        THandlerPause nameChange(Edit1->OnChange);
        Edit1->SetText(name);
    }
    Current->SetName(name);
    FillList();
    int i = IndexOfItem(name);
    if (i >= 0) PrefListBox->SetItemIndex(i);
}

void TPrefSetForm::ComboBox1Change(TObject*) {
    if (!Current) return;
    if (CurrencyItem* c = Source->FindCurrency(ComboBox1->Text())) Current->SetFirst(c);
}

void TPrefSetForm::ComboBox2Change(TObject*) {
    if (!Current) return;
    if (CurrencyItem* c = Source->FindCurrency(ComboBox2->Text())) Current->SetSecond(c);
}

void TPrefSetForm::AddNewItem() {
    int n = 1;
    while (IndexOfItem("Untitled " + IntToStr(n)) >= 0) ++n;
    const std::string name = "Untitled " + IntToStr(n);
    // The alphabetically first offered currency on both sides; with none
    // offered the source makes no pair.
    CurrencyItem* currency =
        ComboBox1->Items()->Count() > 0 ? Source->FindCurrency(ComboBox1->Items()->Get(0)) : nullptr;
    Source->AddPreferred(name, currency, currency);
    PrefListBox->SetItemIndex(PrefListBox->Items()->Add(name));
    PrefListBoxClick(PrefListBox);
}

void TPrefSetForm::NewButtonClick(TObject*) { AddNewItem(); }

void TPrefSetForm::RemoveButtonClick(TObject*) {
    int i = PrefListBox->ItemIndex();
    if (i < 0) return;
    if (PrefListBox->Items()->Count() == 1) {
        ShowMessage("Can't delete last item. Add new ones first.");
        return;
    }
    Source->RemovePreferred(PrefListBox->Items()->Get(i));
    PrefListBox->Items()->Delete(i);
    PrefListBox->SetItemIndex(0);
    PrefListBoxClick(PrefListBox);
}

void TPrefSetForm::OkButtonClick(TObject*) {
    const bool nothingOffered = ComboBox1->Items()->Count() == 0;
    if (nothingOffered || (!ComboBox1->Text().empty() && !ComboBox2->Text().empty())) {
        SetModalResult(mrOk);
        return;
    }
    ShowMessage("Select a left and right currency.");
}
