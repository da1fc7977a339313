// The export targets share one interface: the export dialog prepares a target
// with the source and the base currency, lets it start (ask for or check its
// destination and write the head), hands it each currency, and finishes it.
#pragma once

#include <string>

class CurrSource;
class CurrencyItem;
class TSaveDialog;

class Exporter {
public:
    virtual void Prepare(CurrSource* source, CurrencyItem* base);
    // False when nothing is to be exported; the run then stops here.
    virtual bool Start();
    virtual void WriteCurrency(CurrencyItem* item) = 0;
    virtual void Finish();
    virtual ~Exporter() = default;
};

// What one unit of the base buys of the item, in the general number format
// with the decimal separator forced to "." (every separator, or only a comma
// when commaOnly is set). With no base the value is 0.
std::string ExportValueText(const CurrSource* source, const CurrencyItem* base, const CurrencyItem* item,
                            bool commaOnly = false);

// Texts come from downloaded pages: one that a spreadsheet would run as a
// formula (beginning with "=", "+", "-", "@", a tab or a CR) gets a leading
// apostrophe, which marks it as plain text.
std::string NotAFormula(const std::string& text);

// Runs a save dialog until the user gives a name that is new or may be
// replaced; false when the dialog was cancelled.
bool ChooseSaveFile(TSaveDialog* dialog);

// The folder of a chosen file without its trailing slash ("/" stays "/").
std::string FolderOfFile(const std::string& path);

// The message shown when an export file cannot be written.
extern const char* const ExportWriteFailed;

// True once the program has been told to end. A run serves the program's
// messages while it waits (for a dialog, for the spreadsheet), and the
// shutdown that may come meanwhile frees the source it exports: from then on
// the run touches nothing more.
bool ProgramEnding();
