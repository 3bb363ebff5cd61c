#include "analysis/programsteps.h"

#include "analysis/fourlanes.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The cancel flag is looked at once a block: often enough to stop within a millisecond or so.
constexpr std::int64_t kBlock = 1 << 16;

// Set values compare as samples: equal values, or both NaN, so that a stretch without a set
// value is one run and not a run a second.
bool SameSample(float a, float b)
{
    return a == b || (a != a && b != b);
}

class CCancelCheck
{
public:
    explicit CCancelCheck(const std::atomic<bool>* p) : m_p(p) {}
    bool Stopped() const { return m_p && m_p->load(std::memory_order_relaxed); }

private:
    const std::atomic<bool>* m_p;
};

struct CCurveSamples
{
    const float* pPV;
    const float* pSV;
    double dLimit; // |PV - SV| below this is within
};

// The running figures of PV over a stretch of seconds.
struct CValueFigures
{
    std::int64_t nCounted = 0;
    float fMin = std::numeric_limits<float>::infinity();
    float fMax = -std::numeric_limits<float>::infinity();
    double dSum = 0.0;

    void Take(float v)
    {
        if (v != v)
            return;
        ++nCounted;
        fMin = std::min(fMin, v);
        fMax = std::max(fMax, v);
        dSum += v;
    }

    void Into(CStepCurveFigures& f) const
    {
        f.nCounted = nCounted;
        if (nCounted == 0)
            return;
        f.fMin = fMin;
        f.fMax = fMax;
        f.dMean = dSum / static_cast<double>(nCounted);
    }
};

// The first second from which every second of the settle window, cut at the dwell's end, is
// within; -1 when there is none. Reads no further than the window past that second.
std::int64_t SettledAt(const CCurveSamples& c, std::int64_t nBegin, std::int64_t nEnd,
                       std::int64_t nWindow, const CCancelCheck& cancel, bool& bStopped)
{
    if (nWindow <= 0)
        return nBegin;
    std::int64_t nStreak = -1;
    for (std::int64_t nBlock = nBegin; nBlock < nEnd; nBlock += kBlock) {
        if (cancel.Stopped()) {
            bStopped = true;
            return -1;
        }
        const std::int64_t nStop = std::min(nEnd, nBlock + kBlock);
        for (std::int64_t i = nBlock; i < nStop; ++i) {
            const double dSize =
                std::fabs(static_cast<double>(c.pPV[i]) - static_cast<double>(c.pSV[i]));
            if (!(dSize < c.dLimit)) {
                nStreak = -1;
                continue;
            }
            if (nStreak < 0)
                nStreak = i;
            if (i + 1 - nStreak >= nWindow || i + 1 == nEnd)
                return nStreak;
        }
    }
    return -1;
}

// A block's figures of PV and of |PV - SV|, in four independent lanes so that the processor
// overlaps them. NaN is left out of the values and is never within.
struct CBlockFigures
{
    std::int64_t nCounted = 0;
    std::int64_t nWithin = 0;
    float fMin = std::numeric_limits<float>::infinity();
    float fMax = -std::numeric_limits<float>::infinity();
    double dSum = 0.0;
    double dMaxSize = -1.0; // -1: no deviation that is a number
};

