#include "analysis/runstatistics.h"

#include "analysis/fourlanes.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <system_error>
#include <thread>

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr std::int64_t kBlock = 2048;

// A block's sum, count, minimum and maximum, in four independent lanes so that the processor
// overlaps them; a sample left out counts as nothing, +inf for the minimum and -inf for the
// maximum. A record may hold an infinity too ("1e39"), so a block's extreme is taken
// whenever it has counted samples, not only where it passes the sentinel.
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
    auto lane = [&](int k, float v) {
        // NaN (a record may write "nan") is no value and is left out; so is a humidity
        // below 0.
        const bool bTake = bSkipNegative ? v >= 0.0f : v == v;
        adSum[k] += bTake ? v : 0.0f;
        anCounted[k] += bTake;
        const float fLow = bTake ? v : kInf;
        const float fHigh = bTake ? v : -kInf;
        afMin[k] = fLow < afMin[k] ? fLow : afMin[k];
        afMax[k] = fHigh > afMax[k] ? fHigh : afMax[k];
    };
    ForFourLanes(0, n, [&](int k, std::int64_t i) { lane(k, p[i]); });
    CBlock b;
    b.dSum = (adSum[0] + adSum[1]) + (adSum[2] + adSum[3]);
    b.nCounted = anCounted[0] + anCounted[1] + anCounted[2] + anCounted[3];
    b.fMin = std::min(std::min(afMin[0], afMin[1]), std::min(afMin[2], afMin[3]));
    b.fMax = std::max(std::max(afMax[0], afMax[1]), std::max(afMax[2], afMax[3]));
    return b;
}

// A curve's figures, taken block by block; only a block that holds a new extreme is looked
// through again for the first sample holding it. A series that rises all along does that for
// every block, which costs one more pass at most.
template <bool bSkipNegative> class CCurveScan
{
public:
    explicit CCurveScan(const float* p) : m_p(p) {}

    void Scan(std::int64_t nBlock, std::int64_t n)
    {
        const float* p = m_p + nBlock;
        const CBlock b = ScanBlock<bSkipNegative>(p, n);
        m_dSum += b.dSum;
        m_nCounted += b.nCounted;
        if (b.nCounted == 0)
            return;
        if (m_nMinAt < 0 || b.fMin < m_fMin) {
            m_fMin = b.fMin;
            m_nMinAt = nBlock + (std::find(p, p + n, m_fMin) - p);
        }
        if (m_nMaxAt < 0 || b.fMax > m_fMax) {
            m_fMax = b.fMax;
            m_nMaxAt = nBlock + (std::find(p, p + n, m_fMax) - p);
        }
    }

    CCurveFigures Result() const
    {
        CCurveFigures f;
        if (m_nCounted == 0)
            return f;
        f.nCounted = m_nCounted;
        f.fMin = m_fMin;
        f.nMinAt = m_nMinAt;
        f.fMax = m_fMax;
        f.nMaxAt = m_nMaxAt;
        f.dMean = m_dSum / static_cast<double>(m_nCounted);
        return f;
    }

private:
    const float* m_p;
    double m_dSum = 0.0;
    std::int64_t m_nCounted = 0;
    float m_fMin = kInf;
    float m_fMax = -kInf;
    std::int64_t m_nMinAt = -1;
    std::int64_t m_nMaxAt = -1;
};

