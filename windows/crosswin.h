// "Currency Cross Rates": a four-by-four table of what one unit of each of
// four currencies is worth in each of the others. Row k always shows the
// currency of column k.
#pragma once

#include "windows/currencywindow.h"

#include <deque>

class CurrencyItem;

class TCrossForm : public TCurrencyWindow {
public:
    TCrossForm(TComponent* owner, CurrSource* source);

    TGroupBox* GroupBox1;
    // The columns, left to right.
    TComboBox* ComboBox1;
    TComboBox* ComboBox2;
    TComboBox* ComboBox3;
    TComboBox* ComboBox4;
    // The rows, top to bottom.
    TComboBox* ComboBox5;
    TComboBox* ComboBox6;
    TComboBox* ComboBox7;
    TComboBox* ComboBox8;
    // The cells by rows: row r, column c is Edit(4 * (r - 1) + c).
    TEdit* Edit1;
    TEdit* Edit2;
    TEdit* Edit3;
    TEdit* Edit4;
    TEdit* Edit5;
    TEdit* Edit6;
    TEdit* Edit7;
    TEdit* Edit8;
    TEdit* Edit9;
    TEdit* Edit10;
    TEdit* Edit11;
    TEdit* Edit12;
    TEdit* Edit13;
    TEdit* Edit14;
    TEdit* Edit15;
    TEdit* Edit16;

    CurrSource* Source = nullptr;
    CurrencyItem* ColumnItem = nullptr;
    CurrencyItem* RowItem = nullptr;

    void SetSelection(int one, int two, int three, int four);
    void SetSource(CurrSource* source) override;
    void UpdateCurrencies() override;
    void WriteWindowState(std::ostream& out) override;

    // Column k (1..4) and row k (1..4) as lists, and the cell of row r, column c.
    TComboBox* Column(int k) const { return columns_[k - 1]; }
    TComboBox* Row(int k) const { return rows_[k - 1]; }
    TEdit* Cell(int row, int column) const { return cells_[4 * (row - 1) + (column - 1)]; }

    void FormShow(TObject* sender);
    void FormClose(TObject* sender, TCloseAction& action);
    void ComboBox1Change(TObject*) { ColumnChange(1); }
    void ComboBox2Change(TObject*) { ColumnChange(2); }
    void ComboBox3Change(TObject*) { ColumnChange(3); }
    void ComboBox4Change(TObject*) { ColumnChange(4); }
    void ComboBox5Change(TObject*) { RowChange(1); }
    void ComboBox6Change(TObject*) { RowChange(2); }
    void ComboBox7Change(TObject*) { RowChange(3); }
    void ComboBox8Change(TObject*) { RowChange(4); }

private:
    void FillComboBoxes();
    // Places lists and cells so that the longest offered name shows whole.
    void ArrangeTable();
    void Rebuild();
    std::string GetSelectedText(TComboBox* list) const;
    void SelectByName(TComboBox* list, const std::string& name);
    std::string CrossRateText(TComboBox* column, TComboBox* row);
    // Writes the six cells of row k and column k off the diagonal.
    void UpdateCurrency(int k);
    void UpdateAllCells();
    void ColumnChange(int k);
    void RowChange(int k);
    // Detaches the change handlers of all eight lists while the program sets
    // them: they are back when the result goes.
    std::deque<THandlerPause<TNotifyEvent>> PauseLists();

    TComboBox* columns_[4];
    TComboBox* rows_[4];
    TEdit* cells_[16];
};
