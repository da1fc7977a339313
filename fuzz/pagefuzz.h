// What the two page-decoder targets share. An input is a page, decoded with
// the built-in settings (no settings file; the question about them answered
// Yes), or a settings file, the line PageMark, and the page decoded with it.
// After decoding, every currency must keep its field limits and a finite
// rate, and the source must read back from the data file it writes as it
// was in memory.
#pragma once

#include "currency/currsource.h"
#include "fuzzenv.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace pagefuzz {

inline constexpr char PageMark[] = "\n--page--\n";

struct Input {
    bool hasSettings = false;
    std::string settings;
    std::string page;
};

// The page as a fetch hands it over: a zero byte ends the text (a download
// drops it, a saved page ends there) and a page that is not UTF-8 is read as
// Windows-1252.
inline Input Split(const uint8_t* data, size_t size) {
    Input in;
    std::string all(reinterpret_cast<const char*>(data), size);
    size_t mark = all.find(PageMark);
    if (mark != std::string::npos) {
        in.hasSettings = true;
        in.settings = all.substr(0, mark);
        in.page = all.substr(mark + sizeof PageMark - 1);
    } else {
        in.page = all;
    }
    std::erase(in.page, '\0');
    if (!IsValidUtf8(in.page)) in.page = Cp1252ToUtf8(in.page);
    return in;
}

// The settings file at path: the input's, or none at all.
inline void PlaceSettings(const Input& in, const std::string& path) {
    if (in.hasSettings)
        fuzzenv::WriteFile(path, reinterpret_cast<const uint8_t*>(in.settings.data()), in.settings.size());
    else
        unlink(path.c_str());
}

inline void PlaceText(const std::string& path, const std::string& text) {
    fuzzenv::WriteFile(path, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

// A currency as the data file keeps it: its rate with six digits.
struct Row {
    std::string name, iso, date, value;
    bool perUnit, selected;
    bool operator==(const Row&) const = default;
};

[[noreturn]] inline void Fail(const std::string& what) {
    std::string shown;
    for (unsigned char c : what) {
        if (c < 0x20 || c == 0x7F) {
            char code[8];
            snprintf(code, sizeof code, "\\x%02X", c);
            shown += code;
        } else {
            shown += static_cast<char>(c);
        }
    }
    fprintf(stderr, "pagefuzz: %s\n", shown.c_str());
    abort();
}

// Checks the field limits and the rates, and returns the rows; the currencies
// named in derived are left out (they are worked out afresh from another
// rate whenever the file is read).
inline std::vector<Row> Rows(const CurrSource& source, const std::set<std::string>& derived = {}) {
    std::vector<Row> rows;
    for (CurrItr it = source.GetCurrencies(); it.HasNext();) {
        const CurrencyItem* c = it.Next();
        const std::string name = c->GetName(), iso = c->GetIso(), date = c->GetDate();
        if (CutCharacters(name, CurrencyNameLength) != name || CutCharacters(iso, CurrencyIsoLength) != iso ||
            CutCharacters(date, CurrencyDateLength) != date)
            Fail("a field beyond its limit: " + name);
        if (!IsValidUtf8(name) || !IsValidUtf8(iso) || !IsValidUtf8(date))
            Fail("a field cut inside a character: [" + name + "|" + iso + "|" + date + "]");
        if (!std::isfinite(c->Value)) Fail("a rate that is no number: " + name);
        if (!derived.count(name))
            rows.push_back({name, iso, date, DoubleToStreamText(c->Value), c->IsPerUnit(), c->IsSelected()});
    }
    return rows;
}

inline void ExpectSame(const std::vector<Row>& before, const std::vector<Row>& after) {
    if (before == after) return;
    std::string what = "the data file did not read back as written (" + std::to_string(before.size()) + " vs " +
                       std::to_string(after.size()) + " currencies)";
    for (size_t i = 0; i < before.size() && i < after.size(); ++i)
        if (!(before[i] == after[i])) {
            what += "; first difference: [" + before[i].name + "|" + before[i].iso + "|" + before[i].date + "|" +
                    before[i].value + "] became [" + after[i].name + "|" + after[i].iso + "|" + after[i].date + "|" +
                    after[i].value + "]";
            break;
        }
    Fail(what);
}

}  // namespace pagefuzz
