#include "xml/xmlparser.h"

#include "platform/dialogs.h"
#include "platform/sysutils.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string_view>
#include <vector>

namespace {
// Thrown inside the parser only: a tag with nothing to read ends the parse.
struct MalformedTag {};

// Deeper nesting than any file of ours holds is taken as malformed, so a
// hostile file cannot exhaust the stack.
constexpr int MaxDepth = 500;

// An element name never holds these, so the name of a closing tag can be
// taken to end at them.
bool EndsName(char c) { return c == '>' || c == ' ' || c == '/'; }
}  // namespace

// Every "</" of the text that a name follows, sorted by the text after it:
// the closing tags that begin with a name are then one run of the order,
// found by binary search, and the first of them at or after a position is
// the smallest position of that run still in the index. Positions behind the
// parse are dropped as it moves on (it only moves forward), and the smallest
// position of a run comes from the minima of blocks of 64 entries.
class XMLParser::ClosingTags {
public:
    ClosingTags(std::string_view text, size_t from) : text_(text), swept_(from) {
        auto each = [&](auto&& use) {
            for (size_t at = from; (at = text.find("</", at)) != std::string_view::npos; at += 2)
                if (at + 2 < text.size() && !EndsName(text[at + 2])) use(static_cast<uint32_t>(at));
        };
        size_t count = 0;
        each([&](uint32_t) { ++count; });
        sorted_.reserve(count);
        each([&](uint32_t at) { sorted_.push_back(at); });
        std::sort(sorted_.begin(), sorted_.end(), [this](uint32_t a, uint32_t b) { return Less(a, b); });
        alive_.assign((sorted_.size() + 63) / 64, ~uint64_t{0});
        if (!alive_.empty() && sorted_.size() % 64) alive_.back() = (uint64_t{1} << (sorted_.size() % 64)) - 1;
        leaves_ = 1;
        while (leaves_ < alive_.size()) leaves_ *= 2;
        tree_.assign(2 * leaves_, None);
        for (size_t b = 0; b < alive_.size(); ++b) tree_[leaves_ + b] = BlockMin(b);
        for (size_t k = leaves_ - 1; k > 0; --k) tree_[k] = std::min(tree_[2 * k], tree_[2 * k + 1]);
    }

    // The first "</" at or after `from` followed by the name, ending by `to`.
    // `from` never goes back between calls.
    size_t Find(std::string_view name, size_t from, size_t to) {
        SweepTo(from);
        auto lo = std::partition_point(sorted_.begin(), sorted_.end(),
                                       [&](uint32_t at) { return ComparePrefix(at, name) < 0; });
        auto hi = std::partition_point(lo, sorted_.end(), [&](uint32_t at) { return ComparePrefix(at, name) == 0; });
        const uint32_t first = MinAlive(static_cast<size_t>(lo - sorted_.begin()),
                                        static_cast<size_t>(hi - sorted_.begin()));
        if (first == None || first + 2 + name.size() > to) return std::string::npos;
        return first;
    }

private:
    static constexpr uint32_t None = std::numeric_limits<uint32_t>::max();

    // The name after the "</" at `a` against the one at `b`, byte by byte;
    // equal names in text order.
    bool Less(uint32_t a, uint32_t b) const {
        for (size_t i = a + 2, j = b + 2;; ++i, ++j) {
            const bool endA = i >= text_.size() || EndsName(text_[i]);
            const bool endB = j >= text_.size() || EndsName(text_[j]);
            if (endA || endB) return endA && endB ? a < b : endA;
            if (text_[i] != text_[j])
                return static_cast<unsigned char>(text_[i]) < static_cast<unsigned char>(text_[j]);
        }
    }

    // Below 0: the closing name sorts before every one that begins with the
    // name; 0: it begins with the name; above 0: it sorts after them.
    int ComparePrefix(uint32_t at, std::string_view name) const {
        for (size_t k = 0; k < name.size(); ++k) {
            const size_t i = at + 2 + k;
            if (i >= text_.size() || EndsName(text_[i])) return -1;
            const auto c = static_cast<unsigned char>(text_[i]), n = static_cast<unsigned char>(name[k]);
            if (c != n) return c < n ? -1 : 1;
        }
        return 0;
    }

