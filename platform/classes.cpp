#include "platform/classes.h"

#include "platform/sysutils.h"

#include <algorithm>

namespace {
bool LessText(const std::string& a, const std::string& b) { return CompareText(a, b) < 0; }
}  // namespace

void TStringList::Put(int index, const std::string& s) { items_.at(static_cast<size_t>(index)) = s; }

int TStringList::Add(const std::string& s) {
    if (sorted_) {
        auto at = std::upper_bound(items_.begin(), items_.end(), s, LessText);
        return static_cast<int>(items_.insert(at, s) - items_.begin());
    }
    items_.push_back(s);
    return Count() - 1;
}

void TStringList::Insert(int index, const std::string& s) {
    if (index < 0 || index > Count()) throw Exception("List index out of bounds (" + IntToStr(index) + ")");
    items_.insert(items_.begin() + index, s);
}

void TStringList::Delete(int index) {
    if (index < 0 || index >= Count()) throw Exception("List index out of bounds (" + IntToStr(index) + ")");
    items_.erase(items_.begin() + index);
}

int TStringList::IndexOf(const std::string& s) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (SameText(items_[i], s)) return static_cast<int>(i);
    return -1;
}

void TStringList::SetSorted(bool sorted) {
    if (sorted && !sorted_) std::stable_sort(items_.begin(), items_.end(), LessText);
    sorted_ = sorted;
}

std::string TStringList::Text() const {
    std::string out;
    for (const std::string& line : items_) {
        out += line;
        out += "\r\n";
    }
    return out;
}

void TStringList::SetText(const std::string& text) {
    items_.clear();
    size_t end = text.find('\0');
    if (end == std::string::npos) end = text.size();
    size_t i = 0;
    while (i < end) {
        size_t start = i;
        while (i < end && text[i] != '\r' && text[i] != '\n') ++i;
        std::string line = text.substr(start, i - start);
        if (sorted_) Add(line);
        else items_.push_back(line);
        if (i < end && text[i] == '\r') ++i;
        if (i < end && text[i] == '\n') ++i;
    }
}

void TStringList::LoadFromFile(const std::string& path) {
    std::string text;
    if (!ReadTextFile(path, text)) throw Exception("Cannot open file \"" + path + "\"");
    SetText(text);
}

void TStringList::SaveToFile(const std::string& path) const {
    if (!WriteFileAtomic(path, Text())) throw Exception("Cannot create file \"" + path + "\"");
}
