// The IMF's table of representative exchange rates, with the former national
// currencies of the euro area derived from the euro.
#pragma once

#include "currency/currsource.h"

#include <memory>

class ImfUpdate;

class Imf : public CurrSource {
public:
    Imf();
    ~Imf() override;
    void AddLinkedCurrencies() override;

    // The page decoder of the latest update, made by the update code
    // (update/sourceupdate.h) and held alone here so it lives no longer than
    // the source. A shared pointer carries the decoder's deleter with it, so
    // this folder needs no definition of the decoder.
    std::shared_ptr<ImfUpdate> Updater;
};
