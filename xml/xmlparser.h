// The package's own lenient XML reader: a whole file becomes a tree of named
// items with raw values. It finds an element's end by searching the text for
// "</" and the name, ignores text between tags, and reports malformed
// constructs with a message box. It never throws to its caller.
//
// The text is held once, by the parser, and everything refers into it: the
// parse itself keeps eight bytes per element, and the nodes and items are
// made when a query reaches them. The closing tags are found through an
// index of the text, so any input is read in O(n log n) time and O(n) memory,
// however deep, unclosed, wide or dense in tags it is.
#pragma once

#include "xml/xmlnode.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class XMLParser {
public:
    XMLParser();
    ~XMLParser();
    XMLParser(const XMLParser&) = delete;
    XMLParser& operator=(const XMLParser&) = delete;

    // Never null. A missing or unreadable file gives a root without children.
    XMLNode* Parse(const std::string& fileName);
    // Parses a text already in memory, as Parse does with a file's text. A
    // tree read before is dropped.
    XMLNode* ParseText(std::string text);
    // True when the file existed but could not be read, or the parse stopped
    // at a malformed tag: the tree may be incomplete.
    bool Failed() const { return failed_; }
    // True when the file existed but could not be read at all.
    bool Unreadable() const { return unreadable_; }
    // True when an opening tag found no closing tag, so what followed it was
    // read as its siblings.
    bool LeftUnclosed() const { return unclosed_; }
    // True when the reading brought a message about the text.
    bool Reported() const { return shown_ != 0; }

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
    friend class XMLNode;
    class ClosingTags;
    // One element of the text: where its tag text begins (after "<" and any
    // blanks) and where its value ends; an element without a value "ends"
    // right after its tag. Elements are kept in the order of the text, each
    // followed by its descendants.
    struct Element {
        uint32_t tag;
        uint32_t end;
    };
    static constexpr uint32_t None = XMLNode::None;
    static constexpr uint32_t RootElement = None - 1;
    // The kinds of message; each is shown once per read, so a damaged file
    // brings at most one box of each kind, however many bad tags it holds.
    enum Message : unsigned { ErrorInXml = 1, UnknownTagUse = 2 };

    void ParseContent(size_t from, size_t to, int depth);
    size_t FindClosingTag(std::string_view name, size_t from, size_t to);
    void Report(Message kind, std::string_view detail);

    // The tree, read from the list of elements.
    uint32_t FirstChild(uint32_t parent) const;
    uint32_t NextSibling(uint32_t child, uint32_t parent) const;
    std::string_view TagOf(uint32_t element) const;
    std::string_view NameOf(uint32_t element) const;
    bool NameIs(uint32_t element, std::string_view name) const;
    std::string_view ValueOf(uint32_t element) const;
    // The element's node, made at its first use.
    XMLNode* NodeOf(uint32_t element, XMLNode* parent);

    std::string text_;
    std::vector<Element> elements_;
    std::unique_ptr<ClosingTags> closingTags_;
    size_t scanBudget_ = 0;  // bytes that plain searches for closing tags may still cover
    std::deque<XMLNode> nodes_;
    std::unordered_map<uint32_t, XMLNode*> made_;
    unsigned shown_ = 0;
    bool failed_ = false;
    bool unclosed_ = false;
    bool unreadable_ = false;
};
