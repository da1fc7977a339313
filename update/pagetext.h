// A page and one lower-cased copy of it, searched by offsets: markers are
// found ignoring letter case, texts are cut out with the page's own case, and
// no search copies the page, so a large page is decoded in linear time.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

class PageText {
public:
    explicit PageText(const std::string& text);
    const std::string& Text() const { return text_; }
    size_t Size() const { return text_.size(); }
    // Where lowerMarker (lower case already) first lies wholly inside
    // [from, to); npos when it does not, or when it is empty.
    size_t Find(const std::string& lowerMarker, size_t from, size_t to) const;
    std::string Cut(size_t from, size_t to) const { return text_.substr(from, to - from); }

private:
    const std::string& text_;
    std::string lower_;
};

// A stretch [b, e) of a page with positions counted from 1, as the decoders'
// rules count them: Pos is 0 for a marker that is not there, and Sub is empty
// for a start before 1 or past the end, or a negative length.
struct PageWindow {
    const PageText* page;
    size_t b, e;

    long long Length() const { return static_cast<long long>(e - b); }
    long long Pos(const std::string& lowerMarker) const {
        size_t at = page->Find(lowerMarker, b, e);
        return at == std::string::npos ? 0 : static_cast<long long>(at - b) + 1;
    }
    PageWindow Sub(long long p, long long n) const {
        if (p < 1 || p > Length() || n < 0) return {page, e, e};
        size_t start = b + static_cast<size_t>(p - 1);
        size_t length = static_cast<size_t>(std::min(n, Length() - p + 1));
        return {page, start, start + length};
    }
    PageWindow From(long long p) const { return Sub(p, Length()); }
    PageWindow Empty() const { return {page, e, e}; }
    std::string Str() const { return page->Cut(b, e); }
};
