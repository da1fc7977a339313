// The template export: an arbitrary data/exportFilters.xml, each of its first
// filters filled over a small source whose texts hold tags, anchors and
// markup. The output must stay within what the body, the repeater and the
// number of currencies allow: linear, however the tags are arranged.
#include "currency/srcpacific.h"
#include "export/exporter.h"
#include "export/exportuserfilter.h"
#include "export/outputfilterfactory.h"
#include "export/outputfilterinfo.h"
#include "fuzzenv.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {
// Texts that a template could mistake for its own tags.
const char* const DataFile =
    "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<CURRSOURCE>\r\n<NAME>Pacific</NAME>\r\n"
    "<WEBSITE>&lt;tallyvaneRepeater/&gt;</WEBSITE>\r\n"
    "<COPYRIGHT>&lt;tallyvaneSourceName/&gt; &amp; &lt;tallyvaneProgramName/&gt;</COPYRIGHT>\r\n"
    "<DEFAULTUNIT>Unit</DEFAULTUNIT>\r\n<PREFERREDBASE>Unit</PREFERREDBASE>\r\n"
    "<CURRENCY><NAME>Unit</NAME><ISO>UNT</ISO><DATE>5 April, 2003</DATE>"
    "<VALUE TYPE=\"PER_UNIT\">1</VALUE><SELECTED>YES</SELECTED></CURRENCY>\r\n"
    "<CURRENCY><NAME>&lt;tallyvaneRepeater/&gt;</NAME><ISO>&lt;t</ISO><DATE>&lt;TALLYVANEREPEATER/&gt;</DATE>"
    "<VALUE TYPE=\"PER_UNIT\">2.5</VALUE><SELECTED>YES</SELECTED></CURRENCY>\r\n"
    "<CURRENCY><NAME>&lt;currencyDate/&gt;&lt;currencyName/&gt;</NAME><ISO>&amp;</ISO>"
    "<DATE>&lt;currencyCounter/&gt;&lt;currencyValue/&gt;</DATE>"
    "<VALUE TYPE=\"UNITS_PER\">0.001</VALUE><SELECTED>NO</SELECTED></CURRENCY>\r\n"
    "<CURRENCY><NAME>Repeater/&gt;</NAME><ISO>&lt;</ISO><DATE>&lt;tallyvane</DATE>"
    "<VALUE TYPE=\"PER_UNIT\">1e-9</VALUE><SELECTED>YES</SELECTED></CURRENCY>\r\n"
    "</CURRSOURCE>\r\n";

struct Setup {
    Pacific* source;
    CurrencyItem* base;
    std::string output;
};

Setup& Fixture() {
    static Setup setup = [] {
        const std::string& folder = fuzzenv::Folder();
        const std::string file(DataFile);
        fuzzenv::WriteFile(folder + "/data/Pacific.XML", reinterpret_cast<const uint8_t*>(file.data()), file.size());
        auto* source = new Pacific();  // kept to the end: it would write its file when destroyed
        return Setup{source, source->FindCurrency("Unit"), folder + "/export.out"};
    }();
    return setup;
}

// A template whose default extension is htm or html gets its texts escaped.
bool IsHtml(const OutputFilterInfo* filter) {
    std::string ext = Trim(filter->GetDefaultExt());
    if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
    return SameText(ext, "htm") || SameText(ext, "html");
}

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '&') out += "&amp;";
        else if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else if (c == '"') out += "&quot;";
        else out += c;
    }
    return out;
}

// A filled repeater: the currency tags replaced in their order, as the
// exporter documents it.
std::string Row(const std::string& repeater, const Setup& setup, const CurrencyItem* c, int counter, bool html) {
    const std::pair<const char*, std::string> tags[] = {
        {"<currencyName/>", c->GetName()},
        {"<currencyISO/>", c->GetIso()},
        {"<currencyDate/>", c->GetDate()},
        {"<currencyCounter/>", IntToStr(counter)},
        {"<currencyValue/>", ExportValueText(setup.source, setup.base, c)},
    };
    std::string row = repeater;
    for (const auto& [tag, value] : tags) row = ExportUserFilter::ReplaceAll(row, tag, html ? Escaped(value) : value);
    return row;
}

const std::string Anchor = "<tallyvaneRepeater/>";

size_t CountAnchors(const std::string& text) {
    const std::string upper = UpperCase(text), anchor = UpperCase(Anchor);
    size_t n = 0;
    for (size_t at = upper.find(anchor); at != std::string::npos; at = upper.find(anchor, at + anchor.size())) ++n;
    return n;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Output is body times rows by design; larger inputs only make it slower.
    if (size > 4096) return 0;
    Setup& setup = Fixture();
    fuzzenv::Responder();
    ScriptedResponder answers;
    fuzzenv::WriteFile(fuzzenv::Folder() + "/data/exportFilters.xml", data, size);
    OutputFilterFactory::Unload();  // read afresh, as at a new start of the program
    OutputFilterFactory* factory;
    try {
        factory = OutputFilterFactory::GetInstance();
    } catch (const std::exception&) {
        return 0;
    }
    int runs = 0;
    for (factory->First(); factory->IsValid() && runs < 3; factory->Next(), ++runs) {
        OutputFilterInfo* filter = factory->Current();
        ExportUserFilter exporter(filter);
        exporter.Prepare(setup.source, setup.base);
        unlink(setup.output.c_str());
        answers.QueueFile(setup.output);
        if (!exporter.Start()) {
            fprintf(stderr, "fuzz_template: the chosen file was not taken\n");
            abort();
        }
        // Each anchor of the filled body takes one row per currency, without
        // any anchor the row held, and that is all the output may hold
        // besides the body.
        const size_t head = exporter.Output.size();
        const size_t anchors = CountAnchors(exporter.Output);
        size_t rows = 0;
        int counter = 0;
        for (CurrItr it = setup.source->GetCurrencies(); it.HasNext();) {
            CurrencyItem* c = it.Next();
            rows += ExportUserFilter::ReplaceAll(Row(filter->GetRepeater(), setup, c, counter++, IsHtml(filter)), Anchor, "")
                        .size();
            exporter.WriteCurrency(c);
        }
        exporter.Finish();
        const size_t limit = head - anchors * Anchor.size() + anchors * rows + 2;
        std::ifstream in(setup.output, std::ios::binary);
        if (!in) {
            fprintf(stderr, "fuzz_template: no output written\n");
            abort();
        }
        const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (written.size() > limit) {
            fprintf(stderr, "fuzz_template: %zu bytes written, at most %zu expected (%zu anchors, rows of %zu bytes)\n",
                    written.size(), limit, anchors, rows);
            abort();
        }
    }
    return 0;
}
