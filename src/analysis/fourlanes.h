// A loop over samples in four independent lanes, for sums and extremes whose accumulators
// would otherwise make each step wait for the one before it.
#pragma once

#include <cstdint>

// Calls lane(k, i) for every i from nBegin to nEnd (exclusive), k = 0..3 in turn for four
// samples at a time and 0 for the rest, so that each lane keeps accumulators of its own.
template <class Lane> inline void ForFourLanes(std::int64_t nBegin, std::int64_t nEnd, Lane&& lane)
{
    std::int64_t i = nBegin;
    for (; i + 4 <= nEnd; i += 4) {
        lane(0, i);
        lane(1, i + 1);
        lane(2, i + 2);
        lane(3, i + 3);
    }
    for (; i < nEnd; ++i)
        lane(0, i);
}
