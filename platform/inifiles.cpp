#include "platform/inifiles.h"

#include "platform/sysutils.h"

namespace {
bool IsSectionLine(const std::string& line, std::string* name) {
    std::string t = Trim(line);
    if (t.size() < 2 || t[0] != '[') return false;
    size_t close = t.find(']');
    if (close == std::string::npos) return false;
    if (name) *name = Trim(t.substr(1, close - 1));
    return true;
}

bool IsCommentLine(const std::string& line) {
    std::string t = TrimLeft(line);
    return !t.empty() && t[0] == ';';
}

// Splits "key=value"; false for lines that hold no key.
bool SplitKey(const std::string& line, std::string& key, std::string& value) {
    if (IsCommentLine(line)) return false;
    size_t eq = line.find('=');
    if (eq == std::string::npos) return false;
    key = Trim(line.substr(0, eq));
    value = Trim(line.substr(eq + 1));
    return !key.empty();
}

std::string Unquote(const std::string& v) {
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) return v.substr(1, v.size() - 2);
    return v;
}

// Quotes a value whose blanks or quotes would otherwise be lost on reading.
std::string QuoteForWrite(const std::string& v) {
    if (v.empty()) return v;
    bool edgeBlank = Trim(v) != v;
    bool quoted = v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0];
    return edgeBlank || quoted ? "\"" + v + "\"" : v;
}
}  // namespace

TIniFile::TIniFile(const std::string& fileName) : fileName_(fileName) {
    std::string text;
    if (ReadTextFile(fileName_, text)) lines_.SetText(text);
}

int TIniFile::FindSection(const std::string& section) const {
    std::string name;
    for (int i = 0; i < lines_.Count(); ++i)
        if (IsSectionLine(lines_[i], &name) && SameText(name, section)) return i;
    return -1;
}

int TIniFile::SectionEnd(int header) const {
    int i = header + 1;
    while (i < lines_.Count() && !IsSectionLine(lines_[i], nullptr)) ++i;
    return i;
}

int TIniFile::FindKey(int header, const std::string& ident) const {
    if (header < 0) return -1;
    int end = SectionEnd(header);
    std::string key, value;
    for (int i = header + 1; i < end; ++i)
        if (SplitKey(lines_[i], key, value) && SameText(key, ident)) return i;
    return -1;
}

bool TIniFile::SectionExists(const std::string& section) const { return FindSection(section) >= 0; }

bool TIniFile::ValueExists(const std::string& section, const std::string& ident) const {
    return FindKey(FindSection(section), ident) >= 0;
}

void TIniFile::ReadSection(const std::string& section, TStringList& idents) const {
    idents.Clear();
    int header = FindSection(section);
    if (header < 0) return;
    int end = SectionEnd(header);
    std::string key, value;
    for (int i = header + 1; i < end; ++i)
        if (SplitKey(lines_[i], key, value) && idents.IndexOf(key) < 0) idents.Add(key);
}

std::string TIniFile::ReadString(const std::string& section, const std::string& ident,
                                 const std::string& def) const {
    int line = FindKey(FindSection(section), ident);
    if (line < 0) return def;
    std::string key, value;
    SplitKey(lines_[line], key, value);
    return Unquote(value);
}

int TIniFile::ReadInteger(const std::string& section, const std::string& ident, int def) const {
    return StrToIntDef(ReadString(section, ident, ""), def);
}

bool TIniFile::ReadBool(const std::string& section, const std::string& ident, bool def) const {
    return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
    TStringList updated = lines_;
    // A value is one line: what followed a line break would be read back as
    // keys and sections of their own.
    std::string line = ident + "=" + QuoteForWrite(value.substr(0, value.find_first_of("\r\n")));
    int header = FindSection(section);
    if (header < 0) {
        updated.Add("[" + section + "]");
        updated.Add(line);
    } else if (int at = FindKey(header, ident); at >= 0) {
        updated.Put(at, line);
    } else {
        // After the section's last non-blank line, so blank separators stay below it.
        int end = SectionEnd(header);
        while (end > header + 1 && Trim(lines_[end - 1]).empty()) --end;
        updated.Insert(end, line);
    }
    if (autoFlush_ && !WriteFileAtomic(fileName_, updated.Text(), FileOwner::Program))
        throw Exception("Unable to write to " + fileName_);
    lines_ = updated;
}

void TIniFile::UpdateFile() {
    if (!WriteFileAtomic(fileName_, lines_.Text(), FileOwner::Program))
        throw Exception("Unable to write to " + fileName_);
}

void TIniFile::WriteInteger(const std::string& section, const std::string& ident, int value) {
    WriteString(section, ident, IntToStr(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& ident, bool value) {
    WriteString(section, ident, value ? "1" : "0");
}
