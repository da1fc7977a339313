// A named pair of two currencies of one source; the currencies are borrowed.
#pragma once

#include "currency/currencyitem.h"

#include <string>

constexpr size_t PrefNameLength = 31;  // characters

class PrefItem {
public:
    PrefItem(const char* name, CurrencyItem* first, CurrencyItem* second);
    PrefItem(const std::string& name, CurrencyItem* first, CurrencyItem* second)
        : PrefItem(name.c_str(), first, second) {}

    const char* GetName() const { return Name; }
    CurrencyItem* GetFirst() const { return First; }
    CurrencyItem* GetSecond() const { return Second; }
    void SetName(const char* name);
    void SetName(const std::string& name) { SetName(name.c_str()); }
    void SetFirst(CurrencyItem* currency) { First = currency; }
    void SetSecond(CurrencyItem* currency) { Second = currency; }

    char Name[FieldSize(PrefNameLength)];
    CurrencyItem* First;
    CurrencyItem* Second;
};
