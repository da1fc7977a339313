// The Pacific page decoder: checks the page, reads its version, takes the
// scraping settings of that version from data/Pacific.INI, and merges the
// currencies of the rate table after its last row.
#pragma once

#include "update/currsourceupdate.h"

#include <set>
#include <string>
#include <vector>

class PacificUpdate : public CurrSourceUpdate {
public:
    explicit PacificUpdate(CurrSource* source);
    ~PacificUpdate() override;

    // Returns normally in every case: the decoder reports its problems itself.
    void Decode(const std::string& page) override;
    CellList SplitCells(const std::string& row) override;
    CurrencyItem* MakeItem(CellList cells) override;
    void ReadVersionStrings();
    void ReadSettings();
    void FlushItems();

    std::string Date;
    std::string Version;
    int isoColumn = 0, nameColumn = 0, valueColumn = 0;
    bool perUnit = true;
    std::string endstr, startstr, datestart, dateend, mustContain, versionStr1, versionStr2, tr, tre, tr_delim, td,
        tde, td_delim, linkedCurrMark;
    std::vector<CurrencyItem*> Items;

private:
    void DeleteItems();
    // A message that every row of a hostile page could show, once per page.
    void RowMessage(const std::string& text);
    std::set<std::string> shown_;
};
