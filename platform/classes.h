// A list of texts with the operations our code uses. Lookups and the sorted
// order ignore letter case; line-based text uses CR LF.
#pragma once

#include <string>
#include <vector>

class TStringList {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    const std::string& operator[](int index) const { return items_.at(static_cast<size_t>(index)); }
    void Put(int index, const std::string& s);
    int Add(const std::string& s);  // sorted lists insert in order
    void Insert(int index, const std::string& s);
    void Delete(int index);
    void Clear() { items_.clear(); }
    int IndexOf(const std::string& s) const;  // -1 when absent

    void SetSorted(bool sorted);

    // Every line followed by CR LF.
    std::string Text() const;
    // Splits at CR, LF or CR LF; a NUL ends the text; a final line break adds no line.
    void SetText(const std::string& text);
    // Throws Exception when the file cannot be read or written.
    void LoadFromFile(const std::string& path);
    void SaveToFile(const std::string& path) const;

private:
    std::vector<std::string> items_;
    bool sorted_ = false;
};
