// The worker that fetches a source's page for one update.
#pragma once

class Fetcher {
public:
    virtual ~Fetcher() = default;
};