CBlockFigures ScanBlock(const CCurveSamples& c, std::int64_t nBegin, std::int64_t nEnd)
{
    constexpr float kInf = std::numeric_limits<float>::infinity();
    std::int64_t anCounted[4] = {0, 0, 0, 0};
    std::int64_t anWithin[4] = {0, 0, 0, 0};
    float afMin[4] = {kInf, kInf, kInf, kInf};
    float afMax[4] = {-kInf, -kInf, -kInf, -kInf};
    double adSum[4] = {0.0, 0.0, 0.0, 0.0};
    double adMaxSize[4] = {-1.0, -1.0, -1.0, -1.0};
    auto lane = [&](int k, std::int64_t i) {
        const float v = c.pPV[i];
        const bool bTake = v == v;
        anCounted[k] += bTake;
        adSum[k] += bTake ? v : 0.0f;
        const float fLow = bTake ? v : kInf;
        const float fHigh = bTake ? v : -kInf;
        afMin[k] = fLow < afMin[k] ? fLow : afMin[k];
        afMax[k] = fHigh > afMax[k] ? fHigh : afMax[k];
        const double dSize = std::fabs(static_cast<double>(v) - static_cast<double>(c.pSV[i]));
        anWithin[k] += dSize < c.dLimit;
        adMaxSize[k] = dSize > adMaxSize[k] ? dSize : adMaxSize[k];
    };
    ForFourLanes(nBegin, nEnd, lane);
    CBlockFigures b;
    b.nCounted = (anCounted[0] + anCounted[1]) + (anCounted[2] + anCounted[3]);
    b.nWithin = (anWithin[0] + anWithin[1]) + (anWithin[2] + anWithin[3]);
    b.fMin = std::min(std::min(afMin[0], afMin[1]), std::min(afMin[2], afMin[3]));
    b.fMax = std::max(std::max(afMax[0], afMax[1]), std::max(afMax[2], afMax[3]));
    b.dSum = (adSum[0] + adSum[1]) + (adSum[2] + adSum[3]);
    b.dMaxSize =
        std::max(std::max(adMaxSize[0], adMaxSize[1]), std::max(adMaxSize[2], adMaxSize[3]));
    return b;
}

// Figures over the judged seconds nBegin to nEnd; in a dwell also its excursions, appended to
// excursions. Block by block: only a block with a new largest deviation is looked through
// again for its first second, and only one with a second outside for its excursions, which
// costs one more pass at most. False when cancelled.
bool JudgeSeconds(const CCurveSamples& c, std::int64_t nBegin, std::int64_t nEnd, bool bDwell,
                  std::int64_t nDelay, std::size_t nStep, int nCurve, CStepCurveFigures& f,
                  std::vector<CExcursion>& excursions, const CCancelCheck& cancel)
{
    CValueFigures values;
    double dLargestSize = -1.0;
    std::int64_t nWithin = 0;
    CExcursion run;
    run.nBegin = -1;
    double dPeakSize = -1.0;
    const std::int64_t nMinRun = std::max<std::int64_t>(nDelay, 1);
    auto close = [&](std::int64_t nAt) {
        if (run.nBegin >= 0 && nAt - run.nBegin >= nMinRun) {
            run.nEnd = nAt;
            run.nStep = nStep;
            run.nCurve = nCurve;
            excursions.push_back(run);
            ++f.nExcursions;
        }
        run.nBegin = -1;
    };
    auto deviation = [&c](std::int64_t i) {
        return static_cast<double>(c.pPV[i]) - static_cast<double>(c.pSV[i]);
    };
    constexpr std::int64_t kScan = 2048;
    for (std::int64_t nBlock = nBegin; nBlock < nEnd; nBlock += kScan) {
        if (((nBlock - nBegin) & (kBlock - 1)) == 0 && cancel.Stopped())
            return false;
        const std::int64_t nStop = std::min(nEnd, nBlock + kScan);
        const CBlockFigures b = ScanBlock(c, nBlock, nStop);
        values.nCounted += b.nCounted;
        values.dSum += b.dSum;
        values.fMin = std::min(values.fMin, b.fMin);
        values.fMax = std::max(values.fMax, b.fMax);
        nWithin += b.nWithin;
        if (b.dMaxSize > dLargestSize) {
            dLargestSize = b.dMaxSize;
            for (std::int64_t i = nBlock; i < nStop; ++i) {
                if (std::fabs(deviation(i)) == b.dMaxSize) {
                    f.dLargest = deviation(i);
                    break;
                }
            }
        }
        if (!bDwell)
            continue;
        if (b.nWithin == nStop - nBlock) {
            close(nBlock);
            continue;
        }
        for (std::int64_t i = nBlock; i < nStop; ++i) {
            const double dDeviation = deviation(i);
            const double dSize = std::fabs(dDeviation);
            if (dSize < c.dLimit) {
                close(i);
                continue;
            }
            if (run.nBegin < 0) {
                run.nBegin = i;
                run.dPeak = std::numeric_limits<double>::quiet_NaN();
                dPeakSize = -1.0;
            }
            if (dSize > dPeakSize) {
                dPeakSize = dSize;
                run.dPeak = dDeviation;
            }
        }
    }
    if (bDwell)
        close(nEnd);
    f.nJudged = nEnd - nBegin;
    f.nWithin = nWithin;
    // A step whose deviations are all NaN has none to show.
    if (dLargestSize < 0.0)
        f.dLargest = std::numeric_limits<double>::quiet_NaN();
    values.Into(f);
    return true;
}

