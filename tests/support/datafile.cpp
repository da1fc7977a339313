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
