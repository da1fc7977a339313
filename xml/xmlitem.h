// One element of a parsed file: its name, raw inner text and raw attributes.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>

class XMLItem {
public:
    XMLItem(std::string name, std::string_view value) : Name(std::move(name)), Value(value) {}
    ~XMLItem() = default;
    // The first value of a name stays.
    void AddAttribute(const std::string& name, const std::string& value) { Attributes.emplace(name, value); }
    // The raw value, or "" when the element has no such attribute.
    std::string GetAttribute(const std::string& name) const;

    std::string Name;
    // Everything between the opening and the closing tag, undecoded. It points
    // into the text the parser keeps, so it lives as long as the parser's tree.
    std::string_view Value;
    std::map<std::string, std::string> Attributes;
};
