#include "windows/editcurrencywin.h"

#include "currency/currsource.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

TEditCurrencyForm* EditCurrencyForm = nullptr;

namespace {
// The first `count` characters of a UTF-8 text.
std::string FirstCharacters(const std::string& text, int count) {
    size_t end = 0;
    for (int seen = 0; end < text.size(); ++end) {
        const bool startsCharacter = (static_cast<unsigned char>(text[end]) & 0xC0) != 0x80;
        if (startsCharacter && seen++ == count) break;
    }
    return text.substr(0, end);
}

const int DesignClientWidth = 320;
}  // namespace

TEditCurrencyForm::TEditCurrencyForm(TComponent* owner) : TForm(owner) {
    SetCaption("Edit Currency");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientSize(DesignClientWidth, 196);

    GroupBox1 = new TGroupBox(this, this, " Edit Currency ");
    GroupBox1->SetBounds(8, 4, 304, 184);
    Label1 = new TLabel(this, GroupBox1, "Name");
    Label1->SetBounds(12, 27, 40, 16);
    Edit1 = new TEdit(this, GroupBox1);
    Edit1->SetBounds(56, 24, 150, 22);
    Edit1->SetMaxLength(static_cast<int>(CurrencyNameLength));  // the name field of a currency holds no more
    Label3 = new TLabel(this, GroupBox1, "ISO");
    Label3->SetBounds(216, 27, 24, 16);
    Edit2 = new TEdit(this, GroupBox1);
    Edit2->SetBounds(244, 24, 48, 22);
    Label2 = new TLabel(this, GroupBox1, "Value");
    Label2->SetBounds(12, 59, 40, 16);
    Edit3 = new TEdit(this, GroupBox1);
    Edit3->SetBounds(56, 56, 150, 22);
    Label4 = new TLabel(this, GroupBox1);
    Label4->SetAutoSize(false);
    Label4->SetBounds(214, 59, 78, 16);
    Label4->SetFontColor(clRed);
    RadioButton1 = new TRadioButton(this, GroupBox1, "Units for 1 base currency");
    RadioButton1->SetBounds(12, 88, 280, 20);
    RadioButton2 = new TRadioButton(this, GroupBox1, "Is value of 1 base currency");
    RadioButton2->SetBounds(12, 112, 280, 20);
    RadioButton2->SetChecked(true);
    OkButton = new TButton(this, GroupBox1, "&OK");
    OkButton->SetBounds(68, 146, 75, 25);
    OkButton->SetDefault(true);
    CancelButton = new TButton(this, GroupBox1, "&Cancel");
    CancelButton->SetBounds(160, 146, 75, 25);
    CancelButton->SetCancel(true);
    CancelButton->SetModalResult(mrCancel);

    OnShow = [this](TObject* s) { FormShow(s); };
    OkButton->OnClick = [this](TObject* s) { OkButtonClick(s); };
    CancelButton->OnClick = [this](TObject* s) { CancelButtonClick(s); };
    Edit3->OnChange = [this](TObject* s) { Edit3Change(s); };
    SetActiveControl(Edit1);
}

void TEditCurrencyForm::SetCurrency(CurrSource* source, CurrencyItem* item) {
    Source = source;
    Item = item;
    const std::string unit = source ? source->GetDefaultUnit() : std::string();
    RadioButton1->SetCaption("Units for 1 " + unit);
    RadioButton2->SetCaption("Is value of 1 " + unit);
    if (item) {
        Edit1->SetText(item->GetName());
        Edit2->SetText(item->GetIso());
        Edit3->SetText(FloatToStr(item->GetValue()));
        if (item->IsPerUnit()) RadioButton2->SetChecked(true);
        else RadioButton1->SetChecked(true);
    } else {
        Edit1->SetText("");
        Edit2->SetText("");
        Edit3->SetText("0");
        RadioButton2->SetChecked(true);
    }
    FitToContents();
}

void TEditCurrencyForm::FitToContents() {
    // A long default-unit name widens the rate-kind choices and the dialog with them.
    const int need = std::max({RadioButton1->Left() + RadioButton1->Width(),
                               RadioButton2->Left() + RadioButton2->Width(), 292}) + 12;
    GroupBox1->SetWidth(need);
    SetClientWidth(std::max(DesignClientWidth, need + 16));
}

bool TEditCurrencyForm::ReadValue(double& value) const {
    long double v;
    // A rate is a double: anything beyond its range is no rate either.
    if (!TryStrToFloat(Edit3->Text(), v) || !std::isfinite(v) || std::fabs(v) > DBL_MAX) return false;
    value = static_cast<double>(v);
    return true;
}

void TEditCurrencyForm::Edit3Change(TObject*) {
    OkButton->SetEnabled(true);
    Label4->SetCaption("");
    double value;
    if (!ReadValue(value)) {
        OkButton->SetEnabled(false);
        Label4->SetCaption("Error");
    }
}

void TEditCurrencyForm::OkButtonClick(TObject*) {
    double value;
    if (!Source || !ReadValue(value)) return;
    auto* edited = new CurrencyItem(Edit1->Text(), FirstCharacters(Edit2->Text(), 3), value, "User-edited",
                                    RadioButton2->Checked(), true);
    // Editing copies into the existing currency, so it keeps its place in the
    // list and the pairs that use it.
    Source->ReplaceCurrency(Item, edited);
    SetModalResult(mrOk);
}

void TEditCurrencyForm::CancelButtonClick(TObject*) { SetModalResult(mrCancel); }

void TEditCurrencyForm::FormShow(TObject*) { Edit1->SetFocus(); }
