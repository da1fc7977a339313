#include "support/datafile.h"

std::string DataFileText(const std::vector<FileCurrency>& currencies, const std::vector<FilePair>& pairs,
                         const std::string& name, const std::string& base) {
    std::string s = "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n"
                    "<!-- This is a generated file. Do not edit. -->\r\n"
                    "<CURRSOURCE>\r\n"
                    "  <NAME>" + name + "</NAME>\r\n"
                    "  <HOST>fx.example.org</HOST>\r\n"
                    "  <UPDATEURL>/rates.html</UPDATEURL>\r\n"
                    "  <WEBSITE>http://fx.example.org/</WEBSITE>\r\n"
                    "  <COPYRIGHT>Rates &amp; notes &lt;c&gt; &quot;q&quot; 'a'</COPYRIGHT>\r\n"
                    "  <DEFAULTUNIT>U.S. Dollar</DEFAULTUNIT>\r\n"
                    "  <PREFERREDBASE>" + base + "</PREFERREDBASE>\r\n"
                    "\r\n";
    for (const FilePair& p : pairs)
        s += "  <PREFERRED>\r\n    <NAME>" + p.name + "</NAME>\r\n    <FIRST>" + p.first +
             "</FIRST>\r\n    <SECOND>" + p.second + "</SECOND>\r\n  </PREFERRED>\r\n\r\n";
    for (const FileCurrency& c : currencies)
        s += "  <CURRENCY>\r\n    <NAME>" + c.name + "</NAME>\r\n    <ISO>" + c.iso + "</ISO>\r\n    <DATE>" +
             c.date + "</DATE>\r\n    <VALUE TYPE=\"" + (c.perUnit ? "PER_UNIT" : "UNITS_PER") + "\">" +
             c.value + "</VALUE>\r\n    <SELECTED>" + (c.selected ? "YES" : "NO") +
             "</SELECTED>\r\n  </CURRENCY>\r\n\r\n";
    return s + "</CURRSOURCE>\r\n";
}

namespace {
// Six letters drawn from the number, the first of them capital for odd ones.
std::string ScatteredWord(unsigned n) {
    unsigned k = n * 2654435761u;
    std::string word;
    for (int i = 0; i < 6; ++i, k /= 26) word += static_cast<char>(((i == 0 && n % 2) ? 'A' : 'a') + k % 26);
    return word;
}
}  // namespace

std::vector<FileCurrency> ScatteredCurrencies(int count) {
    std::vector<FileCurrency> out{{"U.S. Dollar", "USD", "2025/01/16", "1", true, true}};
    for (int i = 1; i < count; ++i) {
        const std::string name =
            i == 2 ? "EURO" : i == 3 ? "euro" : ScatteredWord(static_cast<unsigned>(i)) + " " + std::to_string(i);
        std::string iso = "C";
        iso += std::to_string(i % 100);
        const std::string value = std::to_string(1 + i % 7);
        out.push_back({name, iso, "2025/01/16", value, true, i % 5 != 0});
    }
    return out;
}

std::vector<FilePair> ScatteredPairs(const std::vector<FileCurrency>& currencies, int count) {
    std::vector<FilePair> out;
    for (int i = 0; i < count; ++i) {
        const FileCurrency& second = currencies[static_cast<size_t>(1 + i * 7) % currencies.size()];
        out.push_back({ScatteredWord(static_cast<unsigned>(i) + 1000) + " pair", "U.S. Dollar",
                       second.selected ? second.name : "U.S. Dollar"});
    }
    return out;
}

std::vector<std::string> OfferedNames(const std::vector<FileCurrency>& currencies) {
    std::vector<std::string> out;
    for (const FileCurrency& c : currencies)
        if (c.selected) out.push_back(c.name);
    return out;
}