    // Drops every position before `from`.
    void SweepTo(size_t from) {
        if (from <= swept_) return;
        // Only up to `from`: a search past it would be repeated by every call.
        const std::string_view behind = text_.substr(0, std::min(from + 1, text_.size()));
        for (size_t at = swept_; (at = behind.find("</", at)) != std::string_view::npos; at += 2) {
            if (at + 2 >= text_.size() || EndsName(text_[at + 2])) continue;
            const uint32_t pos = static_cast<uint32_t>(at);
            auto it = std::lower_bound(sorted_.begin(), sorted_.end(), pos,
                                       [this](uint32_t a, uint32_t b) { return Less(a, b); });
            if (it == sorted_.end() || *it != pos) continue;
            const size_t index = static_cast<size_t>(it - sorted_.begin()), block = index / 64;
            alive_[block] &= ~(uint64_t{1} << (index % 64));
            size_t k = leaves_ + block;
            tree_[k] = BlockMin(block);
            for (k /= 2; k > 0; k /= 2) tree_[k] = std::min(tree_[2 * k], tree_[2 * k + 1]);
        }
        swept_ = from;
    }

    uint32_t BlockMin(size_t block) const { return MinInBlock(block, alive_[block]); }

    uint32_t MinInBlock(size_t block, uint64_t bits) const {
        uint32_t least = None;
        for (; bits; bits &= bits - 1)
            least = std::min(least, sorted_[block * 64 + static_cast<size_t>(__builtin_ctzll(bits))]);
        return least;
    }

    // The smallest position still in the index among sorted_[lo, hi).
    uint32_t MinAlive(size_t lo, size_t hi) const {
        if (lo >= hi) return None;
        auto span = [](size_t from, size_t to) {  // bits from..to-1 of a block, 0 <= from < to <= 64
            const uint64_t upper = to == 64 ? ~uint64_t{0} : (uint64_t{1} << to) - 1;
            return upper & ~((uint64_t{1} << from) - 1);
        };
        const size_t first = lo / 64, last = (hi - 1) / 64;
        if (first == last) return MinInBlock(first, alive_[first] & span(lo % 64, (hi - 1) % 64 + 1));
        uint32_t least = std::min(MinInBlock(first, alive_[first] & span(lo % 64, 64)),
                                  MinInBlock(last, alive_[last] & span(0, (hi - 1) % 64 + 1)));
        for (size_t l = leaves_ + first + 1, r = leaves_ + last; l < r; l /= 2, r /= 2) {
            if (l & 1) least = std::min(least, tree_[l++]);
            if (r & 1) least = std::min(least, tree_[--r]);
        }
        return least;
    }

    std::string_view text_;
    size_t swept_;
    std::vector<uint32_t> sorted_;  // positions of "</", by the name that follows
    std::vector<uint64_t> alive_;   // per entry: still at or after the parse position
    std::vector<uint32_t> tree_;    // minima of the blocks, as a segment tree
    size_t leaves_ = 1;
};

std::string XMLParser::ReadFile(const std::string& fileName, bool* unreadable) {
    std::string raw;
    if (!FileExists(fileName) || !ReadTextFile(fileName, raw)) {
        if (unreadable) *unreadable = FileExists(fileName) || DirectoryExists(fileName);
        MessageDlg("Can't read file: " + fileName, mtError, {mbOK}, 0);
        return std::string();
    }
    return JoinLines(std::move(raw));
}

