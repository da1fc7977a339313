// The Pacific exchange-rate service.
#pragma once

#include "currency/currsource.h"

#ifndef TV_POCKETVANE
class PacificUpdate;
#endif

class Pacific : public CurrSource {
public:
    Pacific();
    ~Pacific() override;
    void Update(Fetcher* fetcher) override;

#ifndef TV_POCKETVANE
    PacificUpdate* Updater = nullptr;
#endif
};
