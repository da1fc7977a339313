// The Pacific decoder on an arbitrary page, with the built-in settings or with
// an arbitrary data/Pacific.INI (see pagefuzz.h for the input's layout).
#include "currency/srcpacific.h"
#include "pagefuzz.h"
#include "update/srcpacificupdate.h"

namespace {
const char* const DataFile =
    "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<CURRSOURCE>\r\n<NAME>Pacific</NAME>\r\n"
    "<DEFAULTUNIT>U.S. Dollar</DEFAULTUNIT>\r\n<PREFERREDBASE>U.S. Dollar</PREFERREDBASE>\r\n"
    "<PREFERRED><NAME>Dollar - Euro</NAME><FIRST>U.S. Dollar</FIRST><SECOND>Euro</SECOND></PREFERRED>\r\n"
    "<CURRENCY><NAME>Euro</NAME><ISO>EUR</ISO><DATE>January 17, 2025</DATE>"
    "<VALUE TYPE=\"PER_UNIT\">0.9735</VALUE><SELECTED>YES</SELECTED></CURRENCY>\r\n"
    "<CURRENCY><NAME>U.S. Dollar</NAME><ISO>USD</ISO><DATE>January 17, 2025</DATE>"
    "<VALUE TYPE=\"PER_UNIT\">1</VALUE><SELECTED>YES</SELECTED></CURRENCY>\r\n"
    "</CURRSOURCE>\r\n";
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzenv::Responder();
    ScriptedResponder answers;  // a fresh queue for every input
    for (int i = 0; i < 4; ++i) answers.QueueAnswer(mrYes);
    const std::string& folder = fuzzenv::Folder();
    const pagefuzz::Input in = pagefuzz::Split(data, size);
    pagefuzz::PlaceSettings(in, folder + "/data/Pacific.INI");
    pagefuzz::PlaceText(folder + "/data/Pacific.XML", DataFile);

    std::vector<pagefuzz::Row> decoded;
    {
        Pacific source;
        PacificUpdate decoder(&source);
        decoder.Decode(in.page);
        decoded = pagefuzz::Rows(source);
    }  // the data file is written here
    Pacific again;
    pagefuzz::ExpectSame(decoded, pagefuzz::Rows(again));
    return 0;
}
