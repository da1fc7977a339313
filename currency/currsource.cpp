#include "currency/currsource.h"

#include "currency/settings.h"
#include "platform/dialogs.h"
#include "platform/sysutils.h"
#include "xml/xmlparser.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
// Numbers in data files always use "." whatever the system's decimal
// character. False for a text that is no number a rate can hold.
bool ReadFileNumber(const std::string& text, long double& value) {
    return TryStrToFloat(text, value, '.') && std::fabs(value) <= std::numeric_limits<double>::max();
}
}  // namespace

CurrSource::~CurrSource() {
#ifndef TV_POCKETVANE
    Save();
#endif
    DeleteItems();
}

void CurrSource::DeleteItems() {
    for (PrefItem* pair : Preferreds) delete pair;
    Preferreds.clear();
    for (CurrencyItem* currency : Currencies) delete currency;
    Currencies.clear();
    byName_.clear();
    indexValid_ = false;
}

std::string CurrSource::GetFilePath() const { return ProgramPath(FileName); }

void CurrSource::Load(const std::string& fileName) {
    FileName = fileName;
    const std::string path = GetFilePath();
    if (!FileExists(path)) {
        ShowMessage("Can't find file: " + path);
        return;
    }
    XMLParser parser;
    XMLNode* root = parser.Parse(path);
    // A file that cannot be read is not damaged: the reader has told the
    // user, and the file stays as it is, also at the end of the run.
    unreadable_ = parser.Unreadable();
    if (unreadable_) return;
    XMLNode* source = root->FindFirst("CURRSOURCE");
    // Anything the reader had to skip or guess, and a rate that does not
    // convert, may have lost rates, so the file is kept as it was before the
    // end of the run writes over it.
    loadFailed_ = parser.Failed() || parser.Reported() || parser.LeftUnclosed() || !source;
    backupKept_ = false;
    if (source) ReadSource(source);
#ifndef TV_POCKETVANE
    if (loadFailed_) {
        const std::string backup = KeepBackup(path);
        backupKept_ = !backup.empty();
        MessageDlg("The rate file " + path + " was damaged; " +
                       (backupKept_ ? "it was kept as " + backup : "it could not be kept as " + path + ".bak") + ".",
                   mtWarning, {mbOK}, 0);
    }
#endif
}

void CurrSource::ReadSource(XMLNode* source) {
    Name = source->GetChildText("NAME");
    Host = source->GetChildText("HOST");
    UpdateUrl = source->GetChildText("UPDATEURL");
    Website = source->GetChildText("WEBSITE");
    Copyright = source->GetChildText("COPYRIGHT");
    DefaultUnit = source->GetChildText("DEFAULTUNIT");
    PreferredBase = source->GetChildText("PREFERREDBASE");

    for (XMLNode* node = source->FindFirst("CURRENCY"); node; node = source->FindNext()) {
#ifdef TV_POCKETVANE
        // The tray program offers only the currencies chosen in the main program.
        if (node->GetChildValue("SELECTED") != "YES") continue;
#endif
        std::string name = node->GetChildText("NAME");
        std::string iso = node->GetChildText("ISO");
        const std::string valueText = node->GetChildValue("VALUE");
        long double value = 0;
        if (!valueText.empty() && !ReadFileNumber(valueText, value)) {
            value = 0;
            loadFailed_ = true;
        }
        XMLItem* valueItem = node->FindChildItem("VALUE");
        bool perUnit = valueItem && valueItem->GetAttribute("TYPE") == "PER_UNIT";
        std::string date = node->GetChildText("DATE");
        bool selected = node->GetChildValue("SELECTED") == "YES";
        AddCurrency(name, iso, value, date, perUnit, selected);
    }
    for (XMLNode* node = source->FindFirst("PREFERRED"); node; node = source->FindNext()) {
        CurrencyItem* first = FindCurrency(node->GetChildText("FIRST"));
        CurrencyItem* second = FindCurrency(node->GetChildText("SECOND"));
        if (first && second) AddPreferred(node->GetChildText("NAME"), first, second);
    }
}

std::string CurrSource::ReplaceAll(const std::string& text, const std::string& pattern,
                                   const std::string& replacement) {
    if (pattern.empty()) return text;
    std::string result;
    size_t from = 0;
    for (;;) {
        size_t at = text.find(pattern, from);
        if (at == std::string::npos) break;
        result.append(text, from, at - from);
        result += replacement;
        from = at + pattern.size();
    }
    result.append(text, from, std::string::npos);
    return result;
}

