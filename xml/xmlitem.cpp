#include "xml/xmlitem.h"

void XMLItem::AddAttribute(std::string_view name, std::string_view value) {
    if (!attributes_) attributes_ = std::make_unique<std::map<std::string, std::string, std::less<>>>();
    attributes_->emplace(std::string(name), std::string(value));
}

std::string XMLItem::GetAttribute(std::string_view name) const {
    if (!attributes_) return std::string();
    auto it = attributes_->find(name);
    return it == attributes_->end() ? std::string() : it->second;
}

bool XMLItem::HasAttribute(std::string_view name) const { return attributes_ && attributes_->count(name); }