// The text as lines, each ended by CR LF: a line ends at CR, LF or CR LF, and
// a NUL ends the text. Files we wrote ourselves pass through unchanged; other
// texts are joined in place when their room allows, so a large file is not
// held twice.
std::string XMLParser::JoinLines(std::string raw) {
    const size_t n = raw.size();
    bool normal = n >= 2 && raw[n - 2] == '\r' && raw[n - 1] == '\n';
    for (size_t k = 0; normal && k < n; ++k) {
        char c = raw[k];
        if (c == '\0' || (c == '\r' && (k + 1 >= n || raw[k + 1] != '\n')) ||
            (c == '\n' && (k == 0 || raw[k - 1] != '\r')))
            normal = false;
    }
    if (normal || raw.empty()) return raw;
    size_t end = raw.find('\0');
    if (end == std::string::npos) end = n;
    // Every line break becomes CR LF, and a last line without one gets it,
    // so the text never gets shorter before its end.
    size_t length = 0;
    for (size_t i = 0; i < end; ++i) {
        if (raw[i] == '\r' && i + 1 < end && raw[i + 1] == '\n') ++i;
        length += raw[i] == '\r' || raw[i] == '\n' ? 2 : 1;
    }
    if (end > 0 && raw[end - 1] != '\r' && raw[end - 1] != '\n') length += 2;
    if (length > raw.capacity()) {
        std::string text;
        text.reserve(length);
        for (size_t i = 0; i < end; ++i) {
            if (raw[i] == '\r' && i + 1 < end && raw[i + 1] == '\n') ++i;
            if (raw[i] == '\r' || raw[i] == '\n') text += "\r\n";
            else text += raw[i];
        }
        if (text.size() < length) text += "\r\n";
        return text;
    }
    // From the back, where what is written never reaches what is still to
    // be read.
    if (length > n) raw.resize(length);
    size_t write = length, read = end;
    if (end > 0 && raw[end - 1] != '\r' && raw[end - 1] != '\n') {
        raw[--write] = '\n';
        raw[--write] = '\r';
    }
    while (read > 0) {
        const char c = raw[--read];
        if (c == '\r' || c == '\n') {
            if (c == '\n' && read > 0 && raw[read - 1] == '\r') --read;
            raw[--write] = '\n';
            raw[--write] = '\r';
        } else {
            raw[--write] = c;
        }
    }
    raw.resize(length);
    return raw;
}

XMLParser::XMLParser() = default;

XMLParser::~XMLParser() = default;

XMLNode* XMLParser::Parse(const std::string& fileName) {
    FileName = fileName;
    bool unreadable = false;
    std::string text = ReadFile(fileName, &unreadable);
    ParseText(std::move(text));
    unreadable_ = unreadable;
    if (unreadable) failed_ = true;
    return Root;
}

XMLNode* XMLParser::ParseText(std::string text) {
    Root = nullptr;
    made_.clear();
    nodes_.clear();
    elements_ = {};
    closingTags_.reset();
    shown_ = 0;
    failed_ = unclosed_ = unreadable_ = false;
    text_ = std::move(text);
    scanBudget_ = 4 * text_.size();
    if (text_.size() >= RootElement) {
        // Positions are kept in 32 bits; no file of ours comes near 4 GiB.
        failed_ = true;
        Report(ErrorInXml, {});
    } else if (!text_.empty()) {
        // Every element has a "<", a ">" and a character between them of its
        // own. Pages of the list that are never written are never taken from
        // the system either.
        elements_.reserve(std::min({static_cast<size_t>(std::count(text_.begin(), text_.end(), '<')),
                                    static_cast<size_t>(std::count(text_.begin(), text_.end(), '>')),
                                    text_.size() / 3}));
        try {
            ParseContent(0, text_.size(), 1);
        } catch (const MalformedTag&) {
            failed_ = true;
            Report(ErrorInXml, {});
        }
    }
    closingTags_.reset();  // only needed while parsing
    Root = &nodes_.emplace_back(XMLNode::Key{}, this, RootElement, nullptr, XMLItem({}, {}));
    return Root;
}

void XMLParser::Report(Message kind, std::string_view detail) {
    if (shown_ & kind) return;
    shown_ |= kind;
    ShowMessage(kind == ErrorInXml ? std::string("Error in XML!") : "Unknown tag-use: " + std::string(detail));
}

std::string XMLParser::GetTagName(const std::string& tag) { return std::string(TagName(tag)); }

std::string_view XMLParser::TagName(std::string_view tag) {
    size_t stop = tag.size();
    for (size_t k = 1; k < tag.size(); ++k) {
        if (tag[k] == ' ' || tag[k] == '>' || tag[k] == '/') {
            stop = k;
            break;
        }
    }
    std::string_view name = tag.substr(0, stop);
    if (stop == tag.size()) return name;
    while (!name.empty() && static_cast<unsigned char>(name.front()) <= ' ') name.remove_prefix(1);
    while (!name.empty() && static_cast<unsigned char>(name.back()) <= ' ') name.remove_suffix(1);
    return name;
}

