// A rate source: the texts of one rate service, its currencies with their
// rates and the user's named pairs, loaded from the source's XML data file at
// construction and written back when the source is destroyed. Updates of the
// rates are started by the update code (update/sourceupdate.h).
#pragma once

#include "currency/currencyitem.h"
#include "currency/listiterator.h"
#include "currency/prefitem.h"

#include <string>
#include <unordered_map>
#include <vector>

class XMLNode;

class CurrSource {
public:
    virtual ~CurrSource();
    CurrSource(const CurrSource&) = delete;
    CurrSource& operator=(const CurrSource&) = delete;

    virtual void AddLinkedCurrencies() {}

    std::string GetFilePath() const;

    void AddCurrency(const std::string& name, const std::string& iso, long double value, const std::string& date,
                     bool perUnit, bool selected);
    void AppendCurrency(CurrencyItem* currency);
    CurrencyItem* FindCurrency(const std::string& name) const;
    void MergeCurrency(CurrencyItem* currency);
    void ReplaceCurrency(CurrencyItem* existing, CurrencyItem* replacement);
    // Also removes the pairs that use the currency.
    void RemoveCurrency(CurrencyItem* currency);
    CurrItr GetCurrencies() const { return CurrItr(Currencies); }

    void AddPreferred(const std::string& name, CurrencyItem* first, CurrencyItem* second);
    PrefItem* FindPreferred(const std::string& name) const;
    void RemovePreferred(const std::string& name);
    PrefItr GetPreferreds() const { return PrefItr(Preferreds); }

    std::string GetName() const { return Name; }
    std::string GetHost() const { return Host; }
    std::string GetUpdateUrl() const { return UpdateUrl; }
    std::string GetWebsite() const { return Website; }
    std::string GetCopyright() const { return Copyright; }
    std::string GetDefaultUnit() const { return DefaultUnit; }
    std::string GetPreferredBase() const { return PreferredBase; }
    std::string GetUpdateAddress() const { return Host + UpdateUrl; }
    void SetPreferredBase(const std::string& base) { PreferredBase = base; }

    // Amounts: converting through the reference unit, and amount texts in the
    // user's separators and decimals. None of them shows a message.
    long double Convert(const CurrencyItem* from, long double amount, const CurrencyItem* to) const;
    long double ParseNumber(const std::string& text) const;
    std::string LocalizeNumber(const std::string& text) const;
    std::string ConvertText(const std::string& amount, const CurrencyItem* from, const CurrencyItem* to) const;

    static std::string EscapeXml(const std::string& text);
    // Replaces every exact match of pattern; replacements are not scanned again.
    static std::string ReplaceAll(const std::string& text, const std::string& pattern,
                                  const std::string& replacement);

protected:
    CurrSource() = default;
    void Load(const std::string& fileName);

    std::string Name;
    std::string Host;
    std::string UpdateUrl;
    std::string Website;
    std::string Copyright;
    std::string FileName;
    std::string DefaultUnit;
    std::string PreferredBase;
    std::vector<CurrencyItem*> Currencies;
    std::vector<PrefItem*> Preferreds;

private:
    void ReadSource(XMLNode* source);
    void Save();
    static std::string WriteCurrency(const CurrencyItem* currency);
    static std::string WritePreferred(const PrefItem* pair);
    void DeleteItems();
    void RebuildIndex() const;
    mutable std::unordered_map<std::string, CurrencyItem*> byName_;
    mutable bool indexValid_ = false;
    // The data file existed but was damaged: a copy is kept before it is
    // first written over (made at loading when it can be).
    bool loadFailed_ = false;
    bool backupKept_ = false;
    bool unreadable_ = false;
};
