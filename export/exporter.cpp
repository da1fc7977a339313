#include "export/exporter.h"

#include "currency/currsource.h"
#include "platform/formkit.h"

#include <string_view>

void Exporter::Prepare(CurrSource*, CurrencyItem*) {}

bool Exporter::Start() { return false; }

void Exporter::Finish() {}

const char* const ExportWriteFailed = "Something went wrong. Perhaps I'll write some error handling some day.";

bool ProgramEnding() { return Application && Application->Terminated(); }

std::string ExportValueText(const CurrSource* source, const CurrencyItem* base, const CurrencyItem* item,
                            bool commaOnly) {
    std::string text = FloatToStr(source->Convert(base, 1, item));
    const char separator = SystemDecimalSeparator();
    if (separator == '.' || (commaOnly && separator != ',')) return text;
    size_t at = text.rfind(separator);
    if (at != std::string::npos) text[at] = '.';
    return text;
}

std::string NotAFormula(const std::string& text) {
    if (!text.empty() && std::string_view("=+-@\t\r").find(text[0]) != std::string_view::npos) return "'" + text;
    return text;
}

bool ChooseSaveFile(TSaveDialog* dialog) {
    bool chosen = dialog->Execute();
    while (chosen && FileExists(dialog->FileName)) {
        int answer = MessageDlg("File " + dialog->FileName + " already exists.\nDo you want to replace this file?",
                                mtInformation, {mbYes, mbNo}, 0);
        if (answer != mrNo) break;
        chosen = dialog->Execute();
    }
    return chosen;
}

std::string FolderOfFile(const std::string& path) {
    std::string folder = ExtractFilePath(path);
    if (folder.size() > 1) folder.pop_back();
    return folder;
}
