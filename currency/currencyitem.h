// One currency of a source with its rate. The texts live in fixed fields, so
// a record copies whole; longer texts are cut to the field's number of characters.
#pragma once

#include "platform/sysutils.h"

#include <cstddef>
#include <string>

// The most characters each text holds.
#ifdef TV_POCKETVANE
constexpr size_t CurrencyDateLength = 19;  // the tray program never shows dates
#else
constexpr size_t CurrencyDateLength = 49;
#endif
constexpr size_t CurrencyIsoLength = 4;
constexpr size_t CurrencyNameLength = 39;

class CurrencyItem {
public:
    // perUnit: value is units of this currency per reference unit; otherwise
    // reference units per unit of this currency.
    CurrencyItem(const char* name, const char* iso, double value, const char* date, bool perUnit,
                 bool selected);
    CurrencyItem(const std::string& name, const std::string& iso, double value, const std::string& date,
                 bool perUnit, bool selected)
        : CurrencyItem(name.c_str(), iso.c_str(), value, date.c_str(), perUnit, selected) {}

    const char* GetName() const { return Name; }
    const char* GetIso() const { return Iso; }
    const char* GetDate() const { return Date; }
    long double GetValue() const { return Value; }
    void SetValue(double value) { Value = value; }
    bool IsPerUnit() const { return PerUnit; }
    void SetPerUnit(bool perUnit) { PerUnit = perUnit; }
    bool IsSelected() const { return Selected; }
    void SetSelected(bool selected) { Selected = selected; }
    void SetDate(const char* date);
    void SetDate(const std::string& date) { SetDate(date.c_str()); }

    char Date[FieldSize(CurrencyDateLength)];
    char Iso[FieldSize(CurrencyIsoLength)];
    char Name[FieldSize(CurrencyNameLength)];
    bool PerUnit;
    bool Selected;
    double Value;
};
