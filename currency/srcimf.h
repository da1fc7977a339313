// The IMF's table of representative exchange rates, with the former national
// currencies of the euro area derived from the euro.
#pragma once

#include "currency/currsource.h"

#ifndef TV_POCKETVANE
class ImfUpdate;
#endif

class Imf : public CurrSource {
public:
    Imf();
    ~Imf() override;
    void Update(Fetcher* fetcher) override;
    void AddLinkedCurrencies() override;

#ifndef TV_POCKETVANE
    ImfUpdate* Updater = nullptr;
#endif
};
