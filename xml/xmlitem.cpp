#include "xml/xmlitem.h"

std::string XMLItem::GetAttribute(std::string_view name) const {
    auto it = Attributes.find(name);
    return it == Attributes.end() ? std::string() : it->second;
}