std::string CurrSource::EscapeXml(const std::string& text) {
    std::string s = ReplaceAll(text, "&", "&amp;");
    s = ReplaceAll(s, "\"", "&quot;");
    s = ReplaceAll(s, "<", "&lt;");
    return ReplaceAll(s, ">", "&gt;");
}

std::string CurrSource::WritePreferred(const PrefItem* pair) {
    return "  <PREFERRED>\r\n"
           "    <NAME>" + EscapeXml(pair->GetName()) + "</NAME>\r\n"
           "    <FIRST>" + EscapeXml(pair->GetFirst()->GetName()) + "</FIRST>\r\n"
           "    <SECOND>" + EscapeXml(pair->GetSecond()->GetName()) + "</SECOND>\r\n"
           "  </PREFERRED>\r\n"
           "\r\n";
}

std::string CurrSource::WriteCurrency(const CurrencyItem* c) {
    return std::string("  <CURRENCY>\r\n") +
           "    <NAME>" + EscapeXml(c->GetName()) + "</NAME>\r\n"
           "    <ISO>" + EscapeXml(c->GetIso()) + "</ISO>\r\n"
           "    <DATE>" + EscapeXml(c->GetDate()) + "</DATE>\r\n"
           "    <VALUE TYPE=\"" + (c->IsPerUnit() ? "PER_UNIT" : "UNITS_PER") + "\">" +
           DoubleToStreamText(c->Value) + "</VALUE>\r\n"
           "    <SELECTED>" + (c->IsSelected() ? "YES" : "NO") + "</SELECTED>\r\n"
           "  </CURRENCY>\r\n"
           "\r\n";
}

void CurrSource::Save() {
    if (unreadable_) return;
    std::string out;
    out.reserve(200 + Currencies.size() * 200);
    out += "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n";
    out += "<!-- This is a generated file. Do not edit. -->\r\n";
    out += "<CURRSOURCE>\r\n";
    out += "  <NAME>" + EscapeXml(Name) + "</NAME>\r\n";
    out += "  <HOST>" + EscapeXml(Host) + "</HOST>\r\n";
    out += "  <UPDATEURL>" + EscapeXml(UpdateUrl) + "</UPDATEURL>\r\n";
    out += "  <WEBSITE>" + EscapeXml(Website) + "</WEBSITE>\r\n";
    out += "  <COPYRIGHT>" + EscapeXml(Copyright) + "</COPYRIGHT>\r\n";
    out += "  <DEFAULTUNIT>" + EscapeXml(DefaultUnit) + "</DEFAULTUNIT>\r\n";
    out += "  <PREFERREDBASE>" + EscapeXml(PreferredBase) + "</PREFERREDBASE>\r\n";
    out += "\r\n";
    for (const PrefItem* pair : Preferreds) out += WritePreferred(pair);
    for (const CurrencyItem* currency : Currencies) out += WriteCurrency(currency);
    out += "</CURRSOURCE>\r\n";

    const std::string path = GetFilePath();
    // A damaged file is kept before it is replaced; without that copy it
    // stays as it is.
    if (loadFailed_ && !backupKept_ && FileExists(path) && KeepBackup(path).empty()) {
        ShowMessage("Can't write file: " + path + ".bak");
        return;
    }
    if (!WriteFileAtomic(path, out, FileOwner::Program)) ShowMessage("Can't write file: " + path);
}

void CurrSource::AddCurrency(const std::string& name, const std::string& iso, long double value,
                             const std::string& date, bool perUnit, bool selected) {
    AppendCurrency(new CurrencyItem(name, iso, static_cast<double>(value), date, perUnit, selected));
}

void CurrSource::AppendCurrency(CurrencyItem* currency) {
    Currencies.push_back(currency);
    // The index keeps the first currency of each name; a later one of the
    // same name does not replace it.
    if (indexValid_) byName_.emplace(currency->GetName(), currency);
}

void CurrSource::RebuildIndex() const {
    byName_.clear();
    byName_.reserve(Currencies.size());
    for (CurrencyItem* c : Currencies) byName_.emplace(c->GetName(), c);
    indexValid_ = true;
}

CurrencyItem* CurrSource::FindCurrency(const std::string& name) const {
    // Names are kept cut to their field, so the text looked for is cut alike.
    // Found through an index: a page of many rows merges in linear time.
    if (!indexValid_) RebuildIndex();
    auto it = byName_.find(CutCharacters(name, CurrencyNameLength));
    return it == byName_.end() ? nullptr : it->second;
}

void CurrSource::MergeCurrency(CurrencyItem* currency) {
    CurrencyItem* existing = FindCurrency(currency->GetName());
    if (!existing) {
        AppendCurrency(currency);
        return;
    }
    existing->SetValue(currency->Value);
    existing->SetPerUnit(currency->IsPerUnit());
    existing->SetDate(currency->GetDate());
    delete currency;
}

