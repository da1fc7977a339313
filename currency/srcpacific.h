// The Pacific exchange-rate service.
#pragma once

#include "currency/currsource.h"

#include <memory>

class PacificUpdate;

class Pacific : public CurrSource {
public:
    Pacific();
    ~Pacific() override;

    // The page decoder of the latest update, held as Imf::Updater is.
    std::shared_ptr<PacificUpdate> Updater;
};
