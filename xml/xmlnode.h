// A node of the parsed tree. Each node has its own walk state, so the children
// of one node can be walked while those children are queried.
//
// Nodes are made by their parser when a query first reaches them and live as
// long as the parser; until then an element is only a small entry in the
// parser's list, so a file of millions of tags costs little more than its
// text.
#pragma once

#include "xml/xmlitem.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class XMLParser;

class XMLNode {
    // Only the parser makes nodes.
    class Key {
        friend class XMLParser;
        Key() = default;
    };

public:
    XMLNode(Key, XMLParser* parser, uint32_t element, XMLNode* parent, XMLItem item)
        : parser_(parser), parent_(parent), element_(element), item_(std::move(item)) {}
    XMLNode(const XMLNode&) = delete;
    XMLNode& operator=(const XMLNode&) = delete;

    XMLNode* FindFirst(std::string_view name);
    XMLNode* FindNext();
    std::string GetChildValue(std::string_view name) const;
    // The child's value with the four escapes that the package's own writers
    // use undone in one pass, so what they wrote reads back unchanged: an
    // escaped "&lt;" gives "&lt;", where GetChildValue's chained decoding
    // gives "<".
    std::string GetChildText(std::string_view name) const;
    XMLItem* FindChildItem(std::string_view name) const;

    XMLNode* GetParent() const { return parent_; }
    XMLItem* GetItem() { return &item_; }
    const XMLItem* GetItem() const { return &item_; }
    // Every child, in the order of the text.
    const std::vector<XMLNode*>& GetChildren() const;

    static std::string DecodeEntities(std::string_view text);
    // "&amp;", "&quot;", "&lt;" and "&gt;" (in any letter case) replaced in
    // one pass; nothing replaced is looked at again.
    static std::string Unescape(std::string_view text);
    // Replaces every match of pattern, found ignoring letter case.
    static std::string ReplaceAll(std::string_view text, const std::string& pattern,
                                  const std::string& replacement);

private:
    friend class XMLParser;
    static constexpr uint32_t None = UINT32_MAX;
    // The first child element of that name, or the parser's "none".
    uint32_t FindChild(std::string_view name) const;

    XMLParser* parser_;
    XMLNode* parent_;
    uint32_t element_;  // this node's entry in the parser's list
    // The child the walk stands on, always one of the searched name (so the
    // name searched is that child's), or the parser's "none" before the first
    // FindFirst and once the walk has reached the end.
    uint32_t cursor_ = None;
    XMLItem item_;
    mutable std::unique_ptr<std::vector<XMLNode*>> children_;  // listed at the first GetChildren
};
