// One element of a parsed file: its name, raw inner text and raw attributes.
#pragma once

#include <map>
#include <memory>
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
    void AddAttribute(std::string_view name, std::string_view value);
    // The raw value, or "" when the element has no such attribute.
    std::string GetAttribute(std::string_view name) const;
    bool HasAttribute(std::string_view name) const;
    size_t AttributeCount() const { return attributes_ ? attributes_->size() : 0; }

    // The element name as written.
    std::string_view Name;
    // Everything between the opening and the closing tag, undecoded.
    std::string_view Value;

private:
    // By name; made for the few elements that have attributes.
    std::unique_ptr<std::map<std::string, std::string, std::less<>>> attributes_;
};
