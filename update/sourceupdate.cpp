#include "update/sourceupdate.h"

#include "currency/srcimf.h"
#include "currency/srcpacific.h"
#include "update/srcimfupdate.h"
#include "update/srcpacificupdate.h"

#include <memory>

namespace {
// The old decoder goes before the new one is made: a source never holds two.
template <class Decoder, class Source>
Decoder* NewDecoder(Source* source) {
    source->Updater.reset();
    source->Updater = std::make_shared<Decoder>(source);
    return source->Updater.get();
}
}  // namespace

void UpdateSource(CurrSource* source, Fetcher* fetcher) {
    if (auto* imf = dynamic_cast<Imf*>(source)) {
        NewDecoder<ImfUpdate>(imf)->Update(fetcher);
        imf->AddLinkedCurrencies();
    } else if (auto* pacific = dynamic_cast<Pacific*>(source)) {
        NewDecoder<PacificUpdate>(pacific)->Update(fetcher);
    }
}
