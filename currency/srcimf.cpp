#include "currency/srcimf.h"

#include <cmath>
#include <iterator>
#include <limits>

namespace {
struct LinkedCurrency {
    const char* name;
    double perEuro;
};
// Fixed conversion rates of the currencies the euro replaced.
constexpr LinkedCurrency Linked[] = {
    {"Austrian Schilling", 13.7603}, {"Belgian Franc", 40.3399},   {"German Mark", 1.95583},
    {"Spanish Peseta", 166.386},     {"Finnish Markka", 5.94573},  {"French Franc", 6.55957},
    {"Irish Pound", 0.787564},       {"Italian Lira", 1936.27},    {"Luxembourg Franc", 40.3399},
    {"Dutch Guilder", 2.20371},      {"Portuguese Escudo", 200.482},
};
}  // namespace

Imf::Imf() {
    Load("\\data\\IMF.XML");
    AddLinkedCurrencies();
}

// The decoder goes before the base writes the data file.
Imf::~Imf() = default;

void Imf::AddLinkedCurrencies() {
    const CurrencyItem* euro = FindCurrency("Euro");
    if (!euro) return;
    long double eurosPerReference = euro->IsPerUnit() ? euro->GetValue() : 1.0L / euro->GetValue();
    // A euro without a usable rate leaves the linked currencies as they are.
    if (!std::isfinite(eurosPerReference)) return;
    // All eleven or none: a rate out of range anywhere keeps the old ones.
    long double values[std::size(Linked)];
    for (size_t i = 0; i < std::size(Linked); ++i) {
        values[i] = Linked[i].perEuro * eurosPerReference;
        if (!std::isfinite(values[i]) || std::fabs(values[i]) > std::numeric_limits<double>::max()) return;
    }
    for (size_t i = 0; i < std::size(Linked); ++i)
        MergeCurrency(new CurrencyItem(Linked[i].name, "", static_cast<double>(values[i]), "Euro Linked", true, false));
}
