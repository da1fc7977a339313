#include "xml/xmlnode.h"

#include "platform/sysutils.h"
#include "xml/xmlparser.h"

#include <utility>

uint32_t XMLNode::FindChild(std::string_view name) const {
    for (uint32_t c = parser_->FirstChild(element_); c != None; c = parser_->NextSibling(c, element_))
        if (parser_->NameIs(c, name)) return c;
    return None;
}

XMLNode* XMLNode::FindFirst(std::string_view name) {
    cursor_ = FindChild(name);
    return cursor_ == None ? nullptr : parser_->NodeOf(cursor_, this);
}

XMLNode* XMLNode::FindNext() {
    if (cursor_ == None) return nullptr;
    const std::string_view name = parser_->NameOf(cursor_);
    for (uint32_t c = parser_->NextSibling(cursor_, element_); c != None; c = parser_->NextSibling(c, element_)) {
        if (parser_->NameIs(c, name)) {
            cursor_ = c;
            return parser_->NodeOf(c, this);
        }
    }
    cursor_ = None;
    return nullptr;
}

XMLItem* XMLNode::FindChildItem(std::string_view name) const {
    const uint32_t c = FindChild(name);
    return c == None ? nullptr : parser_->NodeOf(c, const_cast<XMLNode*>(this))->GetItem();
}

std::string XMLNode::GetChildValue(std::string_view name) const {
    const uint32_t c = FindChild(name);
    return c == None ? std::string() : DecodeEntities(parser_->ValueOf(c));
}

std::string XMLNode::GetChildText(std::string_view name) const {
    const uint32_t c = FindChild(name);
    return c == None ? std::string() : Unescape(parser_->ValueOf(c));
}

const std::vector<XMLNode*>& XMLNode::GetChildren() const {
    if (!children_) {
        children_ = std::make_unique<std::vector<XMLNode*>>();
        for (uint32_t c = parser_->FirstChild(element_); c != None; c = parser_->NextSibling(c, element_))
            children_->push_back(parser_->NodeOf(c, const_cast<XMLNode*>(this)));
    }
    return *children_;
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
