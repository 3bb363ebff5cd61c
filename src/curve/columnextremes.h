// The samples that draw one pixel column of a curve when a page holds more samples than
// columns: a line through them in time order reaches every extreme the column holds.
#pragma once

#include <cstdint>

struct CColumnPicks
{
    std::int64_t arrIndex[4] = {};
    float arrValue[4] = {}; // the samples at arrIndex
    int nCount = 0;
};

// What a stretch of samples holds for its column: the first, lowest, highest and last sample
// that take part, with their values, and its own last sample whether it takes part or not.
// Two stretches that follow each other combine into the scan of both (AppendScan), so that a
// column can be scanned a piece at a time: a held value at once, per-second values in blocks.
struct CColumnScan
{
    bool bAny = false; // some sample takes part; the four below are set only then
    std::int64_t iFirst = 0, iLow = 0, iHigh = 0, iLast = 0;
    float fFirst = 0.0f, fLow = 0.0f, fHigh = 0.0f, fLast = 0.0f;
    std::int64_t iEnd = -1; // the stretch's last sample; -1 for an empty stretch
    float fEnd = 0.0f;
};

// The scan of nCount per-second samples from pValues, which stands for sample nFirstIndex.
CColumnScan ScanColumn(const float* pValues, std::int64_t nCount, std::int64_t nFirstIndex,
                       bool bSkipNegative);
// The scan of samples nBegin to nEnd (exclusive) that all hold fValue.
CColumnScan ScanHeld(float fValue, std::int64_t nBegin, std::int64_t nEnd, bool bSkipNegative);
// Extends scan by next, whose samples follow scan's.
void AppendScan(CColumnScan& scan, const CColumnScan& next);
// The samples a scanned column is drawn through, as ColumnExtremes gives them.
CColumnPicks PicksOf(const CColumnScan& scan);

// The first, lowest, highest and last of samples nBegin to nEnd (exclusive) that take part,
// in time order and each index once; of equal values the earliest counts. NaN takes no part,
// nor does a negative sample when bSkipNegative is set. A column where no sample takes part
// gives its last sample alone, which the curve draws as it draws that sample anywhere (a
// negative one lifts the pen). An empty range gives nothing.
CColumnPicks ColumnExtremes(const float* pValues, std::int64_t nBegin, std::int64_t nEnd,
                            bool bSkipNegative);