bool XMLParser::IsOpeningTag(const std::string& tag) { return !(LastChar(tag) == '/' || FirstChar(tag) == '?'); }

void XMLParser::ParseAttributes(std::string_view tag, XMLItem* item) {
    // 0-based: `pos` is the index of the next character to look at; it starts
    // right after the name, as the 1-based position "length of the name"
    // stands on the name's last character.
    const size_t len = tag.size();
    size_t pos = TagName(tag).size();
    while (pos < len) {
        size_t start = pos;
        while (start < len && (tag[start] == ' ' || tag[start] == '"')) ++start;
        if (start >= len) break;
        size_t end = tag.find_first_of("=>?", start);
        if (end == std::string_view::npos) break;  // a name without a value ends the tag
        if (tag[end] != '=') {
            pos = end + 1;
            continue;
        }
        std::string name(tag.substr(start, end - start));
        size_t valueStart = end + 2;  // the character after "=" is taken as the opening quote
        if (valueStart > len) valueStart = len;
        size_t close = tag.find('"', valueStart);
        if (close == std::string_view::npos) close = len;  // no closing quote: the rest of the tag
        item->AddAttribute(name, std::string(tag.substr(valueStart, close - valueStart)));
        pos = close + 1;
    }
}

// The first "</" at or after `from` that the name follows, ending by `to`;
// npos when there is none. A closing tag whose name merely begins with the
// name matches too. Most elements close within a few tags, so those are
// looked at first; the index answers the rest.
size_t XMLParser::FindClosingTag(std::string_view name, size_t from, size_t to) {
    constexpr size_t NearBytes = 1024, NearTags = 32;
    const size_t near = std::min(to, from + NearBytes);
    size_t at = from, looked = 0;
    while (at < near && looked < NearTags) {
        const void* lt = std::memchr(text_.data() + at, '<', near - at);
        if (!lt) {
            at = near;
            break;
        }
        at = static_cast<size_t>(static_cast<const char*>(lt) - text_.data());
        ++looked;
        if (at + 1 < to && text_[at + 1] == '/') {
            if (at + 2 + name.size() > to) return std::string::npos;  // nothing later fits either
            if (text_.compare(at + 2, name.size(), name) == 0) return at;
        }
        ++at;
    }
    if (at >= near && near == to) return std::string::npos;  // looked all the way
    if (!closingTags_ && scanBudget_ > 0) {
        // A plain search, while all such searching stays within a few times
        // the text: most files never need the index, which costs a sort.
        const size_t limit = from + std::min(scanBudget_, to - from);
        const std::string_view ahead = std::string_view(text_).substr(0, limit);
        for (at = ahead.find("</", from); at != std::string_view::npos; at = ahead.find("</", at + 2)) {
            if (at + 2 + name.size() > to || text_.compare(at + 2, name.size(), name) == 0) {
                scanBudget_ -= at - from;
                return at + 2 + name.size() > to ? std::string::npos : at;
            }
        }
        scanBudget_ -= limit - from;
        if (limit == to) return std::string::npos;
    }
    if (!closingTags_) closingTags_ = std::make_unique<ClosingTags>(text_, from);
    return closingTags_->Find(name, from, to);
}

