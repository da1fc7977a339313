#include "update/currsourceupdate.h"

#include "platform/forms.h"
#include "platform/sysutils.h"
#include "update/fetcher.h"
#include "update/updatewin.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>

CurrSourceUpdate::~CurrSourceUpdate() { delete Form; }

void CurrSourceUpdate::Update(Fetcher* fetcher) {
    if (!fetcher) return;
    Form = new TUpdateForm(Application);
    Form->BeginReading();
    fetcher->Fetch(this);
}

void CurrSourceUpdate::FetchFailed(const std::string& message) {
    if (!Form) return;
    Form->EndReading(false);
    Form->SetStatus(message);
    Form = nullptr;  // the user closes it; it frees itself then
}

void CurrSourceUpdate::FetchCutOff() {
    delete Form;
    Form = nullptr;
}

void CurrSourceUpdate::DocumentFetched(const std::string& page) {
    if (!page.empty() && Form) {
        Form->EndReading(true);
        Form->BeginDecoding();
        bool failed = true;
        std::string message;
        try {
            Decode(page);
            failed = false;
        } catch (const std::string& text) {
            message = text;
        } catch (const std::exception& e) {
            message = e.what();
        } catch (...) {
        }
        if (failed) {
            Form->EndDecoding(false);
            if (!message.empty()) Form->SetStatus(message);
            Form = nullptr;  // stays with its close box until the user closes it
            return;
        }
        Form->EndDecoding(true);
    }
    delete Form;
    Form = nullptr;
}

std::string CurrSourceUpdate::StripTags(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        size_t open = text.find('<', i);
        if (open == std::string::npos) {
            out.append(text, i, std::string::npos);
            break;
        }
        out.append(text, i, open - i);
        size_t close = text.find('>', open + 1);
        if (close == std::string::npos) break;  // an unclosed tag takes the rest with it
        i = close + 1;
    }
    return out;
}

double CurrSourceUpdate::ParseRate(const std::string& text) {
    if (text.empty()) return 0;
    std::string s = text;
    if (SystemDecimalSeparator() == ',') {
        size_t point = s.rfind('.');
        if (point != std::string::npos) s[point] = ',';
    }
    long double value = StrToFloat(s);
    // A rate beyond what a double holds is no rate either.
    if (std::fabs(value) > DBL_MAX) throw EConvertError("'" + s + "' is not a valid floating point value");
    return static_cast<double>(value);
}

char* CurrSourceUpdate::NewCString(const std::string& text) {
    char* copy = new char[text.size() + 1];
    std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

std::string CurrSourceUpdate::Cell(const CellList& cells, int index) {
    if (cells.empty()) return std::string();
    if (index < 0) index = 0;
    if (static_cast<size_t>(index) >= cells.size()) return std::string();
    return StripTags(cells[static_cast<size_t>(index)]);
}

std::string CurrSourceUpdate::OneLine(const std::string& text) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; };
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (!blank(text[i])) {
            out += text[i++];
            continue;
        }
        size_t end = i;
        bool lineBreak = false;
        for (; end < text.size() && blank(text[end]); ++end) lineBreak |= text[end] == '\r' || text[end] == '\n';
        if (lineBreak) out += ' ';
        else out.append(text, i, end - i);
        i = end;
    }
    return Trim(out);
}

size_t CurrSourceUpdate::SkipCharacters(const std::string& text, size_t at, size_t n) {
    for (; n > 0 && at < text.size(); --n) {
        ++at;
        while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
    }
    return std::min(at, text.size());
}

size_t CurrSourceUpdate::CharacterCount(const std::string& text) {
    size_t n = 0;
    for (unsigned char c : text) n += (c & 0xC0) != 0x80;
    return n;
}
