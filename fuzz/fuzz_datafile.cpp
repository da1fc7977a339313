// A rate source loading an arbitrary data file, then converting with what it
// read and writing it back.
#include "currency/settings.h"
#include "currency/srcpacific.h"
#include "fuzzenv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzenv::Responder();
    const std::string& folder = fuzzenv::Folder();
    fuzzenv::WriteFile(folder + "/data/Pacific.XML", data, size);
    unlink((folder + "/data/Pacific.XML.bak").c_str());
    {
        Pacific source;
        CurrencyItem* first = nullptr;
        for (CurrItr it = source.GetCurrencies(); it.HasNext();) {
            CurrencyItem* c = it.Next();
            if (!first) first = c;
            source.ConvertText("1234.5", first, c);
        }
        for (PrefItr it = source.GetPreferreds(); it.HasNext();) {
            PrefItem* p = it.Next();
            source.Convert(p->GetFirst(), 1, p->GetSecond());
        }
    }  // written back here
    {
        // What was written must load again.
        fuzzenv::Responder();
        Pacific again;
        (void)again;
    }
    return 0;
}
