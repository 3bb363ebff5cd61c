#include "curve/columnextremes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// A column of nCount samples at 50 with some samples set apart, and what ColumnExtremes must
// pick from samples nBegin to nEnd of it (nEnd < 0: to the end).
struct CColumnCase
{
    const char* szWhat;
    int nCount;
    std::vector<std::pair<int, float>> set;
    bool bSkipNegative;
    std::vector<std::int64_t> expected;
    int nBegin = 0;
    int nEnd = -1;
};

TEST(ColumnExtremes, PicksFirstLowestHighestAndLastInTimeOrder)
{
    const float nan = NAN;
    const float inf = INFINITY;
    const CColumnCase cases[] = {
        // A one-sample spike at every position of a column; of equal samples the earliest.
        {"up at 0", 5, {{0, 90}}, false, {0, 1, 4}},
        {"up at 1", 5, {{1, 90}}, false, {0, 1, 4}},
        {"up at 2", 5, {{2, 90}}, false, {0, 2, 4}},
        {"up at 3", 5, {{3, 90}}, false, {0, 3, 4}},
        {"up at 4", 5, {{4, 90}}, false, {0, 4}},
        {"down at 0", 5, {{0, 10}}, false, {0, 1, 4}},
        {"down at 1", 5, {{1, 10}}, false, {0, 1, 4}},
        {"down at 2", 5, {{2, 10}}, false, {0, 2, 4}},
        {"down at 3", 5, {{3, 10}}, false, {0, 3, 4}},
        {"down at 4", 5, {{4, 10}}, false, {0, 4}},
        {"both, high first", 5, {{1, 90}, {3, 10}}, false, {0, 1, 3, 4}},
        {"both, low first", 5, {{1, 10}, {3, 90}}, false, {0, 1, 3, 4}},
        {"flat", 5, {}, false, {0, 4}},
        // Long columns are scanned in blocks; the spikes sit in other blocks and in the tail.
        {"long, apart", 1003, {{300, 90}, {700, 10}}, false, {0, 300, 700, 1002}},
        {"long, in the tail", 1003, {{1001, 10}, {2, 90}}, false, {0, 2, 1001, 1002}},
        {"long, equal lows", 1000, {{900, 10}, {100, 10}}, false, {0, 100, 999}},
        // NaN takes no part; a column of only NaN gives its last sample.
        {"NaN at the ends", 5, {{0, nan}, {2, 10}, {4, nan}}, false, {1, 2, 3}},
        {"NaN among many", 600, {{5, nan}, {17, nan}, {400, 20}}, false, {0, 400, 599}},
        {"only NaN", 3, {{0, nan}, {1, nan}, {2, nan}}, false, {2}},
        // Negative samples count unless skipped; then a column of only negatives gives its
        // last sample, which lifts the pen. -0 is not negative.
        {"negatives", 5, {{0, -1}, {2, -5}, {3, 60}, {4, -1}}, false, {0, 2, 3, 4}},
        {"negatives skipped", 5, {{0, -1}, {2, -5}, {3, 60}, {4, -1}}, true, {1, 3}},
        {"negatives skipped, long",
         600,
         {{0, -3}, {300, -9}, {500, 5}, {599, -1}},
         true,
         {1, 500, 598}},
        {"only negatives skipped", 3, {{0, -1}, {1, -2}, {2, -3}}, true, {2}},
        {"NaN and negatives skipped around one", 4, {{0, nan}, {1, -2}, {3, nan}}, true, {2}},
        {"minus zero", 3, {{0, -0.0f}, {1, -1}}, true, {0, 2}},
        // Infinities take part like any value, also where nothing else does.
        {"only +inf after NaN", 3, {{0, nan}, {1, inf}, {2, inf}}, false, {1, 2}},
        {"only -inf after NaN", 3, {{0, nan}, {1, -inf}, {2, -inf}}, false, {1, 2}},
        {"+inf among negatives skipped", 3, {{0, -1}, {1, inf}, {2, -1}}, true, {1}},
        // One sample, and a range within its neighbours at the right edge of the data.
        {"one sample", 1, {}, false, {0}},
        {"one NaN", 1, {{0, nan}}, false, {0}},
        {"one negative skipped", 1, {{0, -1}}, true, {0}},
        {"last column", 10, {{6, 99}, {7, 0}, {8, 40}}, false, {8, 9}, 8, 10},
        {"neighbours left out", 10, {{2, 99}, {5, 60}, {8, 0}}, false, {3, 5, 7}, 3, 8},
        {"empty", 10, {}, false, {}, 4, 4},
    };
    for (const CColumnCase& c : cases) {
        SCOPED_TRACE(c.szWhat);
        std::vector<float> values(static_cast<std::size_t>(c.nCount), 50.0f);
        for (const auto& [nAt, fValue] : c.set)
            values[static_cast<std::size_t>(nAt)] = fValue;
        const CColumnPicks picks = ColumnExtremes(values.data(), c.nBegin,
                                                  c.nEnd < 0 ? c.nCount : c.nEnd, c.bSkipNegative);
        EXPECT_EQ(c.expected,
                  std::vector<std::int64_t>(picks.arrIndex, picks.arrIndex + picks.nCount));
        // Scanned in two pieces, the second of them read as a held value where it holds one,
        // the column gives the same picks.
        const int nBegin = c.nBegin;
        const int nEnd = c.nEnd < 0 ? c.nCount : c.nEnd;
        for (int nSplit = nBegin + 1; nSplit < nEnd; ++nSplit) {
            const float* p = values.data();
            CColumnScan scan = ScanColumn(p + nBegin, nSplit - nBegin, nBegin, c.bSkipNegative);
            const bool bHeld = std::all_of(p + nSplit, p + nEnd, [&](float f) {
                return std::memcmp(&f, p + nSplit, sizeof f) == 0;
            });
            AppendScan(scan, bHeld
                                 ? ScanHeld(p[nSplit], nSplit, nEnd, c.bSkipNegative)
                                 : ScanColumn(p + nSplit, nEnd - nSplit, nSplit, c.bSkipNegative));
            const CColumnPicks split = PicksOf(scan);
            ASSERT_EQ(std::vector<std::int64_t>(picks.arrIndex, picks.arrIndex + picks.nCount),
                      std::vector<std::int64_t>(split.arrIndex, split.arrIndex + split.nCount))
                << "split at " << nSplit;
            for (int k = 0; k < split.nCount; ++k)
                EXPECT_EQ(0, std::memcmp(&split.arrValue[k], p + split.arrIndex[k], sizeof(float)));
        }
    }
}

} // namespace
