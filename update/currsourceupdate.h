// A page decoder: turns a source's rate page into currencies of the source.
// UpdateSource (update/sourceupdate.h) makes one for each update and hands it
// to the source. Update opens the progress window and starts the fetcher; the
// fetcher hands the page, or the failure, back on the GUI thread. The text
// tools here are shared by the decoders.
#pragma once

#include <string>
#include <vector>

class CurrSource;
class CurrencyItem;
class Fetcher;
class TUpdateForm;

// The cells of one table row, in the order of the row.
using CellList = std::vector<std::string>;

class CurrSourceUpdate {
public:
    explicit CurrSourceUpdate(CurrSource* source) : Source(source) {}
    // A progress window still showing "Reading..." goes with its decoder.
    virtual ~CurrSourceUpdate();
    CurrSourceUpdate(const CurrSourceUpdate&) = delete;
    CurrSourceUpdate& operator=(const CurrSourceUpdate&) = delete;

    // Opens the progress window and asks the fetcher for the page. Without a
    // fetcher nothing would ever arrive, so nothing opens.
    virtual void Update(Fetcher* fetcher);
    // Parses the page into Source. A failure thrown as a text (std::string)
    // is shown in the progress window as the decoding step's error.
    virtual void Decode(const std::string& page) = 0;
    virtual CellList SplitCells(const std::string& row) = 0;
    // A new currency the caller takes over, or null when the row has none.
    virtual CurrencyItem* MakeItem(CellList cells) = 0;

    void DocumentFetched(const std::string& page);
    void FetchFailed(const std::string& message);
    // The fetch was cut off (a newer update, or the program is closing): the
    // progress window goes without a word.
    void FetchCutOff();

    // The text without its tags; a "<" that no ">" closes drops the rest.
    static std::string StripTags(const std::string& text);
    // A rate text as a number, with the system's decimal separator; the
    // empty text is 0. Throws EConvertError for a text that is no number.
    static double ParseRate(const std::string& text);
    // A zero-terminated copy the caller deletes with delete[].
    static char* NewCString(const std::string& text);
    // The cell's text without tags, untrimmed; an index below 0 reads the
    // first cell, one past the last cell the empty text.
    static std::string Cell(const CellList& cells, int index);
    // A text of the page for a currency's name, code or date: trimmed, and
    // every run of blanks that holds a line break made one blank, as a
    // browser shows it. The data files keep each value on one line, so a
    // line break would not read back as it was written.
    static std::string OneLine(const std::string& text);
    // Where the text is n characters (not bytes) after byte position at;
    // its end when it is shorter.
    static size_t SkipCharacters(const std::string& text, size_t at, size_t n);
    static size_t CharacterCount(const std::string& text);

    TUpdateForm* Form = nullptr;
    CurrSource* Source;
};
