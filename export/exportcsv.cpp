#include "export/exportcsv.h"

#include "currency/currsource.h"
#include "currency/settings.h"
#include "platform/classes.h"
#include "platform/formkit.h"

ExportCSV::~ExportCSV() { Release(); }

void ExportCSV::Release() {
    delete SaveDialog;
    SaveDialog = nullptr;
    delete Lines;
    Lines = nullptr;
}

void ExportCSV::Prepare(CurrSource* source, CurrencyItem* base) {
    Release();
    SaveDialog = new TSaveDialog(Application);
    Lines = new TStringList;
    Settings* settings = Settings::Instance();
    Separator = settings->csvSep;
    SaveDialog->Title = "Save CSV-File As";
    SaveDialog->FileName = source->GetName() + ".csv";
    SaveDialog->Filter = "csv-file|*.CSV|txt-file|*.TXT";
    SaveDialog->FilterIndex = 1;
    SaveDialog->InitialDir = settings->savePath;
    Source = source;
    Base = base;
}

bool ExportCSV::Start() {
    if (!ChooseSaveFile(SaveDialog) || ProgramEnding()) return false;
    Lines->Add("Name, ISO, Value, Date");
    Settings::Instance()->savePath = FolderOfFile(SaveDialog->FileName);
    return true;
}

std::string ExportCSV::Field(const std::string& text) const {
    // Quoted whatever the separator is, when the text holds one a
    // spreadsheet may split on (the list separator of its locale, or a TAB
    // for a text file), so no part of the text becomes a cell of its own.
    bool quote = text.find_first_of("\",;\t\r\n") != std::string::npos ||
                 (!Separator.empty() && text.find(Separator) != std::string::npos);
    if (!quote) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

void ExportCSV::WriteCurrency(CurrencyItem* item) {
    std::string date = item->GetDate();
    std::erase(date, ',');
    Lines->Add(Field(NotAFormula(item->GetName())) + Separator + Field(NotAFormula(item->GetIso())) + Separator +
               Field(ExportValueText(Source, Base, item)) + Separator + Field(NotAFormula(date)));
}

void ExportCSV::Finish() {
    try {
        Lines->SaveToFile(SaveDialog->FileName);
    } catch (const std::exception&) {
        ShowMessage(ExportWriteFailed);
    }
    Release();
}
