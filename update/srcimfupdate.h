// The IMF page decoder: checks the page's title, finds the date of the rates
// and the rate table, and merges every table row into the IMF source. Every
// marker and column number comes from data/IMF.INI, with built-in defaults.
#pragma once

#include "update/currsourceupdate.h"

#include <set>
#include <string>

class ImfUpdate : public CurrSourceUpdate {
public:
    explicit ImfUpdate(CurrSource* source);

    // Returns normally in every case: the decoder reports its problems itself.
    void Decode(const std::string& page) override;
    CellList SplitCells(const std::string& row) override;
    CurrencyItem* MakeItem(CellList cells) override;
    void ReadSettings();

    std::string Title;
    std::string Date;
    int invertedColumn = 0, nameColumn = 0, valueColumn = 0;
    std::string isInverted, isSdr, noValue, endstr, startstr, datestart, dateend, titlestart, titleend,
        titlecontains, tr, tre, tr_delim, td, tde, td_delim;
    int useDateInstance = 0;

private:
    // A message that every row of a hostile page could show, once per page.
    void RowMessage(const std::string& text);
    std::set<std::string> shown_;
};
