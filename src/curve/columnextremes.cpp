#include "curve/columnextremes.h"

#include <algorithm>
#include <limits>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TRENDORA_HAVE_SSE2 1
#endif

namespace {

// A page at an hour per pixel scans millions of samples per curve. The scan only notes which
// block held the lowest and the highest value; that one block is then searched again for the
// index. A block stays in the first-level cache, and the bookkeeping between blocks is rare.
constexpr std::int64_t kBlock = 256;
constexpr float kInf = std::numeric_limits<float>::infinity();

bool TakesPart(float v, bool bSkipNegative)
{
    return bSkipNegative ? v >= 0.0f : v == v;
}

// The lowest and the highest of p[0] to p[n - 1] that take part; +inf and -inf if none does.
// NaN loses every comparison and so drops out by itself. With bSkipNegative the highest may be
// a negative sample: it then loses to any sample that takes part elsewhere in the column.
void BlockRange(const float* p, std::int64_t n, bool bSkipNegative, float& fLow, float& fHigh)
{
    float lo = kInf;
    float hi = -kInf;
    std::int64_t i = 0;
#if defined(TRENDORA_HAVE_SSE2)
    // min(a, acc) and max(a, acc) give acc when a is NaN. Two accumulators each hide the
    // latency of the comparisons.
    const __m128 vInf = _mm_set1_ps(kInf);
    const __m128 vZero = _mm_setzero_ps();
    __m128 lo0 = vInf, lo1 = vInf;
    __m128 hi0 = _mm_set1_ps(-kInf), hi1 = hi0;
    if (bSkipNegative) {
        for (; i + 8 <= n; i += 8) {
            const __m128 a = _mm_loadu_ps(p + i);
            const __m128 b = _mm_loadu_ps(p + i + 4);
            const __m128 ma = _mm_cmpge_ps(a, vZero);
            const __m128 mb = _mm_cmpge_ps(b, vZero);
            lo0 = _mm_min_ps(_mm_or_ps(_mm_and_ps(ma, a), _mm_andnot_ps(ma, vInf)), lo0);
            lo1 = _mm_min_ps(_mm_or_ps(_mm_and_ps(mb, b), _mm_andnot_ps(mb, vInf)), lo1);
            hi0 = _mm_max_ps(a, hi0);
            hi1 = _mm_max_ps(b, hi1);
        }
    } else {
        for (; i + 8 <= n; i += 8) {
            const __m128 a = _mm_loadu_ps(p + i);
            const __m128 b = _mm_loadu_ps(p + i + 4);
            lo0 = _mm_min_ps(a, lo0);
            lo1 = _mm_min_ps(b, lo1);
            hi0 = _mm_max_ps(a, hi0);
            hi1 = _mm_max_ps(b, hi1);
        }
    }
    alignas(16) float arrLo[4], arrHi[4];
    _mm_store_ps(arrLo, _mm_min_ps(lo0, lo1));
    _mm_store_ps(arrHi, _mm_max_ps(hi0, hi1));
    for (int k = 0; k < 4; ++k) {
        lo = std::min(lo, arrLo[k]);
        hi = std::max(hi, arrHi[k]);
    }
#endif
    for (; i < n; ++i) {
        const float v = p[i];
        if (v < lo && TakesPart(v, bSkipNegative))
            lo = v;
        if (v > hi)
            hi = v;
    }
    fLow = lo;
    fHigh = hi;
}

// The first of p[nFrom] to p[nTo] equal to f; nFrom when none is (f was never lowered from
// its start, so p[nFrom] is it).
std::int64_t FirstEqual(const float* p, std::int64_t nFrom, std::int64_t nTo, float f)
{
    for (std::int64_t i = nFrom; i <= nTo; ++i)
        if (p[i] == f)
            return i;
    return nFrom;
}

} // namespace

CColumnPicks ColumnExtremes(const float* pValues, std::int64_t nBegin, std::int64_t nEnd,
                            bool bSkipNegative)
{
    CColumnPicks picks;
    if (nBegin >= nEnd)
        return picks;
    // The blocks are scanned before the first and last sample that take part are looked for:
    // a column where none does (all NaN, or all negative and skipped) is then passed over at
    // the speed of the block scan.
    float fLow = kInf;
    float fHigh = -kInf;
    std::int64_t nLowBlock = nBegin;
    std::int64_t nHighBlock = nBegin;
    for (std::int64_t b = nBegin; b < nEnd; b += kBlock) {
        float lo, hi;
        BlockRange(pValues + b, std::min(kBlock, nEnd - b), bSkipNegative, lo, hi);
        if (lo < fLow) {
            fLow = lo;
            nLowBlock = b;
        }
        if (hi > fHigh) {
            fHigh = hi;
            nHighBlock = b;
        }
    }
    // Only a column of +inf samples leaves the lowest at +inf with a sample that takes part.
    if (fLow == kInf && fHigh != kInf) {
        picks.arrIndex[0] = nEnd - 1;
        picks.nCount = 1;
        return picks;
    }
    std::int64_t iFirst = nBegin;
    while (iFirst < nEnd && !TakesPart(pValues[iFirst], bSkipNegative))
        ++iFirst;
    if (iFirst == nEnd) {
        picks.arrIndex[0] = nEnd - 1;
        picks.nCount = 1;
        return picks;
    }
    std::int64_t iLast = nEnd - 1;
    while (!TakesPart(pValues[iLast], bSkipNegative))
        --iLast;
    // Samples of +inf or -inf alone never move the lowest or the highest from its start.
    if (fLow == kInf)
        nLowBlock = iFirst;
    if (fHigh == -kInf)
        nHighBlock = iFirst;

    const std::int64_t iLow =
        FirstEqual(pValues, nLowBlock, std::min(nLowBlock + kBlock - 1, iLast), fLow);
    const std::int64_t iHigh =
        FirstEqual(pValues, nHighBlock, std::min(nHighBlock + kBlock - 1, iLast), fHigh);

    for (const std::int64_t i : {iFirst, std::min(iLow, iHigh), std::max(iLow, iHigh), iLast})
        if (picks.nCount == 0 || picks.arrIndex[picks.nCount - 1] != i)
            picks.arrIndex[picks.nCount++] = i;
    return picks;
}
