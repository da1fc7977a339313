#include "update/srcimfupdate.h"

#include "currency/currencyitem.h"
#include "currency/currsource.h"
#include "currency/settings.h"
#include "platform/dialogs.h"
#include "platform/inifiles.h"
#include "platform/sysutils.h"
#include "update/pagetext.h"
#include "update/userauthwin.h"

#include <algorithm>
#include <limits>
#include <memory>

namespace {
const char* const Section = "IMF";

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }
}  // namespace

ImfUpdate::ImfUpdate(CurrSource* source) : CurrSourceUpdate(source) {}

void ImfUpdate::RowMessage(const std::string& text) {
    if (shown_.insert(text).second) ShowMessage(text);
}

void ImfUpdate::ReadSettings() {
    try {
        TIniFile ini(ProgramPath("\\data\\IMF.INI"));
        startstr = ini.ReadString(Section, "startstr", "");
        if (startstr.empty()) {
            if (MessageDlg("Can't find information about IMF-HTML.\nUse default settings?", mtError,
                           {mbYes, mbCancel}, 0) != mrYes) {
                titlecontains.clear();
                return;
            }
            startstr = ini.ReadString(Section, "startstr", "<!-- END=/external/ssi/headerf.txt -->");
        }
        endstr = ini.ReadString(Section, "endstr", "<P><TABLE border=0><TR><TD>");
        nameColumn = ini.ReadInteger(Section, "nameColumn", 0);
        invertedColumn = ini.ReadInteger(Section, "invertedColumn", 1);
        valueColumn = ini.ReadInteger(Section, "valueColumn", 2);
        isInverted = ini.ReadString(Section, "isInverted", "(1)");
        isSdr = ini.ReadString(Section, "isSdr", "(2)");
        noValue = ini.ReadString(Section, "noValue", "---");
        tr = ini.ReadString(Section, "tr", "<TR");
        tr_delim = ini.ReadString(Section, "tr_delim", ">");
        tre = ini.ReadString(Section, "tre", "</TR");
        td = ini.ReadString(Section, "td", "<TD");
        td_delim = ini.ReadString(Section, "td_delim", ">");
        tde = ini.ReadString(Section, "tde", "</TD>");
        titlestart = ini.ReadString(Section, "titlestart", "<title>");
        titleend = ini.ReadString(Section, "titleend", "</title>");
        titlecontains = ini.ReadString(Section, "titlecontains", "Representative Exchange Rates");
        datestart = ini.ReadString(Section, "datestart", "<H3>");
        dateend = ini.ReadString(Section, "dateend", "</H3>");
        useDateInstance = ini.ReadInteger(Section, "useDateInstance", 2);
    } catch (const std::exception& e) {
        MessageDlg(std::string("Error: ") + e.what(), mtError, {mbOK}, 0);
        titlecontains.clear();
    }
}

