// The "Excel" target: a new sheet in the spreadsheet program, filled cell by
// cell over the link: a title row, a header row before the first currency,
// one row per currency, and the source's notice.
#pragma once

#include "export/exporter.h"

#include <string>

class ExcelCtrl;

// Shown at the end of a run that lost cells.
extern const char* const SheetIncomplete;

class ExportExcel : public Exporter {
public:
    ExportExcel();
    ~ExportExcel() override;
    ExportExcel(const ExportExcel&) = delete;
    ExportExcel& operator=(const ExportExcel&) = delete;

    void Prepare(CurrSource* source, CurrencyItem* base) override;
    bool Start() override;
    void WriteCurrency(CurrencyItem* item) override;
    void Finish() override;
    virtual void WriteLine(const std::string& text);

    CurrSource* Source = nullptr;
    CurrencyItem* Base = nullptr;
    ExcelCtrl* Excel;
    int Row = 1;
    bool HeaderPending = true;

private:
    void TextCell(const std::string& text, int column);
};
