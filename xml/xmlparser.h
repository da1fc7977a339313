// The package's own lenient XML reader: a whole file becomes a tree of named
// items with raw values. It finds an element's end by searching the text for
// "</" and the name, ignores text between tags, and reports malformed
// constructs with a message box. It never throws to its caller.
#pragma once

#include "xml/xmlnode.h"

#include <string>
#include <string_view>

class XMLParser {
public:
    XMLParser() = default;
    ~XMLParser();
    XMLParser(const XMLParser&) = delete;
    XMLParser& operator=(const XMLParser&) = delete;

    // Never null. A missing or unreadable file gives a root without children.
    XMLNode* Parse(const std::string& fileName);
    // Parses a text already in memory, as Parse does with a file's text.
    XMLNode* ParseText(const std::string& text);
    // True when the file existed but could not be read, or the parse stopped
    // at a malformed tag: the tree may be incomplete.
    bool Failed() const { return failed_; }

    std::string FileName;
    XMLNode* Root = nullptr;

    static std::string ReadFile(const std::string& fileName, bool* unreadable = nullptr);
    static std::string JoinLines(std::string raw);
    static std::string GetTagName(const std::string& tag);
    static std::string_view TagName(std::string_view tag);
    static bool IsOpeningTag(const std::string& tag);
    static char FirstChar(const std::string& s) { return s.empty() ? '\0' : s.front(); }
    static char LastChar(const std::string& s) { return s.empty() ? '\0' : s.back(); }
    static void ParseAttributes(const std::string& tag, XMLItem* item);

private:
    void ParseContent(const std::string& text, XMLNode* node);
    bool failed_ = false;
};
