#include "xml/xmlitem.h"

std::string XMLItem::GetAttribute(const std::string& name) const {
    auto it = Attributes.find(name);
    return it == Attributes.end() ? std::string() : it->second;
}
