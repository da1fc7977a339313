// Watching the list controls a test fills: their texts, and how often rows
// went into them.
#pragma once

#include "platform/stdctrls.h"

#include <string>
#include <vector>

// The texts of a list, in their order.
std::vector<std::string> Entries(TStrings* items);

// Counts from now on the insertions into a combo or list box.
class Insertions {
public:
    explicit Insertions(TWinControl* list);
    Insertions(const Insertions&) = delete;
    Insertions& operator=(const Insertions&) = delete;
    TWinControl* const list;
    int times = 0;
    int rows = 0;
};

// The watched list took `names` in one insertion, all and only them, in the
// order of a sorted list (letter case ignored).
void ExpectFilledOnce(const Insertions& watched, const std::vector<std::string>& names, const std::string& what = "");
