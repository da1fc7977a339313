#include "export/exportexcel.h"

#include "currency/currsource.h"
#include "export/excelctrl.h"

ExportExcel::ExportExcel() : Excel(new ExcelCtrl) {}

ExportExcel::~ExportExcel() { delete Excel; }

void ExportExcel::Prepare(CurrSource* source, CurrencyItem* base) {
    Source = source;
    Base = base;
    Excel->Connect();
}

bool ExportExcel::Start() {
    if (!Excel->IsConnected()) return false;
    Excel->NewSheet();
    WriteLine("Currencies from: " + Source->GetName());
    return true;
}

void ExportExcel::TextCell(const std::string& text, int column) { Excel->SetCell(NotAFormula(text), column, Row); }

void ExportExcel::WriteLine(const std::string& text) {
    TextCell(text, 1);
    ++Row;
}

void ExportExcel::WriteCurrency(CurrencyItem* item) {
    if (HeaderPending) {
        const char* header[] = {"Name", "ISO", "Value", "Date"};
        for (int column = 1; column <= 4; ++column) Excel->SetCell(header[column - 1], column, Row);
        ++Row;
        HeaderPending = false;
    }
    TextCell(item->GetName(), 1);
    TextCell(item->GetIso(), 2);
    Excel->SetCell(ExportValueText(Source, Base, item, true), 3, Row);
    TextCell(item->GetDate(), 4);
    ++Row;
}

void ExportExcel::Finish() {
    WriteLine(Source->GetCopyright());
    Excel->Disconnect();
}
