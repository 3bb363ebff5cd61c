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
// every block, which costs one more pass at most. A held run counts its value once per second.
template <bool bSkipNegative> class CCurveScan
{
public:
    // p: n values a second, sample nBlock first.
    void Scan(const float* p, std::int64_t nBlock, std::int64_t n)
    {
        Take(ScanBlock<bSkipNegative>(p, n), p, nBlock, n);
    }

    // n seconds that all hold v, sample nBlock first.
    void ScanHeld(float v, std::int64_t nBlock, std::int64_t n)
    {
        CBlock b = ScanBlock<bSkipNegative>(&v, 1);
        b.dSum *= static_cast<double>(n);
        b.nCounted *= n;
        Take(b, &v, nBlock, 1);
    }

private:
    void Take(const CBlock& b, const float* p, std::int64_t nBlock, std::int64_t n)
    {
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

public:
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
    explicit CDeviationScan(int nTolerance) : m_dLimit(WithinLimit(nTolerance)) {}

    // pPV, pSV: n values a second, sample nBlock first.
    void Scan(const float* pPV, const float* pSV, std::int64_t nBlock, std::int64_t n)
    {
        std::int64_t anCounted[4] = {0, 0, 0, 0};
        std::int64_t anWithin[4] = {0, 0, 0, 0};
        double adMax[4] = {-1.0, -1.0, -1.0, -1.0};
        auto lane = [&](int k, std::int64_t i) {
            const double dSize = Size(pPV[i], pSV[i]);
            anCounted[k] += dSize >= 0.0;
            anWithin[k] += dSize >= 0.0 && dSize < m_dLimit;
            adMax[k] = dSize > adMax[k] ? dSize : adMax[k];
        };
        ForFourLanes(0, n, lane);
        m_f.nCounted += (anCounted[0] + anCounted[1]) + (anCounted[2] + anCounted[3]);
        m_f.nWithin += (anWithin[0] + anWithin[1]) + (anWithin[2] + anWithin[3]);
        const double dMax = std::max(std::max(adMax[0], adMax[1]), std::max(adMax[2], adMax[3]));
        if (dMax > m_dLargestSize) {
            m_dLargestSize = dMax;
            for (std::int64_t j = 0; j < n; ++j) {
                if (Size(pPV[j], pSV[j]) == dMax) {
                    m_f.nLargestAt = nBlock + j;
                    m_f.dLargest = static_cast<double>(pPV[j]) - static_cast<double>(pSV[j]);
                    break;
                }
            }
        }
    }

    // n seconds that all hold fPV and fSV, sample nBlock first.
    void ScanHeld(float fPV, float fSV, std::int64_t nBlock, std::int64_t n)
    {
        const double dSize = Size(fPV, fSV);
        if (dSize >= 0.0) {
            m_f.nCounted += n;
            m_f.nWithin += dSize < m_dLimit ? n : 0;
        }
        if (dSize > m_dLargestSize) {
            m_dLargestSize = dSize;
            m_f.nLargestAt = nBlock;
            m_f.dLargest = static_cast<double>(fPV) - static_cast<double>(fSV);
        }
    }

    const CDeviationFigures& Result() const { return m_f; }

private:
    // A second left out has no size at all: -1 is below every deviation's.
    static double Size(float fPV, float fSV)
    {
        if (bSkipNegative && (fPV < 0.0f || fSV < 0.0f))
            return -1.0;
        return std::fabs(static_cast<double>(fPV) - static_cast<double>(fSV));
    }

    double m_dLimit;
    double m_dLargestSize = -1.0;
    CDeviationFigures m_f;
};

} // namespace

namespace {

// One quantity's PV and SV and their deviation, run by run and a dense run block by block:
// each block is read from memory once, and the deviation finds it still in the cache. A held
// run costs the same as one sample.
template <bool bSkipNegative>
void ScanQuantity(const CRecordingView& series, EChannel ePV, EChannel eSV, int nTolerance,
                  std::int64_t nBegin, std::int64_t nEnd, CCurveFigures& pv, CCurveFigures& sv,
                  CDeviationFigures& deviation)
{
    CCurveScan<bSkipNegative> scanPV;
    CCurveScan<bSkipNegative> scanSV;
    CDeviationScan<bSkipNegative> scanDeviation(nTolerance);
    const int nPV = static_cast<int>(ePV);
    const int nSV = static_cast<int>(eSV);
    series.Stretch(nBegin, nEnd)
        .ForEachRun([&](std::int64_t nFirst, std::int64_t nSeconds, const float* const apValues[4],
                        bool bHeld) {
            const std::int64_t nAt = nBegin + nFirst;
            if (bHeld) {
                scanPV.ScanHeld(*apValues[nPV], nAt, nSeconds);
                scanSV.ScanHeld(*apValues[nSV], nAt, nSeconds);
                scanDeviation.ScanHeld(*apValues[nPV], *apValues[nSV], nAt, nSeconds);
                return;
            }
            for (std::int64_t i = 0; i < nSeconds; i += kBlock) {
                const std::int64_t n = std::min(kBlock, nSeconds - i);
                scanPV.Scan(apValues[nPV] + i, nAt + i, n);
                scanSV.Scan(apValues[nSV] + i, nAt + i, n);
                scanDeviation.Scan(apValues[nPV] + i, apValues[nSV] + i, nAt + i, n);
            }
        });
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
    nEnd = std::min(nEnd, series.GetCount());
    CRunStatistics s;
    if (nEnd <= nBegin)
        return s;
    const auto temp = [&] {
        ScanQuantity<false>(series, EChannel::TempPV, EChannel::TempSV, tolerances.nTemp, nBegin,
                            nEnd, s.tempPV, s.tempSV, s.temp);
    };
    const auto humi = [&] {
        ScanQuantity<true>(series, EChannel::HumiPV, EChannel::HumiSV, tolerances.nHumi, nBegin,
                           nEnd, s.humiPV, s.humiSV, s.humi);
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
