// The user templates, read once from data/exportFilters.xml on first use, with
// one cursor over them that every caller shares.
#pragma once

#include <cstddef>
#include <vector>

class OutputFilterInfo;

class OutputFilterFactory {
public:
    // Loads the file on the first call. A file that exists but cannot be read
    // throws, and the next call tries again.
    static OutputFilterFactory* GetInstance();
    // Drops the loaded templates so the next GetInstance reads the file again,
    // as a new run of the program does. The program itself never calls it.
    static void Unload();

    void First();
    bool IsValid() const;
    bool Next();
    OutputFilterInfo* Current() const;

    virtual ~OutputFilterFactory();
    OutputFilterFactory(const OutputFilterFactory&) = delete;
    OutputFilterFactory& operator=(const OutputFilterFactory&) = delete;

private:
    OutputFilterFactory();
    std::vector<OutputFilterInfo*> Filters;
    size_t Cursor = 0;
};
