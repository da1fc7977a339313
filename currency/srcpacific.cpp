#include "currency/srcpacific.h"

#ifndef TV_POCKETVANE
#include "update/srcpacificupdate.h"
#endif

Pacific::Pacific() { Load("\\data\\Pacific.XML"); }

Pacific::~Pacific() {
#ifndef TV_POCKETVANE
    delete Updater;
#endif
}

void Pacific::Update([[maybe_unused]] Fetcher* fetcher) {
#ifndef TV_POCKETVANE
    delete Updater;
    Updater = nullptr;
    Updater = new PacificUpdate(this);
    Updater->Update(fetcher);
#endif
}
