// The "CSV-file" target: one header line and one line per currency, kept in
// memory and written to the chosen file at the end.
#pragma once

#include "export/exporter.h"

#include <string>

class TSaveDialog;
class TStringList;

class ExportCSV : public Exporter {
public:
    ExportCSV() = default;
    ~ExportCSV() override;
    ExportCSV(const ExportCSV&) = delete;
    ExportCSV& operator=(const ExportCSV&) = delete;

    void Prepare(CurrSource* source, CurrencyItem* base) override;
    bool Start() override;
    void WriteCurrency(CurrencyItem* item) override;
    void Finish() override;

    CurrSource* Source = nullptr;
    CurrencyItem* Base = nullptr;
    TSaveDialog* SaveDialog = nullptr;
    TStringList* Lines = nullptr;
    std::string Separator;

private:
    // A field that would break the line apart is quoted.
    std::string Field(const std::string& text) const;
    void Release();
};