void XMLParser::ParseContent(size_t from, size_t to, int depth) {
    if (depth > MaxDepth) throw MalformedTag();
    const std::string_view all = std::string_view(text_).substr(0, to);
    size_t i = from;  // scan position - 1
    while (i + 1 < to) {
        size_t lt = all.find('<', i);
        if (lt == std::string_view::npos) return;
        size_t gt = all.find('>', lt + 1);
        if (gt == std::string_view::npos) throw MalformedTag();
        size_t begin = lt + 1, end = gt;
        while (begin < end && static_cast<unsigned char>(text_[begin]) <= ' ') ++begin;
        while (end > begin && static_cast<unsigned char>(text_[end - 1]) <= ' ') --end;
        i = gt + 1;
        if (begin == end) throw MalformedTag();
        const std::string_view tag = all.substr(begin, end - begin);
        switch (tag[0]) {
        case '!':
            continue;
        case '/':
            Report(ErrorInXml, {});
            continue;
        case '[':
            if (tag.substr(0, 7) != "[CDATA[") Report(UnknownTagUse, tag);
            continue;
        default:
            break;
        }
        size_t valueEnd = gt + 1;
        if (!(tag.back() == '/' || tag.front() == '?')) {  // an opening tag
            const size_t close = FindClosingTag(TagName(tag), gt + 1, to);
            if (close != std::string::npos) {
                valueEnd = close;
                i = close + 1;  // the closing tag is passed over as text
            } else {
                unclosed_ = true;  // what follows is read as its siblings
            }
        }
        elements_.push_back({static_cast<uint32_t>(begin), static_cast<uint32_t>(valueEnd)});
        if (valueEnd > gt + 1) ParseContent(gt + 1, valueEnd, depth + 1);
    }
}

uint32_t XMLParser::FirstChild(uint32_t parent) const {
    const size_t first = parent == RootElement ? 0 : size_t{parent} + 1;
    if (first >= elements_.size()) return None;
    // The next element is a child when it lies inside the parent's value.
    if (parent != RootElement && elements_[first].tag >= elements_[parent].end) return None;
    return static_cast<uint32_t>(first);
}

uint32_t XMLParser::NextSibling(uint32_t child, uint32_t parent) const {
    const uint32_t end = elements_[child].end;
    auto next = elements_.begin() + child + 1;
    if (next != elements_.end() && next->tag < end)  // past the child's descendants
        next = std::partition_point(next, elements_.end(), [end](const Element& e) { return e.tag < end; });
    if (next == elements_.end()) return None;
    if (parent != RootElement && next->tag >= elements_[parent].end) return None;
    return static_cast<uint32_t>(next - elements_.begin());
}

std::string_view XMLParser::TagOf(uint32_t element) const {
    const size_t begin = elements_[element].tag;
    size_t end = text_.find('>', begin);
    while (end > begin && static_cast<unsigned char>(text_[end - 1]) <= ' ') --end;
    return std::string_view(text_).substr(begin, end - begin);
}

// As TagName of the element's tag text, without looking further than the
// name.
std::string_view XMLParser::NameOf(uint32_t element) const {
    const size_t begin = elements_[element].tag;
    size_t stop = begin + 1;
    while (stop < text_.size() && !EndsName(text_[stop])) ++stop;
    while (stop > begin && static_cast<unsigned char>(text_[stop - 1]) <= ' ') --stop;
    return std::string_view(text_).substr(begin, stop - begin);
}

bool XMLParser::NameIs(uint32_t element, std::string_view name) const {
    // Names are never empty and lose their trailing blanks.
    if (name.empty() || static_cast<unsigned char>(name.back()) <= ' ') return false;
    const std::string_view rest = std::string_view(text_).substr(elements_[element].tag);
    if (rest.substr(0, name.size()) != name) return false;
    for (size_t k = 1; k < name.size(); ++k)
        if (EndsName(name[k])) return false;  // the element's name ended there
    for (size_t k = name.size(); k < rest.size(); ++k) {
        if (EndsName(rest[k])) return true;
        if (static_cast<unsigned char>(rest[k]) > ' ') return false;
    }
    return false;
}

std::string_view XMLParser::ValueOf(uint32_t element) const {
    const size_t from = text_.find('>', elements_[element].tag) + 1, end = elements_[element].end;
    return end > from ? std::string_view(text_).substr(from, end - from) : std::string_view();
}

XMLNode* XMLParser::NodeOf(uint32_t element, XMLNode* parent) {
    auto [made, fresh] = made_.try_emplace(element, nullptr);
    if (!fresh) return made->second;
    XMLItem item(NameOf(element), ValueOf(element));
    const std::string_view tag = TagOf(element);
    // Only a name ended by "=" makes an attribute.
    if (tag.find('=') != std::string_view::npos) ParseAttributes(tag, &item);
    made->second = &nodes_.emplace_back(XMLNode::Key{}, this, element, parent, std::move(item));
    return made->second;
}
