// The samples that draw one pixel column of a curve when a page holds more samples than
// columns: a line through them in time order reaches every extreme the column holds.
#pragma once

#include <cstdint>

struct CColumnPicks
{
    std::int64_t arrIndex[4] = {};
    int nCount = 0;
};

// The first, lowest, highest and last of samples nBegin to nEnd (exclusive) that take part,
// in time order and each index once; of equal values the earliest counts. NaN takes no part,
// nor does a negative sample when bSkipNegative is set. A column where no sample takes part
// gives its last sample alone, which the curve draws as it draws that sample anywhere (a
// negative one lifts the pen). An empty range gives nothing.
CColumnPicks ColumnExtremes(const float* pValues, std::int64_t nBegin, std::int64_t nEnd,
                            bool bSkipNegative);
