#include "update/srcpacificupdate.h"

#include "currency/currencyitem.h"
#include "currency/currsource.h"
#include "currency/settings.h"
#include "platform/dialogs.h"
#include "platform/inifiles.h"
#include "platform/sysutils.h"
#include "update/pagetext.h"
#include "update/userauthwin.h"

#include <algorithm>
#include <memory>

namespace {
// Leaves the reading of the settings when the user declines the defaults.
const char* const UserAbort = "INI-Error. User Abort.";
const char* const VersionSection = "GetVersionStrings";

std::string SettingsPath() { return ProgramPath("\\data\\Pacific.INI"); }

// The first n characters of a UTF-8 text.
std::string FirstCharacters(const std::string& text, size_t n) {
    size_t i = 0;
    for (size_t count = 0; i < text.size() && count < n; ++count) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
    }
    return text.substr(0, i);
}
}  // namespace

PacificUpdate::PacificUpdate(CurrSource* source) : CurrSourceUpdate(source) {}

PacificUpdate::~PacificUpdate() { DeleteItems(); }

void PacificUpdate::DeleteItems() {
    for (CurrencyItem* item : Items) delete item;
    Items.clear();
}

void PacificUpdate::RowMessage(const std::string& text) {
    if (shown_.insert(text).second) ShowMessage(text);
}

void PacificUpdate::ReadVersionStrings() {
    try {
        TIniFile ini(SettingsPath());
        mustContain = ini.ReadString(VersionSection, "mustContain", "");
        if (mustContain.empty()) {
            if (MessageDlg("Can't find information about Pacific-HTML.\nUse default settings?", mtError,
                           {mbYes, mbCancel}, 0) != mrYes)
                throw std::string(UserAbort);
            mustContain = "<title>Rates as of";
        }
        versionStr1 = ini.ReadString(VersionSection, "versionStr1", "<!-- Version");
        versionStr2 = ini.ReadString(VersionSection, "versionStr2", "-->");
    } catch (const std::string& message) {
        if (message != UserAbort) MessageDlg("Error: " + message, mtError, {mbOK}, 0);
        mustContain.clear();
    } catch (const std::exception& e) {
        MessageDlg(std::string("Error: ") + e.what(), mtError, {mbOK}, 0);
        mustContain.clear();
    }
}

void PacificUpdate::ReadSettings() {
    startstr.clear();
    const size_t point = Version.find('.');
    if (point != std::string::npos) Version[point] = '_';
    Version = "V" + Version;
    try {
        TIniFile ini(SettingsPath());
        startstr = ini.ReadString(Version, "startstr", "");
        if (startstr.empty()) {
            if (MessageDlg("Can't find information about Pacific-HTML " + Version + ".\nUse default settings?",
                           mtError, {mbYes, mbCancel}, 0) != mrYes)
                throw std::string(UserAbort);
            Version = "Default";
            startstr = ini.ReadString(Version, "startstr", "<tr lightskyblue>");
        }
        endstr = ini.ReadString(Version, "endstr", "<tr><td align=center colspan");
        isoColumn = ini.ReadInteger(Version, "isoColumn", 0);
        nameColumn = ini.ReadInteger(Version, "nameColumn", 1);
        valueColumn = ini.ReadInteger(Version, "valueColumn", 4);
        perUnit = ini.ReadBool(Version, "perUnit", true);
        tr = ini.ReadString(Version, "tr", "<tr");
        tr_delim = ini.ReadString(Version, "tr_delim", ">");
        tre = ini.ReadString(Version, "tre", "</tr");
        td = ini.ReadString(Version, "td", "<td");
        td_delim = ini.ReadString(Version, "td_delim", ">");
        tde = ini.ReadString(Version, "tde", "</td>");
        linkedCurrMark = ini.ReadString(Version, "linkedCurrMark", "**");
        datestart = ini.ReadString(Version, "datestart", "<title>Rates as of");
        dateend = ini.ReadString(Version, "dateend", "</title>");
    } catch (const std::string& message) {
        if (message != UserAbort) MessageDlg("Error: " + message, mtError, {mbOK}, 0);
        startstr.clear();
    } catch (const std::exception& e) {
        MessageDlg(std::string("Error: ") + e.what(), mtError, {mbOK}, 0);
        startstr.clear();
    }
}

