// Starting an update of a rate source. The sources know nothing of pages and
// fetchers: the decoder of a source's kind is made here and handed to the
// source, which holds it until the next update or its own end.
#pragma once

class CurrSource;
class Fetcher;

// Starts an update of the source with the fetcher, which the caller keeps:
// the source's previous decoder goes, a new one of the source's kind takes
// its place, opens the progress window and asks the fetcher for the page,
// which arrives later on the GUI thread. The IMF source's linked currencies
// are refreshed at once, on the rates held before the update.
void UpdateSource(CurrSource* source, Fetcher* fetcher);
