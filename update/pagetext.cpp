#include "update/pagetext.h"

#include "platform/sysutils.h"

PageText::PageText(const std::string& text) : text_(text), lower_(LowerCase(text)) {}

size_t PageText::Find(const std::string& lowerMarker, size_t from, size_t to) const {
    if (lowerMarker.empty() || to > lower_.size() || from > to || to - from < lowerMarker.size())
        return std::string::npos;
    size_t at = std::string_view(lower_).substr(from, to - from).find(lowerMarker);
    return at == std::string_view::npos ? std::string::npos : from + at;
}
