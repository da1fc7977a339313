// Walks a source's list in order; owns neither the list nor its elements.
#pragma once

#include "currency/currencyitem.h"
#include "currency/prefitem.h"

#include <vector>

template <typename T>
class ListIterator {
public:
    explicit ListIterator(const std::vector<T*>& list) : list_(&list) {}
    virtual ~ListIterator() = default;
    bool HasNext() const { return position_ < list_->size(); }
    T* Next() { return (*list_)[position_++]; }

private:
    const std::vector<T*>* list_;
    size_t position_ = 0;
};

using CurrItr = ListIterator<CurrencyItem>;
using PrefItr = ListIterator<PrefItem>;
