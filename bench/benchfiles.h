// The files the benchmarks work on: temporary program folders, the shipped
// data files, and a Pacific rate file of many currencies, every one offered,
// written in no particular order of their names, with many named pairs.
#pragma once

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <stdlib.h>
#include <string>

namespace bench {
// A fresh temporary program folder holding an empty data/ folder; the caller removes it.
inline std::string TempProgramFolder(const char* prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
    const std::string folder = mkdtemp(pattern.data());
    std::filesystem::create_directory(folder + "/data");
    return folder;
}

// Copies the named files we ship in data/ into a program folder's data/.
inline void CopyShipped(const std::string& folder, std::initializer_list<const char*> names) {
    for (const char* name : names)
        std::filesystem::copy_file(std::string(TV_SOURCE_DIR) + "/data/" + name, folder + "/data/" + name);
}

// A name that sorts far from its neighbours in the file: six letters drawn
// from the number, then the number itself, which keeps every name unique.
inline std::string ScatteredName(const char* prefix, unsigned n) {
    unsigned k = n * 2654435761u;
    std::string name = prefix;
    for (int i = 0; i < 6; ++i, k /= 26) name += static_cast<char>((i == 0 ? 'A' : 'a') + k % 26);
    return name + " " + std::to_string(n);
}

inline void WriteLargeRateFile(const std::string& path, unsigned currencies, unsigned pairs) {
    std::ofstream out(path, std::ios::binary);
    out << "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<CURRSOURCE>\r\n  <NAME>Pacific</NAME>\r\n"
           "  <HOST>fx.sauder.ubc.ca</HOST>\r\n  <UPDATEURL>/today.html</UPDATEURL>\r\n"
           "  <WEBSITE>fx.sauder.ubc.ca</WEBSITE>\r\n  <COPYRIGHT>Bench</COPYRIGHT>\r\n"
           "  <DEFAULTUNIT>U.S. Dollar</DEFAULTUNIT>\r\n  <PREFERREDBASE>U.S. Dollar</PREFERREDBASE>\r\n\r\n";
    for (unsigned i = 0; i < pairs; ++i)
        out << "  <PREFERRED>\r\n    <NAME>" << ScatteredName("Pair ", i) << "</NAME>\r\n    <FIRST>U.S. Dollar</FIRST>\r\n"
            << "    <SECOND>" << ScatteredName("", (i * 7) % (currencies - 1)) << "</SECOND>\r\n  </PREFERRED>\r\n\r\n";
    out << "  <CURRENCY>\r\n    <NAME>U.S. Dollar</NAME>\r\n    <ISO>USD</ISO>\r\n    <DATE>2025/01/16</DATE>\r\n"
           "    <VALUE TYPE=\"PER_UNIT\">1</VALUE>\r\n    <SELECTED>YES</SELECTED>\r\n  </CURRENCY>\r\n\r\n";
    for (unsigned i = 0; i + 1 < currencies; ++i)
        out << "  <CURRENCY>\r\n    <NAME>" << ScatteredName("", i) << "</NAME>\r\n    <ISO>C" << i % 100
            << "</ISO>\r\n    <DATE>2025/01/16</DATE>\r\n    <VALUE TYPE=\"PER_UNIT\">" << 1.0 + (i % 9973) * 0.731
            << "</VALUE>\r\n    <SELECTED>YES</SELECTED>\r\n  </CURRENCY>\r\n\r\n";
    out << "</CURRSOURCE>\r\n";
}
}  // namespace bench