bool WholeStepValues(const float* pPV, std::int64_t nBegin, std::int64_t nEnd, CStepCurveFigures& f,
                     const CCancelCheck& cancel)
{
    CValueFigures values;
    for (std::int64_t nBlock = nBegin; nBlock < nEnd; nBlock += kBlock) {
        if (cancel.Stopped())
            return false;
        const std::int64_t nStop = std::min(nEnd, nBlock + kBlock);
        for (std::int64_t i = nBlock; i < nStop; ++i)
            values.Take(pPV[i]);
    }
    values.Into(f);
    return true;
}

// Judges one curve over a step; false when cancelled.
bool JudgeCurve(const CCurveSamples& c, const CStepOptions& options, std::size_t nStep, int nCurve,
                CJudgedStep& step, std::vector<CExcursion>& excursions, const CCancelCheck& cancel)
{
    CStepCurveFigures& f = step.curves[nCurve];
    f.bJudged = true;
    f.fFromSV = c.pSV[step.nBegin];
    f.fToSV = c.pSV[step.nEnd - 1];
    std::int64_t nJudgedFrom = step.nBegin;
    if (step.bDwell) {
        bool bStopped = false;
        f.nSettledAt =
            SettledAt(c, step.nBegin, step.nEnd, options.nSettleWindow, cancel, bStopped);
        if (bStopped)
            return false;
        if (f.nSettledAt < 0) {
            f.verdict = EVerdict::Fail;
            return WholeStepValues(c.pPV, step.nBegin, step.nEnd, f, cancel);
        }
        nJudgedFrom = f.nSettledAt;
    }
    if (!JudgeSeconds(c, nJudgedFrom, step.nEnd, step.bDwell, options.nExcursionDelay, nStep,
                      nCurve, f, excursions, cancel))
        return false;
    if (step.bDwell)
        f.verdict = f.nExcursions == 0 ? EVerdict::Pass : EVerdict::Fail;
    return true;
}

// A plain view's channel c, sample 0 first.
const float* Dense(const CRecordingView& series, int c)
{
    const float* p = nullptr;
    series.ForEachRun([&](std::int64_t, std::int64_t, const float* const apValues[4], bool) {
        p = apValues[c];
        return false;
    });
    return p;
}

class CStepJudge
{
public:
    CStepJudge(const CRecordingView& series, const CStepOptions& options,
               const CCancelCheck& cancel, CProgramAnalysis& analysis)
        : m_options(options), m_cancel(cancel),
          m_analysis(analysis), m_curves{{Dense(series, 0), Dense(series, 1),
                                          WithinLimit(options.tolerances.nTemp)},
                                         {Dense(series, 2), Dense(series, 3),
                                          WithinLimit(options.tolerances.nHumi)}}
    {
    }

