// The IMF decoder on an arbitrary page, with the built-in settings or with an
// arbitrary data/IMF.INI (see pagefuzz.h for the input's layout).
#include "currency/srcimf.h"
#include "pagefuzz.h"
#include "update/srcimfupdate.h"

namespace {
// A small table to merge into: the euro that the legacy currencies follow,
// the dollar, and a pair over both.
const char* const DataFile =
    "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<CURRSOURCE>\r\n<NAME>IMF</NAME>\r\n"
    "<DEFAULTUNIT>U.S. Dollar</DEFAULTUNIT>\r\n<PREFERREDBASE>U.S. Dollar</PREFERREDBASE>\r\n"
    "<PREFERRED><NAME>Dollar - Euro</NAME><FIRST>U.S. Dollar</FIRST><SECOND>Euro</SECOND></PREFERRED>\r\n"
    "<CURRENCY><NAME>Euro</NAME><ISO></ISO><DATE>January 17, 2025</DATE>"
    "<VALUE TYPE=\"UNITS_PER\">1.0272</VALUE><SELECTED>YES</SELECTED></CURRENCY>\r\n"
    "<CURRENCY><NAME>U.S. Dollar</NAME><ISO></ISO><DATE>January 17, 2025</DATE>"
    "<VALUE TYPE=\"UNITS_PER\">1</VALUE><SELECTED>YES</SELECTED></CURRENCY>\r\n"
    "</CURRSOURCE>\r\n";

// Worked out from the euro whenever the source is made.
const std::set<std::string> Linked = {"Austrian Schilling", "Belgian Franc",   "German Mark",  "Spanish Peseta",
                                      "Finnish Markka",     "French Franc",    "Irish Pound",  "Italian Lira",
                                      "Luxembourg Franc",   "Dutch Guilder",   "Portuguese Escudo"};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzenv::Responder();
    ScriptedResponder answers;  // a fresh queue for every input
    for (int i = 0; i < 4; ++i) answers.QueueAnswer(mrYes);
    const std::string& folder = fuzzenv::Folder();
    const pagefuzz::Input in = pagefuzz::Split(data, size);
    pagefuzz::PlaceSettings(in, folder + "/data/IMF.INI");
    pagefuzz::PlaceText(folder + "/data/IMF.XML", DataFile);

    std::vector<pagefuzz::Row> decoded;
    {
        Imf source;
        ImfUpdate decoder(&source);
        decoder.Decode(in.page);
        decoded = pagefuzz::Rows(source, Linked);
    }  // the data file is written here
    Imf again;
    pagefuzz::ExpectSame(decoded, pagefuzz::Rows(again, Linked));
    return 0;
}