void CurrSource::ReplaceCurrency(CurrencyItem* existing, CurrencyItem* replacement) {
    if (!existing) {
        AppendCurrency(replacement);
        return;
    }
    *existing = *replacement;
    delete replacement;
    indexValid_ = false;  // the name may have changed
}

void CurrSource::RemoveCurrency(CurrencyItem* currency) {
    if (!currency) return;
    auto it = std::find(Currencies.begin(), Currencies.end(), currency);
    if (it == Currencies.end()) return;
    Currencies.erase(it);
    indexValid_ = false;
    // A pair left pointing at a deleted currency would dangle.
    for (auto p = Preferreds.begin(); p != Preferreds.end();) {
        if ((*p)->GetFirst() == currency || (*p)->GetSecond() == currency) {
            delete *p;
            p = Preferreds.erase(p);
        } else {
            ++p;
        }
    }
    delete currency;
}

void CurrSource::AddPreferred(const std::string& name, CurrencyItem* first, CurrencyItem* second) {
    if (first && second) Preferreds.push_back(new PrefItem(name, first, second));
}

PrefItem* CurrSource::FindPreferred(const std::string& name) const {
    const std::string key = CutCharacters(name, PrefNameLength);
    for (PrefItem* p : Preferreds)
        if (key == p->GetName()) return p;
    return nullptr;
}

void CurrSource::RemovePreferred(const std::string& name) {
    const std::string key = CutCharacters(name, PrefNameLength);
    for (auto p = Preferreds.begin(); p != Preferreds.end(); ++p) {
        if (key == (*p)->GetName()) {
            delete *p;
            Preferreds.erase(p);
            return;
        }
    }
}

// ---------------------------------------------------------------- amounts

long double CurrSource::Convert(const CurrencyItem* from, long double amount, const CurrencyItem* to) const {
    if (amount == 0 || !from || !to) return 0;
    const long double target = to->GetValue();
    if (target == 0) return 0;
    const long double source = from->GetValue();
    long double reference;
    if (from->IsPerUnit()) reference = source == 0 ? 0 : amount / source;
    else reference = amount * source;
    long double result = to->IsPerUnit() ? reference * target : reference / target;
    return std::isfinite(result) ? result : 0;  // an overflow yields 0, as any failure here
}

long double CurrSource::ParseNumber(const std::string& text) const {
    if (text.empty()) return 0;
    const Settings* settings = NumberSettings();
    if (!settings) return 0;
    const char sys = SystemDecimalSeparator();
    std::string s = text;
    // With equal separators the character can only be meant as the decimal one.
    if (settings->ThousandSeparator != settings->DecimalSeparator)
        s.erase(std::remove(s.begin(), s.end(), settings->ThousandSeparator), s.end());
    if (settings->DecimalSeparator != sys) {
        size_t at = s.rfind(settings->DecimalSeparator);
        if (at != std::string::npos) s[at] = sys;
    }
    long double value;
    return TryStrToFloat(s, value) ? value : 0;
}

std::string CurrSource::LocalizeNumber(const std::string& text) const {
    const Settings* settings = NumberSettings();
    if (!settings) return text;
    std::string s = text;
    const char sys = SystemDecimalSeparator();
    if (settings->DecimalSeparator != sys) {
        size_t at = s.rfind(sys);
        if (at != std::string::npos) s[at] = settings->DecimalSeparator;
    }
    // An exponent text ("1E20") has no integer digits to group.
    if (settings->useThousand && s.find('E') == std::string::npos) {
        size_t sep = s.find(settings->DecimalSeparator);
        long p = sep == std::string::npos ? static_cast<long>(s.size()) + 1 : static_cast<long>(sep) + 1;
        long firstDigit = !s.empty() && s[0] == '-' ? 2 : 1;
        for (long n = p - 3; n > firstDigit; n -= 3)
            s.insert(static_cast<size_t>(n - 1), 1, settings->ThousandSeparator);
    }
    return s;
}

std::string CurrSource::ConvertText(const std::string& amountText, const CurrencyItem* from,
                                    const CurrencyItem* to) const {
    if (!from || !to) return std::string();
    const Settings* settings = NumberSettings();
    if (!settings) return std::string();
    int decimals = std::clamp(settings->Decimals, 0, 18);
    long double amount = ParseNumber(amountText);
    if (amount == 0) return "0";
    return LocalizeNumber(FloatToStrFixed(Convert(from, amount, to), 18, decimals));
}
