// INI files written key by key: every other line, section and comment of the
// file stays as it was. Section and key names ignore letter case; values are
// trimmed and lose one pair of surrounding quotes.
#pragma once

#include "platform/classes.h"

#include <string>

class TIniFile {
public:
    explicit TIniFile(const std::string& fileName);

    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& ident) const;
    // The key names of a section, in file order.
    void ReadSection(const std::string& section, TStringList& idents) const;

    std::string ReadString(const std::string& section, const std::string& ident,
                           const std::string& def) const;
    int ReadInteger(const std::string& section, const std::string& ident, int def) const;
    bool ReadBool(const std::string& section, const std::string& ident, bool def) const;

    // Each write rewrites the file at once, unless the file is held back
    // with SetAutoFlush(false): then UpdateFile writes all changes in one
    // replacement, so a crash leaves either the old file or the new one.
    // Both throw Exception "Unable to write to <path>" when they cannot.
    void SetAutoFlush(bool autoFlush) { autoFlush_ = autoFlush; }
    void UpdateFile();
    // A value holding a line break is written up to its first one.
    void WriteString(const std::string& section, const std::string& ident, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& ident, int value);
    void WriteBool(const std::string& section, const std::string& ident, bool value);

private:
    int FindSection(const std::string& section) const;  // line index of the header or -1
    int SectionEnd(int header) const;                   // first line after the section
    int FindKey(int header, const std::string& ident) const;
    std::string fileName_;
    TStringList lines_;
    bool autoFlush_ = true;
};
