// A target made of one user template: the body with the source's texts filled
// in, and before every anchor one filled repeater per exported currency.
#pragma once

#include "export/exporter.h"

#include <string>
#include <vector>

class OutputFilterInfo;
class TSaveDialog;
class TStringList;

class ExportUserFilter : public Exporter {
public:
    explicit ExportUserFilter(OutputFilterInfo* filter);
    ~ExportUserFilter() override;
    ExportUserFilter(const ExportUserFilter&) = delete;
    ExportUserFilter& operator=(const ExportUserFilter&) = delete;

    void Prepare(CurrSource* source, CurrencyItem* base) override;
    bool Start() override;
    void WriteCurrency(CurrencyItem* item) override;
    void Finish() override;

    // Replaces every occurrence of tag, found ignoring letter case, scanning
    // forward only: inserted text is never searched again.
    static std::string ReplaceAll(const std::string& text, const std::string& tag, const std::string& replacement);

    CurrSource* Source = nullptr;
    CurrencyItem* Base = nullptr;
    TSaveDialog* SaveDialog = nullptr;
    std::string Output;
    std::string Repeater;
    TStringList* Lines = nullptr;
    OutputFilterInfo* Filter;
    int Counter = 0;

private:
    void Release();
    // A text as it goes into the document: HTML-escaped in an HTML template
    // (default extension htm or html), as it is in any other.
    std::string Inserted(const std::string& text) const;
    bool html_ = false;
    // The filled body cut at its anchors, and the rows written so far: every
    // row goes before every anchor, and nothing written is searched again.
    std::vector<std::string> pieces_;
    std::string rows_;
};

// The text that stands for the program's legal notice in a template.
extern const char* const ProgramCopyrightText;
