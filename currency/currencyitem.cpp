#include "currency/currencyitem.h"

#include "platform/sysutils.h"

CurrencyItem::CurrencyItem(const char* name, const char* iso, double value, const char* date, bool perUnit,
                           bool selected)
    : PerUnit(perUnit), Selected(selected), Value(value) {
    CopyToField(Name, sizeof Name, name);
    CopyToField(Iso, sizeof Iso, iso);
    CopyToField(Date, sizeof Date, date);
}

void CurrencyItem::SetDate(const char* date) { CopyToField(Date, sizeof Date, date); }
