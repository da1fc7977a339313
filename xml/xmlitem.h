// One element of a parsed file: its name, raw inner text and raw attributes.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <type_traits>

class XMLItem {
public:
    // Name and value are views: the texts they point into must outlive the
    // item (the parser's text does, for every item of its tree).
    XMLItem(std::string_view name, std::string_view value) : Name(name), Value(value) {}
    // A temporary string would leave a view into freed memory.
    template <class A, class B>
        requires(std::is_same_v<std::remove_cvref_t<A>, std::string> && !std::is_lvalue_reference_v<A>) ||
                (std::is_same_v<std::remove_cvref_t<B>, std::string> && !std::is_lvalue_reference_v<B>)
    XMLItem(A&& name, B&& value) = delete;

    // The first value of a name stays.
    void AddAttribute(std::string_view name, std::string_view value) {
        Attributes.emplace(std::string(name), std::string(value));
    }
    // The raw value, or "" when the element has no such attribute.
    std::string GetAttribute(std::string_view name) const;

    // The element name as written.
    std::string_view Name;
    // Everything between the opening and the closing tag, undecoded.
    std::string_view Value;
    // An empty map holds no memory of its own.
    std::map<std::string, std::string, std::less<>> Attributes;
};