void ImfUpdate::Decode(const std::string& text) {
    shown_.clear();
    try {
        ReadSettings();
        const PageText pageText(text);
        PageWindow page{&pageText, 0, pageText.Size()};

        const long long titleAt = page.Pos("<title>") + 7;
        const std::string pageTitle = page.Sub(titleAt, page.Pos("</title>") - titleAt).Str();
        if (titlecontains.empty()) return;

        const long long start = page.Pos(LowerCase(titlestart)) + static_cast<long long>(titlestart.size());
        Title = page.Sub(start, page.Pos(LowerCase(titleend)) - start).Str();
        if (LowerCase(Title).find(LowerCase(titlecontains)) == std::string::npos) {
            MessageDlg("Fetched document not a correct IMF-Source HTML-file.\nHTML Title: " + pageTitle +
                           "\n\nNot updating...",
                       mtError, {mbOK}, 0);
            ForgetCredentials(Settings::Instance());
            return;
        }

        // The date: the page is cut after each date heading before the one
        // that holds the date, and the later steps see only what is left.
        const std::string lowDateStart = LowerCase(datestart), lowDateEnd = LowerCase(dateend);
        const long long dateEndLength = static_cast<long long>(dateend.size());
        long long cuts = useDateInstance > 1 ? useDateInstance - 1LL : 0;
        while (cuts > 0) {
            const long long end = page.Pos(lowDateEnd);
            if (end > 0) {
                page = page.From(end + dateEndLength);
                --cuts;
                continue;
            }
            // No later cut finds the end marker either: each would drop the
            // first (length - 1) characters, so they are dropped at once.
            if (dateEndLength == 0) {
                page = page.Empty();
            } else {
                const long long each = dateEndLength - 1;
                const long long drop = each == 0 ? 0 : (cuts > page.Length() / each ? page.Length() : cuts * each);
                page = page.From(drop + 1);
            }
            cuts = 0;
        }
        const long long dateStartAt = page.Pos(lowDateStart);
        const long long dateFrom = dateStartAt + static_cast<long long>(datestart.size());
        const long long dateTo = page.Pos(lowDateEnd);
        if (dateStartAt > 0 && dateFrom < dateTo) {
            Date = OneLine(StripTags(page.Sub(dateFrom, dateTo - dateFrom).Str()));
        } else {
            ShowMessage("Can't correctly find date of currencies. (between " + Quoted(datestart) + " and " +
                        Quoted(dateend) + ")");
            Date = "01-01-00";
        }

        const long long bodyStart = page.Pos(LowerCase(startstr)), bodyEnd = page.Pos(LowerCase(endstr));
        if (bodyStart >= 1 && bodyStart < bodyEnd) {
            page = page.Sub(bodyStart, bodyEnd - bodyStart);
        } else {
            ShowMessage("Can't correctly find body. (between " + Quoted(startstr) + " and " + Quoted(endstr) + ")");
            page = page.Empty();
        }

        const std::string lowTr = LowerCase(tr), lowTre = LowerCase(tre);
        long long rowAt = page.Pos(lowTr);
        if (rowAt == 0) ShowMessage("Can't find table-row. (first " + Quoted(lowTr) + ")");
        while (rowAt > 0) {
            const long long rowEnd = page.Pos(lowTre);
            if (rowAt >= rowEnd) {
                ShowMessage("Can't find table-row ending. (" + Quoted(lowTre) + ")");
                page = page.Empty();
                break;
            }
            CurrencyItem* item = MakeItem(SplitCells(page.Sub(rowAt, rowEnd - rowAt).Str()));
            if (item) Source->MergeCurrency(item);
            page = page.From(rowEnd + static_cast<long long>(tre.size()));
            rowAt = page.Pos(lowTr);
        }
        Source->AddLinkedCurrencies();
    } catch (const std::string& message) {
        MessageDlg("Error: " + message, mtError, {mbOK}, 0);
    } catch (const std::exception& e) {
        MessageDlg(std::string("Error: ") + e.what(), mtError, {mbOK}, 0);
    }
}

CellList ImfUpdate::SplitCells(const std::string& text) {
    CellList cells;
    const PageText rowText(text);
    PageWindow row{&rowText, 0, rowText.Size()};
    const std::string lowTd = LowerCase(td), lowTde = LowerCase(tde), lowDelim = LowerCase(td_delim);
    long long cellAt = row.Pos(lowTd);
    if (cellAt == 0) {
        RowMessage("Can't find TD. (first " + Quoted(lowTd) + ")");
        return cells;
    }
    while (cellAt > 0) {
        const long long cellEnd = row.Pos(lowTde);
        // Without an end marker the splitting could not move on.
        if (cellEnd == 0) break;
        PageWindow cell = row.Sub(cellAt, cellEnd - cellAt);
        // Without the delimiter the text starts as many characters in as it
        // has, less one: characters, so no character is cut in two.
        const long long delimAt = cell.Pos(lowDelim);
        long long textAt = 0;
        if (delimAt > 0) textAt = delimAt + static_cast<long long>(td_delim.size());
        else if (!td_delim.empty())
            textAt = 1 + static_cast<long long>(SkipCharacters(cell.Str(), 0, CharacterCount(td_delim) - 1));
        cells.push_back(cell.From(textAt).Str());
        row = row.From(cellEnd + static_cast<long long>(tde.size()));
        cellAt = row.Pos(lowTd);
    }
    return cells;
}

CurrencyItem* ImfUpdate::MakeItem(CellList cells) {
    // A row that does not reach every column read is no rate row: it must
    // neither make a nameless currency nor put 0 over a good rate.
    const int last = std::max({nameColumn, invertedColumn, valueColumn, 0});
    if (cells.empty() || static_cast<size_t>(last) >= cells.size()) return nullptr;
    const std::string name = OneLine(Cell(cells, nameColumn));
    const std::string marker = Trim(Cell(cells, invertedColumn));
    const std::string rate = Trim(Cell(cells, valueColumn));
    auto contains = [](const std::string& text, const std::string& part) {
        return !part.empty() && text.find(part) != std::string::npos;
    };
    // An empty rate cell is no rate either: it must not put 0 over a good one.
    if (rate.empty() || contains(rate, noValue)) return nullptr;
    const bool perUnit = !contains(marker, isInverted);
    if (contains(marker, isSdr)) return nullptr;

    std::unique_ptr<char[]> nameText(NewCString(name)), isoText(NewCString("")), dateText(NewCString(Date));
    auto item = std::make_unique<CurrencyItem>(nameText.get(), isoText.get(), 0.0, dateText.get(), perUnit, false);
    item->SetValue(ParseRate(rate));
    return item.release();
}