void PacificUpdate::Decode(const std::string& text) {
    shown_.clear();
    try {
        ReadVersionStrings();
        const PageText page(text);
        const size_t size = page.Size();
        constexpr size_t none = std::string::npos;

        // The page's title, only for the message about a wrong page.
        std::string title;
        const size_t titleOpen = page.Find("<title>", 0, size), titleClose = page.Find("</title>", 0, size);
        if (titleOpen != none && titleClose != none && titleClose >= titleOpen + 7)
            title = page.Cut(titleOpen + 7, titleClose);

        if (mustContain.empty()) return;
        if (page.Find(LowerCase(mustContain), 0, size) == none) {
            MessageDlg("Fetched document not a correct Pacific-Source HTML-file.\nHTML Title: " + title +
                           "\n\nNot updating...",
                       mtError, {mbOK}, 0);
            ForgetCredentials(Settings::Instance());
            return;
        }

        const size_t versionMark = page.Find(LowerCase(versionStr1), 0, size);
        const size_t versionFrom = versionMark == none ? none : versionMark + versionStr1.size();
        const size_t versionTo = versionMark == none ? none : page.Find(LowerCase(versionStr2), versionFrom, size);
        if (versionTo == none || versionTo == versionFrom) {
            MessageDlg("Can't detect version info in Pacific-Source HTML-file.", mtError, {mbOK}, 0);
            return;
        }
        Version = Trim(page.Cut(versionFrom, versionTo));

        ReadSettings();
        if (startstr.empty()) return;

        const size_t dateMark = page.Find(LowerCase(datestart), 0, size);
        const size_t dateEnd = page.Find(LowerCase(dateend), 0, size);
        if (dateMark == none || dateEnd == none) {
            ShowMessage("Can't correctly find date of currencies...");
            Date = "01-01-00";
        } else {
            const size_t dateFrom = dateMark + datestart.size();
            Date = dateEnd > dateFrom ? OneLine(StripTags(page.Cut(dateFrom, dateEnd))) : std::string();
            const size_t at = Date.find(" at ", 1);
            // A stripped tag may have left a blank before the cut.
            if (at != std::string::npos) Date = Trim(Date.substr(0, at));
        }

        // The body; every later search stays inside it.
        size_t from = page.Find(LowerCase(startstr), 0, size);
        size_t to = page.Find(LowerCase(endstr), 0, size);
        if (from == none || to == none || from > to) {
            ShowMessage("Can't correctly find body...");
            from = to = 0;
        }

        const std::string lowTr = LowerCase(tr), lowTre = LowerCase(tre);
        size_t rowAt = page.Find(lowTr, from, to);
        if (rowAt == none) ShowMessage("Can't find table-row!");
        while (rowAt != none) {
            const size_t rowEnd = page.Find(lowTre, from, to);
            if (rowEnd == none || rowEnd <= rowAt) break;  // the rest is dropped
            if (CurrencyItem* item = MakeItem(SplitCells(page.Cut(rowAt, rowEnd)))) Items.push_back(item);
            from = rowEnd + tre.size();
            rowAt = page.Find(lowTr, from, to);
        }
        FlushItems();
    } catch (const std::string& message) {
        MessageDlg("Error: " + message, mtError, {mbOK}, 0);
        DeleteItems();
    } catch (const std::exception& e) {
        MessageDlg(std::string("Error: ") + e.what(), mtError, {mbOK}, 0);
        DeleteItems();
    }
}

CellList PacificUpdate::SplitCells(const std::string& text) {
    CellList cells;
    const PageText row(text);
    const size_t size = row.Size();
    constexpr size_t none = std::string::npos;
    const std::string lowTd = LowerCase(td), lowTde = LowerCase(tde), lowDelim = LowerCase(td_delim);
    size_t from = 0;
    for (size_t cellAt; (cellAt = row.Find(lowTd, from, size)) != none;) {
        const size_t cellEnd = row.Find(lowTde, from, size);
        if (cellEnd != none && cellEnd > cellAt) {
            const size_t delim = row.Find(lowDelim, cellAt, cellEnd);
            // Without the delimiter the text starts as many characters in as
            // it has, less one: characters, so no character is cut in two.
            const size_t textAt = delim != none     ? delim + td_delim.size()
                                  : td_delim.empty() ? cellAt
                                                     : SkipCharacters(text, cellAt, CharacterCount(td_delim) - 1);
            cells.push_back(textAt < cellEnd ? row.Cut(textAt, cellEnd) : std::string());
        } else {
            RowMessage("Can't find end of tag.");
        }
        // Without an end marker the splitting could not move on.
        if (cellEnd == none) break;
        from = cellEnd + tde.size();
    }
    return cells;
}

CurrencyItem* PacificUpdate::MakeItem(CellList cells) {
    // A row that does not reach every column read is no rate row: it must
    // neither make a nameless currency nor put 0 over a good rate.
    const int last = std::max({isoColumn, nameColumn, valueColumn, 0});
    if (cells.empty() || static_cast<size_t>(last) >= cells.size()) return nullptr;
    // An empty rate cell is no rate: it must not put 0 over a good one.
    const std::string rate = Trim(Cell(cells, valueColumn));
    if (rate.empty()) return nullptr;
    const std::string iso = FirstCharacters(OneLine(Cell(cells, isoColumn)), 3);
    std::string name = Cell(cells, nameColumn);
    const size_t mark = LowerCase(name).find(LowerCase(linkedCurrMark));
    if (!linkedCurrMark.empty() && mark != std::string::npos) {
        // The mark, the character before it and everything after it go: the
        // whole character, never a piece of one.
        size_t cut = mark;
        if (cut > 0) --cut;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
        name.erase(cut);
    }
    name = OneLine(name);

    std::unique_ptr<char[]> nameText(NewCString(name)), isoText(NewCString(iso)), dateText(NewCString(Date));
    auto item = std::make_unique<CurrencyItem>(nameText.get(), isoText.get(), 0.0, dateText.get(), perUnit, false);
    item->SetValue(ParseRate(rate));
    return item.release();
}

void PacificUpdate::FlushItems() {
    // Each item leaves the list before the source takes it over.
    for (CurrencyItem*& item : Items) {
        CurrencyItem* handed = item;
        item = nullptr;
        Source->MergeCurrency(handed);
    }
    Items.clear();
}
