#include "xml/xmlparser.h"

#include "platform/dialogs.h"
#include "platform/sysutils.h"

#include <string_view>

namespace {
// Thrown inside the parser only: a tag with nothing to read ends the parse.
struct MalformedTag {};

// Deeper nesting than any file of ours holds is taken as malformed, so a
// hostile file cannot exhaust the stack.
constexpr int MaxDepth = 500;
int depth = 0;

struct DepthGuard {
    DepthGuard() { ++depth; }
    ~DepthGuard() { --depth; }
};
}  // namespace

XMLParser::~XMLParser() { delete Root; }

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
// a NUL ends the text. Files we wrote ourselves pass through unchanged.
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
    std::string text;
    text.reserve(end + end / 16 + 2);
    size_t i = 0;
    while (i < end) {
        size_t brk = i;
        while (brk < end && raw[brk] != '\r' && raw[brk] != '\n') ++brk;
        text.append(raw, i, brk - i);
        text += "\r\n";
        i = brk;
        if (i < end && raw[i] == '\r') ++i;
        if (i < end && raw[i] == '\n') ++i;
    }
    return text;
}
XMLNode* XMLParser::Parse(const std::string& fileName) {
    FileName = fileName;
    bool unreadable = false;
    std::string text = ReadFile(fileName, &unreadable);
    if (unreadable) failed_ = true;
    return ParseText(text);
}

XMLNode* XMLParser::ParseText(const std::string& text) {
    delete Root;
    Root = new XMLNode(new XMLItem("", ""));
    if (!text.empty()) {
        try {
            ParseContent(text, Root);
        } catch (const MalformedTag&) {
            failed_ = true;
            ShowMessage("Error in XML!");
        }
    }
    return Root;
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

void XMLParser::ParseAttributes(const std::string& tag, XMLItem* item) {
    // 0-based: `pos` is the index of the next character to look at; it starts
    // right after the name, as the 1-based position "length of the name"
    // stands on the name's last character.
    const size_t len = tag.size();
    size_t pos = GetTagName(tag).size();
    while (pos < len) {
        size_t start = pos;
        while (start < len && (tag[start] == ' ' || tag[start] == '"')) ++start;
        if (start >= len) break;
        size_t end = tag.find_first_of("=>?", start);
        if (end == std::string::npos) break;  // a name without a value ends the tag
        if (tag[end] != '=') {
            pos = end + 1;
            continue;
        }
        std::string name = tag.substr(start, end - start);
        size_t valueStart = end + 2;  // the character after "=" is taken as the opening quote
        if (valueStart > len) valueStart = len;
        size_t close = tag.find('"', valueStart);
        if (close == std::string::npos) close = len;  // no closing quote: the rest of the tag
        item->AddAttribute(name, tag.substr(valueStart, close - valueStart));
        pos = close + 1;
    }
}

void XMLParser::ParseContent(const std::string& text, XMLNode* node) {
    DepthGuard guard;
    if (depth > MaxDepth) throw MalformedTag();
    const std::string_view all(text);
    size_t i = 0;  // scan position - 1
    while (i + 1 < all.size()) {
        size_t lt = all.find('<', i);
        if (lt == std::string_view::npos) return;
        size_t gt = all.find('>', lt + 1);
        if (gt == std::string_view::npos) throw MalformedTag();
        std::string_view tag = all.substr(lt + 1, gt - lt - 1);
        while (!tag.empty() && static_cast<unsigned char>(tag.front()) <= ' ') tag.remove_prefix(1);
        while (!tag.empty() && static_cast<unsigned char>(tag.back()) <= ' ') tag.remove_suffix(1);
        i = gt + 1;
        if (tag.empty()) throw MalformedTag();
        switch (tag[0]) {
        case '!':
            continue;
        case '/':
            ShowMessage("Error in XML!");
            continue;
        case '[':
            if (tag.substr(0, 7) != "[CDATA[") ShowMessage("Unknown tag-use: " + std::string(tag));
            continue;
        default:
            break;
        }
        const std::string_view name = TagName(tag);
        std::string value;
        if (!(tag.back() == '/' || tag.front() == '?')) {  // an opening tag
            // The first "</" followed by the name: a prefix match closes the element.
            for (size_t close = all.find("</", gt + 1); close != std::string_view::npos;
                 close = all.find("</", close + 2)) {
                if (all.compare(close + 2, name.size(), name) == 0) {
                    value.assign(all, gt + 1, close - gt - 1);
                    i = close + 1;
                    break;
                }
            }
        }
        XMLItem* item = new XMLItem(std::string(name), std::move(value));
        // Only a name ended by "=" makes an attribute.
        if (tag.find('=') != std::string_view::npos) ParseAttributes(std::string(tag), item);
        XMLNode* child = node->AddChild(item);
        if (!item->Value.empty()) ParseContent(item->Value, child);
    }
}