// PV against SV block by block, as the curves are: the largest deviation's block is looked
// through again for its first second.
template <bool bSkipNegative> class CDeviationScan
{
public:
    CDeviationScan(const float* pPV, const float* pSV, int nTolerance)
        : m_pPV(pPV), m_pSV(pSV), m_dLimit(WithinLimit(nTolerance))
    {
    }

    void Scan(std::int64_t nBlock, std::int64_t n)
    {
        const std::int64_t nStop = nBlock + n;
        std::int64_t anCounted[4] = {0, 0, 0, 0};
        std::int64_t anWithin[4] = {0, 0, 0, 0};
        double adMax[4] = {-1.0, -1.0, -1.0, -1.0};
        auto lane = [&](int k, std::int64_t i) {
            const double dSize = Size(i);
            anCounted[k] += dSize >= 0.0;
            anWithin[k] += dSize >= 0.0 && dSize < m_dLimit;
            adMax[k] = dSize > adMax[k] ? dSize : adMax[k];
        };
        ForFourLanes(nBlock, nStop, lane);
        m_f.nCounted += (anCounted[0] + anCounted[1]) + (anCounted[2] + anCounted[3]);
        m_f.nWithin += (anWithin[0] + anWithin[1]) + (anWithin[2] + anWithin[3]);
        const double dMax = std::max(std::max(adMax[0], adMax[1]), std::max(adMax[2], adMax[3]));
        if (dMax > m_dLargestSize) {
            m_dLargestSize = dMax;
            for (std::int64_t j = nBlock; j < nStop; ++j) {
                if (Size(j) == dMax) {
                    m_f.nLargestAt = j;
                    m_f.dLargest = static_cast<double>(m_pPV[j]) - static_cast<double>(m_pSV[j]);
                    break;
                }
            }
        }
    }

    const CDeviationFigures& Result() const { return m_f; }

private:
    // A second left out has no size at all: -1 is below every deviation's.
    double Size(std::int64_t i) const
    {
        const float fPV = m_pPV[i];
        const float fSV = m_pSV[i];
        if (bSkipNegative && (fPV < 0.0f || fSV < 0.0f))
            return -1.0;
        return std::fabs(static_cast<double>(fPV) - static_cast<double>(fSV));
    }

    const float* m_pPV;
    const float* m_pSV;
    double m_dLimit;
    double m_dLargestSize = -1.0;
    CDeviationFigures m_f;
};

} // namespace

namespace {

// One quantity's PV and SV and their deviation, block by block: each block is read from memory
// once, and the deviation finds it still in the cache.
template <bool bSkipNegative>
void ScanQuantity(const float* pPV, const float* pSV, int nTolerance, std::int64_t nBegin,
                  std::int64_t nEnd, CCurveFigures& pv, CCurveFigures& sv,
                  CDeviationFigures& deviation)
{
    CCurveScan<bSkipNegative> scanPV(pPV);
    CCurveScan<bSkipNegative> scanSV(pSV);
    CDeviationScan<bSkipNegative> scanDeviation(pPV, pSV, nTolerance);
    for (std::int64_t nBlock = nBegin; nBlock < nEnd; nBlock += kBlock) {
        const std::int64_t n = std::min(kBlock, nEnd - nBlock);
        scanPV.Scan(nBlock, n);
        scanSV.Scan(nBlock, n);
        scanDeviation.Scan(nBlock, n);
    }
    pv = scanPV.Result();
    sv = scanSV.Result();
    deviation = scanDeviation.Result();
}

// From about a day of samples on, humidity is worth a thread of its own beside temperature.
constexpr std::int64_t kSecondThreadFrom = 1 << 17;

} // namespace

CRunStatistics ComputeRunStatistics(const CRecordingView& series, std::int64_t nBegin,
                                    std::int64_t nEnd, const CTolerances& tolerances)
{
    nBegin = std::max<std::int64_t>(nBegin, 0);
    nEnd = std::min(nEnd, series.nCount);
    CRunStatistics s;
    if (!series.pTempPV || !series.pTempSV || !series.pHumiPV || !series.pHumiSV)
        return s;
    const auto temp = [&] {
        ScanQuantity<false>(series.pTempPV, series.pTempSV, tolerances.nTemp, nBegin, nEnd,
                            s.tempPV, s.tempSV, s.temp);
    };
    const auto humi = [&] {
        ScanQuantity<true>(series.pHumiPV, series.pHumiSV, tolerances.nHumi, nBegin, nEnd, s.humiPV,
                           s.humiSV, s.humi);
    };
    if (nEnd - nBegin >= kSecondThreadFrom) {
        std::thread humiThread;
        try {
            humiThread = std::thread(humi);
        } catch (const std::system_error&) {
            // No thread to be had: both on this one.
        }
        temp();
        if (humiThread.joinable())
            humiThread.join();
        else
            humi();
        return s;
    }
    temp();
    humi();
    return s;
}
