#include "xml/xmlnode.h"

#include "platform/sysutils.h"

#include <utility>

XMLNode::XMLNode(XMLItem* item) : Item(item) {}

XMLNode::~XMLNode() {
    for (XMLNode* child : Children) delete child;
    delete Item;
}

XMLNode* XMLNode::AddChild(XMLItem* item) {
    XMLNode* child = new XMLNode(item);
    child->Parent = this;
    Children.push_back(child);
    return child;
}

XMLNode* XMLNode::FindFirst(const std::string& name) {
    SearchName = name;
    for (Cursor = 0; Cursor < Children.size(); ++Cursor)
        if (Children[Cursor]->Item->Name == name) return Children[Cursor];
    return nullptr;
}

XMLNode* XMLNode::FindNext() {
    if (SearchName.empty()) return nullptr;
    if (Cursor < Children.size()) ++Cursor;
    for (; Cursor < Children.size(); ++Cursor)
        if (Children[Cursor]->Item->Name == SearchName) return Children[Cursor];
    return nullptr;
}

XMLItem* XMLNode::FindChildItem(const std::string& name) const {
    for (XMLNode* child : Children)
        if (child->Item->Name == name) return child->Item;
    return nullptr;
}

std::string XMLNode::GetChildValue(const std::string& name) const {
    XMLItem* item = FindChildItem(name);
    return item ? DecodeEntities(item->Value) : std::string();
}

std::string XMLNode::GetChildText(const std::string& name) const {
    XMLItem* item = FindChildItem(name);
    return item ? Unescape(item->Value) : std::string();
}

std::string XMLNode::Unescape(std::string_view text) {
    if (text.find('&') == std::string_view::npos) return std::string(text);
    static const std::pair<const char*, char> escapes[] = {
        {"&amp;", '&'}, {"&quot;", '"'}, {"&lt;", '<'}, {"&gt;", '>'}};
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        bool replaced = false;
        if (text[i] == '&') {
            for (const auto& [entity, character] : escapes) {
                const size_t n = std::char_traits<char>::length(entity);
                if (i + n <= text.size() && SameText(std::string(text.substr(i, n)), entity)) {
                    out += character;
                    i += n;
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) out += text[i++];
    }
    return out;
}

std::string XMLNode::ReplaceAll(std::string_view text, const std::string& pattern,
                                const std::string& replacement) {
    if (pattern.empty()) return std::string(text);
    const std::string upperText = UpperCase(std::string(text));
    const std::string upperPattern = UpperCase(pattern);
    std::string result;
    size_t from = 0;
    for (;;) {
        size_t at = upperText.find(upperPattern, from);
        if (at == std::string::npos) break;
        result.append(text, from, at - from);
        result += replacement;
        from = at + pattern.size();
    }
    result.append(text, from, std::string::npos);
    return result;
}

std::string XMLNode::DecodeEntities(std::string_view text) {
    if (text.find('&') == std::string_view::npos) return std::string(text);  // most values hold no entity
    std::string s = ReplaceAll(text, "&amp;", "&");
    s = ReplaceAll(s, "&quot;", "\"");
    s = ReplaceAll(s, "&lt;", "<");
    return ReplaceAll(s, "&gt;", ">");
}
