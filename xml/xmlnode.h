// A node of the parsed tree. Each node has its own walk state, so the children
// of one node can be walked while those children are queried.
#pragma once

#include "xml/xmlitem.h"

#include <string>
#include <string_view>
#include <vector>

class XMLNode {
public:
    explicit XMLNode(XMLItem* item);
    virtual ~XMLNode();
    XMLNode(const XMLNode&) = delete;
    XMLNode& operator=(const XMLNode&) = delete;

    XMLNode* FindFirst(const std::string& name);
    XMLNode* FindNext();
    std::string GetChildValue(const std::string& name) const;
    // The child's value with the four escapes that the package's own writers
    // use undone in one pass, so what they wrote reads back unchanged: an
    // escaped "&lt;" gives "&lt;", where GetChildValue's chained decoding
    // gives "<".
    std::string GetChildText(const std::string& name) const;
    XMLItem* FindChildItem(const std::string& name) const;

    XMLNode* AddChild(XMLItem* item);
    XMLNode* GetParent() const { return Parent; }
    XMLItem* GetItem() const { return Item; }
    const std::vector<XMLNode*>& GetChildren() const { return Children; }

    static std::string DecodeEntities(std::string_view text);
    // "&amp;", "&quot;", "&lt;" and "&gt;" (in any letter case) replaced in
    // one pass; nothing replaced is looked at again.
    static std::string Unescape(std::string_view text);
    // Replaces every match of pattern, found ignoring letter case.
    static std::string ReplaceAll(std::string_view text, const std::string& pattern,
                                  const std::string& replacement);

    size_t Cursor = 0;
    std::string SearchName;
    XMLItem* Item;
    XMLNode* Parent = nullptr;
    std::vector<XMLNode*> Children;
};
