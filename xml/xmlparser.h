// The package's own lenient XML reader: a whole file becomes a tree of named
// items with raw values. It finds an element's end by searching the text for
// "</" and the name, ignores text between tags, and reports malformed
// constructs with a message box. It never throws to its caller.
//
// The text is held once, by the parser; the items' values point into it. The
// closing tags are found through an index of the text, so any input is read
// in O(n log n) time and O(n) memory, however deep, unclosed or wide it is.
#pragma once

#include "xml/xmlnode.h"

#include <memory>
#include <set>
#include <string>
#include <string_view>

class XMLParser {
public:
    XMLParser();
    ~XMLParser();
    XMLParser(const XMLParser&) = delete;
    XMLParser& operator=(const XMLParser&) = delete;

    // Never null. A missing or unreadable file gives a root without children.
    XMLNode* Parse(const std::string& fileName);
    // Parses a text already in memory, as Parse does with a file's text.
    XMLNode* ParseText(std::string text);
    // True when the file existed but could not be read, or the parse stopped
    // at a malformed tag: the tree may be incomplete.
    bool Failed() const { return failed_; }
    // True when an opening tag found no closing tag, so what followed it was
    // read as its siblings.
    bool LeftUnclosed() const { return unclosed_; }
    // True when the reading brought a message about the text.
    bool Reported() const { return !shown_.empty(); }

    std::string FileName;
    XMLNode* Root = nullptr;

    static std::string ReadFile(const std::string& fileName, bool* unreadable = nullptr);
    static std::string JoinLines(std::string raw);
    static std::string GetTagName(const std::string& tag);
    static std::string_view TagName(std::string_view tag);
    static bool IsOpeningTag(const std::string& tag);
    static char FirstChar(const std::string& s) { return s.empty() ? '\0' : s.front(); }
    static char LastChar(const std::string& s) { return s.empty() ? '\0' : s.back(); }
    static void ParseAttributes(std::string_view tag, XMLItem* item);

private:
    class ClosingTags;
    void ParseContent(size_t from, size_t to, XMLNode* node, int depth);
    size_t FindClosingTag(std::string_view name, size_t from, size_t to);
    // Each text is shown once per read: a damaged file brings one box per
    // kind of fault, not one per bad tag.
    void Report(const std::string& text);

    std::string text_;
    std::unique_ptr<ClosingTags> closingTags_;
    size_t scanBudget_ = 0;  // bytes that plain searches for closing tags may still cover
    std::set<std::string> shown_;
    bool failed_ = false;
    bool unclosed_ = false;
};
