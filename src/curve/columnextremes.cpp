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

CColumnScan ScanColumn(const float* pValues, std::int64_t nCount, std::int64_t nFirstIndex,
                       bool bSkipNegative)
{
    CColumnScan scan;
    if (nCount <= 0)
        return scan;
    scan.iEnd = nFirstIndex + nCount - 1;
    scan.fEnd = pValues[nCount - 1];
    // The blocks are scanned before the first and last sample that take part are looked for:
    // a column where none does (all NaN, or all negative and skipped) is then passed over at
    // the speed of the block scan.
    float fLow = kInf;
    float fHigh = -kInf;
    std::int64_t nLowBlock = 0;
    std::int64_t nHighBlock = 0;
    for (std::int64_t b = 0; b < nCount; b += kBlock) {
        float lo, hi;
        BlockRange(pValues + b, std::min(kBlock, nCount - b), bSkipNegative, lo, hi);
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
    if (fLow == kInf && fHigh != kInf)
        return scan;
    std::int64_t iFirst = 0;
    while (iFirst < nCount && !TakesPart(pValues[iFirst], bSkipNegative))
        ++iFirst;
    if (iFirst == nCount)
        return scan;
    std::int64_t iLast = nCount - 1;
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
    scan.bAny = true;
    scan.iFirst = nFirstIndex + iFirst;
    scan.iLow = nFirstIndex + iLow;
    scan.iHigh = nFirstIndex + iHigh;
    scan.iLast = nFirstIndex + iLast;
    scan.fFirst = pValues[iFirst];
    scan.fLow = pValues[iLow];
    scan.fHigh = pValues[iHigh];
    scan.fLast = pValues[iLast];
    return scan;
}

CColumnScan ScanHeld(float fValue, std::int64_t nBegin, std::int64_t nEnd, bool bSkipNegative)
{
    CColumnScan scan;
    if (nBegin >= nEnd)
        return scan;
    scan.iEnd = nEnd - 1;
    scan.fEnd = fValue;
    if (!TakesPart(fValue, bSkipNegative))
        return scan;
    scan.bAny = true;
    scan.iFirst = scan.iLow = scan.iHigh = nBegin;
    scan.iLast = nEnd - 1;
    scan.fFirst = scan.fLow = scan.fHigh = scan.fLast = fValue;
    return scan;
}

void AppendScan(CColumnScan& scan, const CColumnScan& next)
{
    if (next.iEnd < 0)
        return;
    // Where nothing took part so far, all that counts is next's.
    if (scan.iEnd < 0 || !scan.bAny) {
        scan = next;
        return;
    }
    scan.iEnd = next.iEnd;
    scan.fEnd = next.fEnd;
    if (!next.bAny)
        return;
    // Strictly lower or higher only: of equal values the earliest counts.
    if (next.fLow < scan.fLow) {
        scan.iLow = next.iLow;
        scan.fLow = next.fLow;
    }
    if (next.fHigh > scan.fHigh) {
        scan.iHigh = next.iHigh;
        scan.fHigh = next.fHigh;
    }
    scan.iLast = next.iLast;
    scan.fLast = next.fLast;
}

CColumnPicks PicksOf(const CColumnScan& scan)
{
    CColumnPicks picks;
    if (scan.iEnd < 0)
        return picks;
    auto add = [&picks](std::int64_t i, float f) {
        if (picks.nCount == 0 || picks.arrIndex[picks.nCount - 1] != i) {
            picks.arrIndex[picks.nCount] = i;
            picks.arrValue[picks.nCount] = f;
            ++picks.nCount;
        }
    };
    if (!scan.bAny) {
        add(scan.iEnd, scan.fEnd);
        return picks;
    }
    add(scan.iFirst, scan.fFirst);
    if (scan.iLow <= scan.iHigh) {
        add(scan.iLow, scan.fLow);
        add(scan.iHigh, scan.fHigh);
    } else {
        add(scan.iHigh, scan.fHigh);
        add(scan.iLow, scan.fLow);
    }
    add(scan.iLast, scan.fLast);
    return picks;
}

CColumnPicks ColumnExtremes(const float* pValues, std::int64_t nBegin, std::int64_t nEnd,
                            bool bSkipNegative)
{
    if (nBegin >= nEnd)
        return {};
    return PicksOf(ScanColumn(pValues + nBegin, nEnd - nBegin, nBegin, bSkipNegative));
}
