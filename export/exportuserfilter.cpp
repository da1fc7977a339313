#include "export/exportuserfilter.h"

#include "currency/currsource.h"
#include "currency/settings.h"
#include "export/outputfilterinfo.h"
#include "platform/classes.h"
#include "platform/vcl.h"

#include <utility>

namespace {
const char* const Anchor = "<tallyvaneRepeater/>";
}

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
    if (!ChooseSaveFile(SaveDialog)) return false;
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
    Output = Filter->GetBody();
    for (const auto& [tag, value] : tags) Output = ReplaceAll(Output, tag, value);
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
    for (const auto& [tag, value] : tags) row = ReplaceAll(row, tag, value);
    // An anchor left in the row would take every later row as well, so the
    // output would grow with each currency.
    row = ReplaceAll(row, Anchor, "") + Anchor;
    Output = ReplaceAll(Output, Anchor, row);
    ++Counter;
}

void ExportUserFilter::Finish() {
    Output = ReplaceAll(Output, Anchor, "");
    Lines->Clear();
    Lines->Add(Output);
    try {
        Lines->SaveToFile(SaveDialog->FileName);
    } catch (const std::exception&) {
        ShowMessage(ExportWriteFailed);
    }
    Release();
}
