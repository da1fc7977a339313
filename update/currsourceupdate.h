// A page decoder: turns a source's rate page into currencies of the source.
#pragma once

class Fetcher;

class CurrSourceUpdate {
public:
    virtual ~CurrSourceUpdate() = default;
    virtual void Update(Fetcher* fetcher) = 0;
};
