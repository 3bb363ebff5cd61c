#include "recorder/runstatistics.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr std::int64_t kBlock = 2048;

// A block's sum, count, minimum and maximum, in four independent lanes so that the processor
// overlaps them; a sample left out counts as nothing, +inf for the minimum and -inf for the
// maximum, which no sample of a recording reaches.
struct CBlock
{
    double dSum = 0.0;
    std::int64_t nCounted = 0;
    float fMin = kInf;
    float fMax = -kInf;
};

template <bool bSkipNegative> CBlock ScanBlock(const float* p, std::int64_t n)
{
    double adSum[4] = {0.0, 0.0, 0.0, 0.0};
    std::int64_t anCounted[4] = {0, 0, 0, 0};
    float afMin[4] = {kInf, kInf, kInf, kInf};
    float afMax[4] = {-kInf, -kInf, -kInf, -kInf};
    std::int64_t i = 0;
    auto lane = [&](int k, float v) {
        const bool bTake = !bSkipNegative || !(v < 0.0f);
        adSum[k] += bTake ? v : 0.0f;
        anCounted[k] += bTake;
        const float fLow = bTake ? v : kInf;
        const float fHigh = bTake ? v : -kInf;
        afMin[k] = fLow < afMin[k] ? fLow : afMin[k];
        afMax[k] = fHigh > afMax[k] ? fHigh : afMax[k];
    };
    for (; i + 4 <= n; i += 4) {
        lane(0, p[i]);
        lane(1, p[i + 1]);
        lane(2, p[i + 2]);
        lane(3, p[i + 3]);
    }
    for (; i < n; ++i)
        lane(0, p[i]);
    CBlock b;
    b.dSum = (adSum[0] + adSum[1]) + (adSum[2] + adSum[3]);
    b.nCounted = anCounted[0] + anCounted[1] + anCounted[2] + anCounted[3];
    b.fMin = std::min(std::min(afMin[0], afMin[1]), std::min(afMin[2], afMin[3]));
    b.fMax = std::max(std::max(afMax[0], afMax[1]), std::max(afMax[2], afMax[3]));
    return b;
}

// Block by block; only a block that holds a new extreme is looked through again for the
// first sample holding it. A series that rises all along does that for every block, which
// costs one more pass at most.
template <bool bSkipNegative>
CCurveFigures CurveFigures(const float* p, std::int64_t nBegin, std::int64_t nEnd)
{
    CCurveFigures f;
    if (!p || nBegin >= nEnd)
        return f;
    double dSum = 0.0;
    float fMin = kInf;
    float fMax = -kInf;
    for (std::int64_t nBlock = nBegin; nBlock < nEnd; nBlock += kBlock) {
        const std::int64_t n = std::min(kBlock, nEnd - nBlock);
        const CBlock b = ScanBlock<bSkipNegative>(p + nBlock, n);
        dSum += b.dSum;
        f.nCounted += b.nCounted;
        if (b.fMin < fMin) {
            fMin = b.fMin;
            f.nMinAt = nBlock + (std::find(p + nBlock, p + nBlock + n, fMin) - (p + nBlock));
        }
        if (b.fMax > fMax) {
            fMax = b.fMax;
            f.nMaxAt = nBlock + (std::find(p + nBlock, p + nBlock + n, fMax) - (p + nBlock));
        }
    }
    if (f.nCounted == 0)
        return CCurveFigures();
    f.fMin = fMin;
    f.fMax = fMax;
    f.dMean = dSum / static_cast<double>(f.nCounted);
    return f;
}

// PV against SV block by block, as the curves are: the largest deviation's block is looked
// through again for its first second.
template <bool bSkipNegative>
CDeviationFigures DeviationFigures(const float* pPV, const float* pSV, std::int64_t nBegin,
                                   std::int64_t nEnd, int nTolerance)
{
    CDeviationFigures f;
    if (!pPV || !pSV || nBegin >= nEnd)
        return f;
    // Values carry two decimals, and a float holds them to about 1e-5 over the recorders'
    // range: half a hundredth above the tolerance separates "shows as within" from not.
    const double dLimit = (std::max(nTolerance, 0) + 0.5) / 100.0;
    // A second left out has no size at all: -1 is below every deviation's.
    auto size = [](float fPV, float fSV) {
        if (bSkipNegative && (fPV < 0.0f || fSV < 0.0f))
            return -1.0;
        return std::fabs(static_cast<double>(fPV) - static_cast<double>(fSV));
    };
    double dLargestSize = -1.0;
    for (std::int64_t nBlock = nBegin; nBlock < nEnd; nBlock += kBlock) {
        const std::int64_t nStop = std::min(nEnd, nBlock + kBlock);
        std::int64_t anCounted[4] = {0, 0, 0, 0};
        std::int64_t anWithin[4] = {0, 0, 0, 0};
        double adMax[4] = {-1.0, -1.0, -1.0, -1.0};
        auto lane = [&](int k, std::int64_t i) {
            const double dSize = size(pPV[i], pSV[i]);
            anCounted[k] += dSize >= 0.0;
            anWithin[k] += dSize >= 0.0 && dSize < dLimit;
            adMax[k] = dSize > adMax[k] ? dSize : adMax[k];
        };
        std::int64_t i = nBlock;
        for (; i + 4 <= nStop; i += 4) {
            lane(0, i);
            lane(1, i + 1);
            lane(2, i + 2);
            lane(3, i + 3);
        }
        for (; i < nStop; ++i)
            lane(0, i);
        f.nCounted += (anCounted[0] + anCounted[1]) + (anCounted[2] + anCounted[3]);
        f.nWithin += (anWithin[0] + anWithin[1]) + (anWithin[2] + anWithin[3]);
        const double dMax = std::max(std::max(adMax[0], adMax[1]), std::max(adMax[2], adMax[3]));
        if (dMax > dLargestSize) {
            dLargestSize = dMax;
            for (std::int64_t j = nBlock; j < nStop; ++j) {
                if (size(pPV[j], pSV[j]) == dMax) {
                    f.nLargestAt = j;
                    f.dLargest = static_cast<double>(pPV[j]) - static_cast<double>(pSV[j]);
                    break;
                }
            }
        }
    }
    return f;
}

} // namespace

CRunStatistics ComputeRunStatistics(const CSeriesSamples& series, std::int64_t nBegin,
                                    std::int64_t nEnd, const CTolerances& tolerances)
{
    nBegin = std::max<std::int64_t>(nBegin, 0);
    nEnd = std::min(nEnd, series.nCount);
    CRunStatistics s;
    s.tempPV = CurveFigures<false>(series.pTempPV, nBegin, nEnd);
    s.tempSV = CurveFigures<false>(series.pTempSV, nBegin, nEnd);
    s.humiPV = CurveFigures<true>(series.pHumiPV, nBegin, nEnd);
    s.humiSV = CurveFigures<true>(series.pHumiSV, nBegin, nEnd);
    s.temp =
        DeviationFigures<false>(series.pTempPV, series.pTempSV, nBegin, nEnd, tolerances.nTemp);
    s.humi = DeviationFigures<true>(series.pHumiPV, series.pHumiSV, nBegin, nEnd, tolerances.nHumi);
    return s;
}
