#include "export/exportuserfilter.h"

#include "currency/currsource.h"
#include "currency/settings.h"
#include "export/outputfilterinfo.h"
#include "platform/classes.h"
#include "platform/formkit.h"

#include <utility>

namespace {
const std::string Anchor = "<tallyvaneRepeater/>";

// Texts from a page must not become markup of an HTML document.
std::string EscapeHtml(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

bool IsHtmlExtension(const std::string& ext) {
    std::string e = Trim(ext);
    if (!e.empty() && e[0] == '.') e.erase(0, 1);
    return SameText(e, "htm") || SameText(e, "html");
}
}  // namespace

std::string ExportUserFilter::Inserted(const std::string& text) const { return html_ ? EscapeHtml(text) : text; }

const char* const ProgramCopyrightText = "Copyright (c) 2001-2003 Maren Holt. All rights reserved.";

ExportUserFilter::ExportUserFilter(OutputFilterInfo* filter) : Filter(filter) {}

ExportUserFilter::~ExportUserFilter() { Release(); }

void ExportUserFilter::Release() {
    delete SaveDialog;
    SaveDialog = nullptr;
    delete Lines;
    Lines = nullptr;
}

std::string ExportUserFilter::ReplaceAll(const std::string& text, const std::string& tag,
                                         const std::string& replacement) {
    if (tag.empty()) return text;
    // Tags are ASCII, so upper-casing ASCII letters alone keeps every byte in place.
    const std::string upperText = UpperCase(text);
    const std::string upperTag = UpperCase(tag);
    std::string result;
    size_t from = 0;
    for (;;) {
        size_t at = upperText.find(upperTag, from);
        if (at == std::string::npos) break;
        result.append(text, from, at - from);
        result += replacement;
        from = at + tag.size();
    }
    result.append(text, from, std::string::npos);
    return result;
}

void ExportUserFilter::Prepare(CurrSource* source, CurrencyItem* base) {
    Counter = 0;
    Release();
    SaveDialog = new TSaveDialog(Application);
    Lines = new TStringList;
    const std::string name = Filter->GetName();
    SaveDialog->Title = "Save " + name + " As";
    SaveDialog->FileName = Filter->GetFilename();
    SaveDialog->Filter = name + "|*" + Filter->GetDefaultExt() + "|All-files|*.*";
    SaveDialog->FilterIndex = 1;
    SaveDialog->InitialDir = Settings::Instance()->savePath;
    Source = source;
    Base = base;
}

bool ExportUserFilter::Start() {
    Counter = 0;
    Output.clear();
    Repeater = Filter->GetRepeater();
    if (!ChooseSaveFile(SaveDialog) || ProgramEnding()) return false;
    const Settings* settings = Settings::Instance();
    const std::pair<const char*, std::string> tags[] = {
        {"<tallyvaneSourceName/>", Source->GetName()},
        {"<tallyvaneSourceCopyright/>", Source->GetCopyright()},
        {"<tallyvaneSourceUrl/>", Source->GetWebsite()},
        {"<tallyvaneSourceUpdateUrl/>", Source->GetUpdateAddress()},
        {"<tallyvaneProgramName/>", settings->ProductName},
        {"<tallyvaneProgramVersion/>", settings->VersionText},
        {"<tallyvaneProgramUrl/>", settings->WebAddress},
        {"<tallyvaneProgramCopyright/>", ProgramCopyrightText},
    };
    html_ = IsHtmlExtension(Filter->GetDefaultExt());
    Output = Filter->GetBody();
    for (const auto& [tag, value] : tags) Output = ReplaceAll(Output, tag, Inserted(value));
    // The places of the rows are fixed here: no text written later, however
    // it joins the text around it, can add an anchor or move one.
    pieces_.clear();
    const std::string upper = UpperCase(Output), upperAnchor = UpperCase(Anchor);
    size_t from = 0;
    for (size_t at; (at = upper.find(upperAnchor, from)) != std::string::npos; from = at + upperAnchor.size())
        pieces_.push_back(Output.substr(from, at - from));
    pieces_.push_back(Output.substr(from));
    rows_.clear();
    Settings::Instance()->savePath = FolderOfFile(SaveDialog->FileName);
    return true;
}

void ExportUserFilter::WriteCurrency(CurrencyItem* item) {
    const std::pair<const char*, std::string> tags[] = {
        {"<currencyName/>", item->GetName()},
        {"<currencyISO/>", item->GetIso()},
        {"<currencyDate/>", item->GetDate()},
        {"<currencyCounter/>", IntToStr(Counter)},
        {"<currencyValue/>", ExportValueText(Source, Base, item)},
    };
    std::string row = Repeater;
    for (const auto& [tag, value] : tags) row = ReplaceAll(row, tag, Inserted(value));
    // No anchor stays in a row, not even one that removing another joins.
    while (UpperCase(row).find(UpperCase(Anchor)) != std::string::npos) row = ReplaceAll(row, Anchor, "");
    rows_ += row;
    ++Counter;
}

void ExportUserFilter::Finish() {
    if (!pieces_.empty()) {
        Output = pieces_[0];
        for (size_t i = 1; i < pieces_.size(); ++i) Output += rows_ + pieces_[i];
    }
    Lines->Clear();
    Lines->Add(Output);
    try {
        Lines->SaveToFile(SaveDialog->FileName);
    } catch (const std::exception&) {
        ShowMessage(ExportWriteFailed);
    }
    Release();
}
