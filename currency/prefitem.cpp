#include "currency/prefitem.h"

#include "platform/sysutils.h"

PrefItem::PrefItem(const char* name, CurrencyItem* first, CurrencyItem* second) : First(first), Second(second) {
    CopyToField(Name, sizeof Name, name);
}

void PrefItem::SetName(const char* name) { CopyToField(Name, sizeof Name, name); }
