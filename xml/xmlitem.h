// One element of a parsed file: its name, raw inner text and raw attributes.
#pragma once

#include <map>
#include <string>
#include <utility>

class XMLItem {
public:
    XMLItem(std::string name, std::string value) : Name(std::move(name)), Value(std::move(value)) {}
    ~XMLItem() = default;
    // The first value of a name stays.
    void AddAttribute(const std::string& name, const std::string& value) { Attributes.emplace(name, value); }
    // The raw value, or "" when the element has no such attribute.
    std::string GetAttribute(const std::string& name) const;

    std::string Name;
    std::string Value;  // everything between the opening and the closing tag, undecoded
    std::map<std::string, std::string> Attributes;
};
