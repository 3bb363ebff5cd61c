#include "recorder/runstatistics.h"

#include <algorithm>
#include <cmath>

namespace {

// One pass over a curve. The sum runs in four lanes so that the additions do not wait on
// one another; its rounding stays far below the two decimals shown.
CCurveFigures CurveFigures(const float* p, std::int64_t nBegin, std::int64_t nEnd,
                           bool bSkipNegative)
{
    CCurveFigures f;
    if (!p || nBegin >= nEnd)
        return f;
    double adSum[4] = {0.0, 0.0, 0.0, 0.0};
    std::int64_t nCounted = 0;
    float fMin = 0.0f;
    float fMax = 0.0f;
    std::int64_t nMinAt = -1;
    std::int64_t nMaxAt = -1;
    auto take = [&](std::int64_t i, double& dSum) {
        const float v = p[i];
        if (bSkipNegative && v < 0.0f)
            return;
        dSum += v;
        if (nMinAt < 0) {
            fMin = fMax = v;
            nMinAt = nMaxAt = i;
        } else if (v < fMin) {
            fMin = v;
            nMinAt = i;
        } else if (v > fMax) {
            fMax = v;
            nMaxAt = i;
        }
        ++nCounted;
    };
    std::int64_t i = nBegin;
    for (; i + 4 <= nEnd; i += 4) {
        take(i, adSum[0]);
        take(i + 1, adSum[1]);
        take(i + 2, adSum[2]);
        take(i + 3, adSum[3]);
    }
    for (; i < nEnd; ++i)
        take(i, adSum[0]);
    if (nCounted == 0)
        return f;
    f.nCounted = nCounted;
    f.fMin = fMin;
    f.nMinAt = nMinAt;
    f.fMax = fMax;
    f.nMaxAt = nMaxAt;
    f.dMean = ((adSum[0] + adSum[1]) + (adSum[2] + adSum[3])) / static_cast<double>(nCounted);
    return f;
}

CDeviationFigures DeviationFigures(const float* pPV, const float* pSV, std::int64_t nBegin,
                                   std::int64_t nEnd, int nTolerance, bool bSkipNegative)
{
    CDeviationFigures f;
    if (!pPV || !pSV || nBegin >= nEnd)
        return f;
    // Values carry two decimals, and a float holds them to about 1e-5 over the recorders'
    // range: half a hundredth above the tolerance separates "shows as within" from not.
    const double dLimit = (std::max(nTolerance, 0) + 0.5) / 100.0;
    std::int64_t nCounted = 0;
    std::int64_t nWithin = 0;
    double dLargestSize = -1.0;
    for (std::int64_t i = nBegin; i < nEnd; ++i) {
        const float fPV = pPV[i];
        const float fSV = pSV[i];
        if (bSkipNegative && (fPV < 0.0f || fSV < 0.0f))
            continue;
        const double d = static_cast<double>(fPV) - static_cast<double>(fSV);
        const double dSize = std::fabs(d);
        ++nCounted;
        nWithin += dSize < dLimit;
        if (dSize > dLargestSize) {
            dLargestSize = dSize;
            f.dLargest = d;
            f.nLargestAt = i;
        }
    }
    f.nCounted = nCounted;
    f.nWithin = nWithin;
    return f;
}

} // namespace

CRunStatistics ComputeRunStatistics(const CSeriesSamples& series, std::int64_t nBegin,
                                    std::int64_t nEnd, const CTolerances& tolerances)
{
    nBegin = std::max<std::int64_t>(nBegin, 0);
    nEnd = std::min(nEnd, series.nCount);
    CRunStatistics s;
    s.tempPV = CurveFigures(series.pTempPV, nBegin, nEnd, false);
    s.tempSV = CurveFigures(series.pTempSV, nBegin, nEnd, false);
    s.humiPV = CurveFigures(series.pHumiPV, nBegin, nEnd, true);
    s.humiSV = CurveFigures(series.pHumiSV, nBegin, nEnd, true);
    s.temp =
        DeviationFigures(series.pTempPV, series.pTempSV, nBegin, nEnd, tolerances.nTemp, false);
    s.humi = DeviationFigures(series.pHumiPV, series.pHumiSV, nBegin, nEnd, tolerances.nHumi, true);
    return s;
}