    // False when cancelled.
    bool Judge(std::int64_t nBegin, std::int64_t nEnd, bool bDwell, bool bHumiControlled)
    {
        CJudgedStep step;
        step.bDwell = bDwell;
        step.nBegin = nBegin;
        step.nEnd = nEnd;
        const std::size_t nStep = m_analysis.steps.size();
        std::vector<CExcursion>& excursions = m_analysis.excursions;
        const std::size_t nFirst = excursions.size();
        if (!JudgeCurve(m_curves[kStepTemp], m_options, nStep, kStepTemp, step, excursions,
                        m_cancel))
            return false;
        const std::size_t nHumiFirst = excursions.size();
        if (bHumiControlled && !JudgeCurve(m_curves[kStepHumi], m_options, nStep, kStepHumi, step,
                                           excursions, m_cancel))
            return false;
        if (bDwell) {
            const bool bPass =
                step.curves[kStepTemp].verdict == EVerdict::Pass &&
                (!bHumiControlled || step.curves[kStepHumi].verdict == EVerdict::Pass);
            step.verdict = bPass ? EVerdict::Pass : EVerdict::Fail;
            ++m_analysis.nDwells;
            m_analysis.nDwellsPassed += bPass;
        }
        // Each curve's are in time order; the merge keeps Temp's first where two start
        // together.
        const auto first = excursions.begin() + static_cast<std::ptrdiff_t>(nFirst);
        const auto humi = excursions.begin() + static_cast<std::ptrdiff_t>(nHumiFirst);
        if (humi != first && humi != excursions.end())
            std::inplace_merge(
                first, humi, excursions.end(),
                [](const CExcursion& a, const CExcursion& b) { return a.nBegin < b.nBegin; });
        m_analysis.steps.push_back(step);
        return true;
    }

private:
    const CStepOptions& m_options;
    const CCancelCheck& m_cancel;
    CProgramAnalysis& m_analysis;
    CCurveSamples m_curves[2];
};

} // namespace

CProgramAnalysis AnalyseProgramSteps(const CRecordingView& series, std::int64_t nBegin,
                                     std::int64_t nEnd, const CStepOptions& options,
                                     const std::atomic<bool>* pCancel)
{
    CProgramAnalysis analysis;
    nBegin = std::max<std::int64_t>(nBegin, 0);
    nEnd = std::min(nEnd, series.GetCount());
    if (nEnd <= nBegin)
        return analysis;
    std::vector<float> aValues[4];
    for (int c = 0; c < 4; ++c) {
        aValues[c].resize(static_cast<std::size_t>(nEnd - nBegin));
        series.CopyOut(kChannels[c], nBegin, nEnd, aValues[c].data());
    }
    const CRecordingView plain(aValues[0].data() - nBegin, aValues[1].data() - nBegin,
                               aValues[2].data() - nBegin, aValues[3].data() - nBegin, nEnd);
    const CCancelCheck cancel(pCancel);
    CStepJudge judge(plain, options, cancel, analysis);
    const float* const pTempSV = aValues[1].data() - nBegin;
    const float* const pHumiSV = aValues[3].data() - nBegin;
    const std::int64_t nMinDwell = std::max<std::int64_t>(options.nMinDwell, 1);
    // The constant runs, each looked at once it ends: a dwell ends the ramp before it.
    std::int64_t nRampBegin = -1;
    bool bRampHumi = true;
    bool bStopped = false;
    std::int64_t i = nBegin;
    while (i < nEnd && !bStopped) {
        const float fTemp = pTempSV[i];
        const float fHumi = pHumiSV[i];
        std::int64_t j = i + 1;
        while (j < nEnd && SameSample(pTempSV[j], fTemp) && SameSample(pHumiSV[j], fHumi)) {
            ++j;
            if ((j & (kBlock - 1)) == 0 && cancel.Stopped())
                break;
        }
        if (cancel.Stopped())
            break;
        // NaN is not above 0: such a step's humidity is not judged.
        const bool bHumi = fHumi > 0.0f;
        if (j - i >= nMinDwell) {
            if (nRampBegin >= 0)
                bStopped = !judge.Judge(nRampBegin, i, false, bRampHumi);
            nRampBegin = -1;
            bStopped = bStopped || !judge.Judge(i, j, true, bHumi);
        } else if (nRampBegin < 0) {
            nRampBegin = i;
            bRampHumi = bHumi;
        } else {
            bRampHumi = bRampHumi && bHumi;
        }
        i = j;
    }
    if (!bStopped && nRampBegin >= 0 && !cancel.Stopped())
        bStopped = !judge.Judge(nRampBegin, nEnd, false, bRampHumi);
    analysis.bCancelled = bStopped || cancel.Stopped();
    if (analysis.nDwells > 0)
        analysis.verdict =
            analysis.nDwellsPassed == analysis.nDwells ? EVerdict::Pass : EVerdict::Fail;
    return analysis;
}
