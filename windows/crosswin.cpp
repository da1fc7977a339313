#include "windows/crosswin.h"

#include "currency/currsource.h"
#include "mainwin/main.h"

#include <algorithm>

namespace {
// The table's grid inside the group box; lists and cells share one width. A
// longer name is cut in its list and shows whole when the list drops down.
constexpr int ListWidth = 130, Gap = 2, RowListLeft = 6;
constexpr int ColumnListTop = 20, FirstRowTop = 52, RowStep = 29, FieldHeight = 22;
constexpr int GroupWidth = 673, GroupHeight = 176;
}  // namespace

TCrossForm::TCrossForm(TComponent* owner, CurrSource* source) : TCurrencyWindow(owner) {
    SetCaption("Currency Cross Rates");
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu | biMinimize);
    SetPosition(poDefault);

    GroupBox1 = new TGroupBox(this, this, " World Currency Cross Rates ");
    TComboBox** lists[] = {&ComboBox1, &ComboBox2, &ComboBox3, &ComboBox4,
                           &ComboBox5, &ComboBox6, &ComboBox7, &ComboBox8};
    for (int k = 0; k < 4; ++k) {
        TComboBox* column = *lists[k] = new TComboBox(this, GroupBox1);
        column->SetSorted(true);
        columns_[k] = column;
    }
    for (int k = 0; k < 4; ++k) {
        TComboBox* row = *lists[4 + k] = new TComboBox(this, GroupBox1);
        row->SetSorted(true);
        row->SetTabStop(false);
        rows_[k] = row;
    }
    // The eight lists always hold the same names: one store of them serves
    // all, so a long list is filled once rather than eight times.
    for (int k = 1; k < 8; ++k) (*lists[k])->ShareItems(ComboBox1);
    TEdit** edits[] = {&Edit1, &Edit2,  &Edit3,  &Edit4,  &Edit5,  &Edit6,  &Edit7,  &Edit8,
                       &Edit9, &Edit10, &Edit11, &Edit12, &Edit13, &Edit14, &Edit15, &Edit16};
    for (int i = 0; i < 16; ++i) {
        const int r = i / 4, c = i % 4;
        TEdit* cell = *edits[i] = new TEdit(this, GroupBox1);
        cell->SetReadOnly(true);
        cell->SetTabStop(false);
        if (r == c) {
            // Every currency is worth one of itself; these cells are never written.
            cell->SetText("1");
            cell->SetEnabled(false);
            cell->SetColor(clBtnFace);
        }
        cells_[i] = cell;
    }
    ArrangeTable();

    OnShow = [this](TObject* s) { FormShow(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
    ComboBox1->OnChange = [this](TObject* s) { ComboBox1Change(s); };
    ComboBox2->OnChange = [this](TObject* s) { ComboBox2Change(s); };
    ComboBox3->OnChange = [this](TObject* s) { ComboBox3Change(s); };
    ComboBox4->OnChange = [this](TObject* s) { ComboBox4Change(s); };
    ComboBox5->OnChange = [this](TObject* s) { ComboBox5Change(s); };
    ComboBox6->OnChange = [this](TObject* s) { ComboBox6Change(s); };
    ComboBox7->OnChange = [this](TObject* s) { ComboBox7Change(s); };
    ComboBox8->OnChange = [this](TObject* s) { ComboBox8Change(s); };
    SetActiveControl(ComboBox1);

    FormLoaded();  // shown now, with FormShow placing it
    Source = source;
    FillComboBoxes();
    if (CrossClosedState.One == -1) {
        SetSelection(0, 0, 0, 0);
    } else {
        SetSelection(CrossClosedState.One, CrossClosedState.Two, CrossClosedState.Three, CrossClosedState.Four);
        CrossClosedState.One = -1;
    }
}

void TCrossForm::FormShow(TObject*) {
    if (CrossClosedState.One != -1) {
        SetLeft(CrossClosedState.Left);
        SetTop(CrossClosedState.Top);
    }
}

void TCrossForm::FormClose(TObject*, TCloseAction&) {
    CrossClosedState.One = ComboBox1->ItemIndex();
    CrossClosedState.Two = ComboBox2->ItemIndex();
    CrossClosedState.Three = ComboBox3->ItemIndex();
    CrossClosedState.Four = ComboBox4->ItemIndex();
    CrossClosedState.Left = Left();
    CrossClosedState.Top = Top();
    MainForm->CloseWindow(this);
}

std::deque<THandlerPause<TNotifyEvent>> TCrossForm::PauseLists() {
    std::deque<THandlerPause<TNotifyEvent>> paused;
    for (int k = 1; k <= 4; ++k) {
        paused.emplace_back(Column(k)->OnChange);
        paused.emplace_back(Row(k)->OnChange);
    }
    return paused;
}

void TCrossForm::FillComboBoxes() {
    const auto paused = PauseLists();
    ComboBox1->Items()->Clear();  // the entries of all eight
    ComboBox1->Items()->AddStrings(OfferedNames(Source));
}

void TCrossForm::ArrangeTable() {
    const int firstColumn = RowListLeft + ListWidth + 2 * Gap;
    for (int k = 1; k <= 4; ++k) {
        const int left = firstColumn + (k - 1) * (ListWidth + Gap), top = FirstRowTop + (k - 1) * RowStep;
        Column(k)->SetBounds(left, ColumnListTop, ListWidth, FieldHeight);
        Row(k)->SetBounds(RowListLeft, top, ListWidth, FieldHeight);
        for (int r = 1; r <= 4; ++r) Cell(r, k)->SetBounds(left, FirstRowTop + (r - 1) * RowStep, ListWidth, FieldHeight);
    }
    GroupBox1->SetBounds(4, 4, GroupWidth, GroupHeight);
    SetClientSize(GroupWidth + 8, 184);
}

void TCrossForm::SetSelection(int one, int two, int three, int four) {
    {
        const auto paused = PauseLists();
        const int positions[] = {one, two, three, four};
        for (int k = 1; k <= 4; ++k) {
            Column(k)->SetItemIndex(positions[k - 1]);  // a position outside the list chooses nothing
            Row(k)->SetItemIndex(positions[k - 1]);
        }
    }
    UpdateAllCells();
}

std::string TCrossForm::GetSelectedText(TComboBox* list) const {
    int i = list->ItemIndex();
    return i >= 0 ? list->Items()->Get(i) : std::string();
}

void TCrossForm::SelectByName(TComboBox* list, const std::string& name) {
    int i = Source->FindCurrency(name) ? list->Items()->IndexOf(name) : -1;
    list->SetItemIndex(i >= 0 ? i : 0);
}

std::string TCrossForm::CrossRateText(TComboBox* column, TComboBox* row) {
    const std::string columnName = GetSelectedText(column), rowName = GetSelectedText(row);
    ColumnItem = columnName.empty() ? nullptr : Source->FindCurrency(columnName);
    RowItem = rowName.empty() ? nullptr : Source->FindCurrency(rowName);
    if (!ColumnItem || !RowItem) return "";
    return Source->ConvertText("1", ColumnItem, RowItem);
}

void TCrossForm::UpdateCurrency(int k) {
    for (int other = 1; other <= 4; ++other) {
        if (other == k) continue;
        Cell(other, k)->SetText(CrossRateText(Column(k), Row(other)));
        Cell(k, other)->SetText(CrossRateText(Column(other), Row(k)));
    }
}

void TCrossForm::UpdateAllCells() {
    for (int k = 1; k <= 4; ++k) UpdateCurrency(k);
}

void TCrossForm::ColumnChange(int k) {
    Row(k)->SetItemIndex(Column(k)->ItemIndex());
    UpdateCurrency(k);
}

void TCrossForm::RowChange(int k) {
    Column(k)->SetItemIndex(Row(k)->ItemIndex());
    UpdateCurrency(k);
}

void TCrossForm::Rebuild() {
    const int one = ComboBox1->ItemIndex(), two = ComboBox2->ItemIndex();
    const int three = ComboBox3->ItemIndex(), four = ComboBox4->ItemIndex();
    FillComboBoxes();
    SetSelection(one, two, three, four);
}

void TCrossForm::UpdateCurrencies() {
    std::string names[4];
    for (int k = 1; k <= 4; ++k) names[k - 1] = GetSelectedText(Column(k));
    Rebuild();
    for (int k = 1; k <= 4; ++k) SelectByName(Column(k), names[k - 1]);
    ComboBox1Change(ComboBox1);
    ComboBox2Change(ComboBox2);
    ComboBox3Change(ComboBox3);
    ComboBox4Change(ComboBox4);
}

void TCrossForm::SetSource(CurrSource* source) {
    Source = source;
    Rebuild();
}

void TCrossForm::WriteWindowState(std::ostream& out) {
    WriteWindowElement(out, {{"TYPE", "Cross"},
                             {"VALUE", "1"},
                             {"ONE", IntToStr(ComboBox1->ItemIndex())},
                             {"TWO", IntToStr(ComboBox2->ItemIndex())},
                             {"THREE", IntToStr(ComboBox3->ItemIndex())},
                             {"FOUR", IntToStr(ComboBox4->ItemIndex())}});
}
