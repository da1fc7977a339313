// One currency of a source with its rate. The texts live in fixed fields, so
// a record copies whole; longer texts are cut on a character boundary.
#pragma once

#include <cstddef>
#include <string>

#ifdef TV_POCKETVANE
constexpr size_t CurrencyDateSize = 20;  // the tray program never shows dates
#else
constexpr size_t CurrencyDateSize = 50;
#endif
constexpr size_t CurrencyIsoSize = 5;
constexpr size_t CurrencyNameSize = 40;

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

    char Date[CurrencyDateSize];
    char Iso[CurrencyIsoSize];
    char Name[CurrencyNameSize];
    bool PerUnit;
    bool Selected;
    double Value;
};
