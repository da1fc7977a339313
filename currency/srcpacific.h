// The Pacific exchange-rate service.
#pragma once

#include "currency/currsource.h"

#ifndef TV_POCKETVANE
class CurrSourceUpdate;
#endif

class Pacific : public CurrSource {
public:
    Pacific();
    ~Pacific() override;
    void Update(Fetcher* fetcher) override;

#ifndef TV_POCKETVANE
    CurrSourceUpdate* Updater = nullptr;
#endif
};
