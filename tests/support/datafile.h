// Builds rate data files in the exact layout the sources write.
#pragma once

#include <string>
#include <vector>

struct FileCurrency {
    std::string name, iso, date, value;
    bool perUnit;
    bool selected;
};

struct FilePair {
    std::string name, first, second;
};

std::string DataFileText(const std::vector<FileCurrency>& currencies, const std::vector<FilePair>& pairs,
                         const std::string& name = "Pacific", const std::string& base = "");

// Many currencies whose names come in no order and in mixed letter case (two
// differ only in case), every fifth not selected, after the default unit
// "U.S. Dollar"; and pairs of the default unit with some of them.
std::vector<FileCurrency> ScatteredCurrencies(int count);
std::vector<FilePair> ScatteredPairs(const std::vector<FileCurrency>& currencies, int count);
// The names of the selected (offered) currencies.
std::vector<std::string> OfferedNames(const std::vector<FileCurrency>& currencies);
