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
