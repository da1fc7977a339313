#include "export/exportexcel.h"

#include "currency/currsource.h"
#include "export/excelctrl.h"
#include "platform/formkit.h"

const char* const SheetIncomplete = "The spreadsheet did not answer. The sheet is incomplete.";

ExportExcel::ExportExcel() : Excel(new ExcelCtrl) {}

ExportExcel::~ExportExcel() { delete Excel; }

void ExportExcel::Prepare(CurrSource* source, CurrencyItem* base) {
    Source = source;
    Base = base;
    Excel->Connect();
}

// Each command serves the program's messages while it goes out, and the
// program may end meanwhile: whatever a step needs of the source is taken
// before its first command.
bool ExportExcel::Start() {
    if (!Excel->IsConnected()) return false;
    const std::string title = "Currencies from: " + Source->GetName();
    Excel->NewSheet();
    WriteLine(title);
    return true;
}

void ExportExcel::TextCell(const std::string& text, int column) { Excel->SetCell(NotAFormula(text), column, Row); }

void ExportExcel::WriteLine(const std::string& text) {
    TextCell(text, 1);
    ++Row;
}

void ExportExcel::WriteCurrency(CurrencyItem* item) {
    const std::string value = ExportValueText(Source, Base, item, true);
    if (HeaderPending) {
        const char* header[] = {"Name", "ISO", "Value", "Date"};
        for (int column = 1; column <= 4; ++column) Excel->SetCell(header[column - 1], column, Row);
        ++Row;
        HeaderPending = false;
    }
    TextCell(item->GetName(), 1);
    TextCell(item->GetIso(), 2);
    Excel->SetCell(value, 3, Row);
    TextCell(item->GetDate(), 4);
    ++Row;
}

void ExportExcel::Finish() {
    WriteLine(Source->GetCopyright());
    Excel->Disconnect();
    // Cells were lost (a reply came too late, or the link broke): the sheet
    // looks finished but is not. A program that is ending shows nothing more.
    if (Excel->Dropped > 0 && !ProgramEnding()) ShowMessage(SheetIncomplete);
}
