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

// One curve of a step: which channels hold its PV and SV, and its tolerance.
struct CCurveSamples
{
    int nPV;
    int nSV;
    double dLimit; // |PV - SV| below this is within
};

// Calls f(nAt, nSeconds, pPV, pSV, bHeld) for the runs of samples nBegin to nEnd of a curve,
// nAt being the run's first sample in the series; f returns false to stop. False when stopped
// or cancelled: the cancel flag is looked at once a run.
template <class F>
bool ForCurveRuns(const CRecordingView& series, const CCurveSamples& c, std::int64_t nBegin,
                  std::int64_t nEnd, const CCancelCheck& cancel, F&& f)
{
    return series.Stretch(nBegin, nEnd)
        .ForEachRun([&](std::int64_t nFirst, std::int64_t nSeconds, const float* const apValues[4],
                        bool bHeld) {
            return !cancel.Stopped() &&
                   f(nBegin + nFirst, nSeconds, apValues[c.nPV], apValues[c.nSV], bHeld);
        });
}

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
    // v standing for n seconds.
    void TakeHeld(float v, std::int64_t n)
    {
        if (v != v)
            return;
        nCounted += n;
        fMin = std::min(fMin, v);
        fMax = std::max(fMax, v);
        dSum += static_cast<double>(n) * v;
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

double DeviationSize(float fPV, float fSV)
{
    return std::fabs(static_cast<double>(fPV) - static_cast<double>(fSV));
}

// The first second from which every second of the settle window, cut at the dwell's end, is
// within; -1 when there is none. Reads no further than the window past that second. A held
// run is within or not for all its seconds, so it extends or breaks the streak at once.
std::int64_t SettledAt(const CRecordingView& series, const CCurveSamples& c, std::int64_t nBegin,
                       std::int64_t nEnd, std::int64_t nWindow, const CCancelCheck& cancel,
                       bool& bStopped)
{
    if (nWindow <= 0)
        return nBegin;
    std::int64_t nStreak = -1;
    std::int64_t nSettled = -1;
    // Whether the streak, with seconds up to nTo within, has settled.
    auto settled = [&](std::int64_t nTo) { return nTo - nStreak >= nWindow || nTo == nEnd; };
    const bool bWhole =
        ForCurveRuns(series, c, nBegin, nEnd, cancel,
                     [&](std::int64_t nAt, std::int64_t nSeconds, const float* pPV,
                         const float* pSV, bool bHeld) {
                         if (bHeld) {
                             if (!(DeviationSize(*pPV, *pSV) < c.dLimit)) {
                                 nStreak = -1;
                                 return true;
                             }
                             if (nStreak < 0)
                                 nStreak = nAt;
                             if (!settled(nAt + nSeconds))
                                 return true;
                             nSettled = nStreak;
                             return false;
                         }
                         for (std::int64_t k = 0; k < nSeconds; ++k) {
                             if ((k & (kBlock - 1)) == kBlock - 1 && cancel.Stopped())
                                 return false;
                             if (!(DeviationSize(pPV[k], pSV[k]) < c.dLimit)) {
                                 nStreak = -1;
                                 continue;
                             }
                             if (nStreak < 0)
                                 nStreak = nAt + k;
                             if (settled(nAt + k + 1)) {
                                 nSettled = nStreak;
                                 return false;
                             }
                         }
                         return true;
                     });
    bStopped = !bWhole && nSettled < 0 && cancel.Stopped();
    return bStopped ? -1 : nSettled;
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

CBlockFigures ScanBlock(const float* pPV, const float* pSV, double dLimit, std::int64_t nSeconds)
{
    constexpr float kInf = std::numeric_limits<float>::infinity();
    std::int64_t anCounted[4] = {0, 0, 0, 0};
    std::int64_t anWithin[4] = {0, 0, 0, 0};
    float afMin[4] = {kInf, kInf, kInf, kInf};
    float afMax[4] = {-kInf, -kInf, -kInf, -kInf};
    double adSum[4] = {0.0, 0.0, 0.0, 0.0};
    double adMaxSize[4] = {-1.0, -1.0, -1.0, -1.0};
    auto lane = [&](int k, std::int64_t i) {
        const float v = pPV[i];
        const bool bTake = v == v;
        anCounted[k] += bTake;
        adSum[k] += bTake ? v : 0.0f;
        const float fLow = bTake ? v : kInf;
        const float fHigh = bTake ? v : -kInf;
        afMin[k] = fLow < afMin[k] ? fLow : afMin[k];
        afMax[k] = fHigh > afMax[k] ? fHigh : afMax[k];
        const double dSize = DeviationSize(v, pSV[i]);
        anWithin[k] += dSize < dLimit;
        adMaxSize[k] = dSize > adMaxSize[k] ? dSize : adMaxSize[k];
    };
    ForFourLanes(0, nSeconds, lane);
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

// Figures over judged seconds, taken run by run in time order; in a dwell also its
// excursions, appended to excursions. A dense run goes block by block: only a block with a
// new largest deviation is looked through again for its first second, and only one with a
// second outside for its excursions, which costs one more pass at most. A held run has one
// deviation for all its seconds and costs as much as one.
class CSecondsJudge
{
public:
    CSecondsJudge(const CCurveSamples& c, bool bDwell, std::int64_t nDelay, std::size_t nStep,
                  int nCurve, CStepCurveFigures& f, std::vector<CExcursion>& excursions)
        : m_c(c), m_bDwell(bDwell), m_nMinRun(std::max<std::int64_t>(nDelay, 1)), m_nStep(nStep),
          m_nCurve(nCurve), m_f(f), m_excursions(excursions)
    {
        m_run.nBegin = -1;
    }

    // False when cancelled.
    bool Dense(std::int64_t nAt, std::int64_t nSeconds, const float* pPV, const float* pSV,
               const CCancelCheck& cancel)
    {
        constexpr std::int64_t kScan = 2048;
        for (std::int64_t k = 0; k < nSeconds; k += kScan) {
            if ((k & (kBlock - 1)) == 0 && cancel.Stopped())
                return false;
            const std::int64_t n = std::min(kScan, nSeconds - k);
            const CBlockFigures b = ScanBlock(pPV + k, pSV + k, m_c.dLimit, n);
            m_values.nCounted += b.nCounted;
            m_values.dSum += b.dSum;
            m_values.fMin = std::min(m_values.fMin, b.fMin);
            m_values.fMax = std::max(m_values.fMax, b.fMax);
            m_nWithin += b.nWithin;
            if (b.dMaxSize > m_dLargestSize) {
                m_dLargestSize = b.dMaxSize;
                for (std::int64_t i = k; i < k + n; ++i) {
                    if (DeviationSize(pPV[i], pSV[i]) == b.dMaxSize) {
                        m_f.dLargest = Deviation(pPV[i], pSV[i]);
                        break;
                    }
                }
            }
            if (!m_bDwell)
                continue;
            if (b.nWithin == n) {
                Close(nAt + k);
                continue;
            }
            for (std::int64_t i = k; i < k + n; ++i)
                Second(nAt + i, pPV[i], pSV[i]);
        }
        return true;
    }

    void Held(std::int64_t nAt, std::int64_t nSeconds, float fPV, float fSV)
    {
        m_values.TakeHeld(fPV, nSeconds);
        const double dSize = DeviationSize(fPV, fSV);
        if (dSize < m_c.dLimit)
            m_nWithin += nSeconds;
        if (dSize > m_dLargestSize) {
            m_dLargestSize = dSize;
            m_f.dLargest = Deviation(fPV, fSV);
        }
        // Its first second opens or closes an excursion as all the others would.
        if (m_bDwell)
            Second(nAt, fPV, fSV);
    }

    void Finish(std::int64_t nBegin, std::int64_t nEnd)
    {
        if (m_bDwell)
            Close(nEnd);
        m_f.nJudged = nEnd - nBegin;
        m_f.nWithin = m_nWithin;
        // A step whose deviations are all NaN has none to show.
        if (m_dLargestSize < 0.0)
            m_f.dLargest = std::numeric_limits<double>::quiet_NaN();
        m_values.Into(m_f);
    }

private:
    static double Deviation(float fPV, float fSV)
    {
        return static_cast<double>(fPV) - static_cast<double>(fSV);
    }

    void Close(std::int64_t nAt)
    {
        if (m_run.nBegin >= 0 && nAt - m_run.nBegin >= m_nMinRun) {
            m_run.nEnd = nAt;
            m_run.nStep = m_nStep;
            m_run.nCurve = m_nCurve;
            m_excursions.push_back(m_run);
            ++m_f.nExcursions;
        }
        m_run.nBegin = -1;
    }

    void Second(std::int64_t i, float fPV, float fSV)
    {
        const double dDeviation = Deviation(fPV, fSV);
        const double dSize = std::fabs(dDeviation);
        if (dSize < m_c.dLimit) {
            Close(i);
            return;
        }
        if (m_run.nBegin < 0) {
            m_run.nBegin = i;
            m_run.dPeak = std::numeric_limits<double>::quiet_NaN();
            m_dPeakSize = -1.0;
        }
        if (dSize > m_dPeakSize) {
            m_dPeakSize = dSize;
            m_run.dPeak = dDeviation;
        }
    }

    const CCurveSamples& m_c;
    const bool m_bDwell;
    const std::int64_t m_nMinRun;
    const std::size_t m_nStep;
    const int m_nCurve;
    CStepCurveFigures& m_f;
    std::vector<CExcursion>& m_excursions;
    CValueFigures m_values;
    double m_dLargestSize = -1.0;
    std::int64_t m_nWithin = 0;
    CExcursion m_run;
    double m_dPeakSize = -1.0;
};

// Figures over the judged seconds nBegin to nEnd. False when cancelled.
bool JudgeSeconds(const CRecordingView& series, const CCurveSamples& c, std::int64_t nBegin,
                  std::int64_t nEnd, bool bDwell, std::int64_t nDelay, std::size_t nStep,
                  int nCurve, CStepCurveFigures& f, std::vector<CExcursion>& excursions,
                  const CCancelCheck& cancel)
{
    CSecondsJudge judge(c, bDwell, nDelay, nStep, nCurve, f, excursions);
    const bool bWhole = ForCurveRuns(series, c, nBegin, nEnd, cancel,
                                     [&](std::int64_t nAt, std::int64_t nSeconds, const float* pPV,
                                         const float* pSV, bool bHeld) {
                                         if (!bHeld)
                                             return judge.Dense(nAt, nSeconds, pPV, pSV, cancel);
                                         judge.Held(nAt, nSeconds, *pPV, *pSV);
                                         return true;
                                     });
    if (!bWhole)
        return false;
    judge.Finish(nBegin, nEnd);
    return true;
}

bool WholeStepValues(const CRecordingView& series, const CCurveSamples& c, std::int64_t nBegin,
                     std::int64_t nEnd, CStepCurveFigures& f, const CCancelCheck& cancel)
{
    CValueFigures values;
    const bool bWhole = ForCurveRuns(
        series, c, nBegin, nEnd, cancel,
        [&](std::int64_t, std::int64_t nSeconds, const float* pPV, const float*, bool bHeld) {
            if (bHeld) {
                values.TakeHeld(*pPV, nSeconds);
                return true;
            }
            for (std::int64_t k = 0; k < nSeconds; ++k) {
                if ((k & (kBlock - 1)) == kBlock - 1 && cancel.Stopped())
                    return false;
                values.Take(pPV[k]);
            }
            return true;
        });
    if (!bWhole)
        return false;
    values.Into(f);
    return true;
}

// Judges one curve over a step; false when cancelled.
bool JudgeCurve(const CRecordingView& series, const CCurveSamples& c, const CStepOptions& options,
                std::size_t nStep, int nCurve, CJudgedStep& step,
                std::vector<CExcursion>& excursions, const CCancelCheck& cancel)
{
    CStepCurveFigures& f = step.curves[nCurve];
    f.bJudged = true;
    f.fFromSV = series.Value(kChannels[c.nSV], step.nBegin);
    f.fToSV = series.Value(kChannels[c.nSV], step.nEnd - 1);
    std::int64_t nJudgedFrom = step.nBegin;
    if (step.bDwell) {
        bool bStopped = false;
        f.nSettledAt =
            SettledAt(series, c, step.nBegin, step.nEnd, options.nSettleWindow, cancel, bStopped);
        if (bStopped)
            return false;
        if (f.nSettledAt < 0) {
            f.verdict = EVerdict::Fail;
            return WholeStepValues(series, c, step.nBegin, step.nEnd, f, cancel);
        }
        nJudgedFrom = f.nSettledAt;
    }
    if (!JudgeSeconds(series, c, nJudgedFrom, step.nEnd, step.bDwell, options.nExcursionDelay,
                      nStep, nCurve, f, excursions, cancel))
        return false;
    if (step.bDwell)
        f.verdict = f.nExcursions == 0 ? EVerdict::Pass : EVerdict::Fail;
    return true;
}

class CStepJudge
{
public:
    CStepJudge(const CRecordingView& series, const CStepOptions& options,
               const CCancelCheck& cancel, CProgramAnalysis& analysis)
        : m_series(series), m_options(options), m_cancel(cancel),
          m_analysis(analysis), m_curves{{0, 1, WithinLimit(options.tolerances.nTemp)},
                                         {2, 3, WithinLimit(options.tolerances.nHumi)}}
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
        if (!JudgeCurve(m_series, m_curves[kStepTemp], m_options, nStep, kStepTemp, step,
                        excursions, m_cancel))
            return false;
        const std::size_t nHumiFirst = excursions.size();
        if (bHumiControlled && !JudgeCurve(m_series, m_curves[kStepHumi], m_options, nStep,
                                           kStepHumi, step, excursions, m_cancel))
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
    const CRecordingView& m_series;
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
    const CCancelCheck cancel(pCancel);
    CStepJudge judge(series, options, cancel, analysis);
    const int nTempSV = static_cast<int>(EChannel::TempSV);
    const int nHumiSV = static_cast<int>(EChannel::HumiSV);
    const std::int64_t nMinDwell = std::max<std::int64_t>(options.nMinDwell, 1);
    // The constant runs of both set values, each looked at once it ends: a dwell ends the ramp
    // before it. A held run's set values are one sample, so it continues the constant run or
    // starts the next one as a whole.
    std::int64_t nRampBegin = -1;
    bool bRampHumi = true;
    bool bStopped = false;
    std::int64_t nRun = nBegin;
    float fTemp = series.Value(EChannel::TempSV, nBegin);
    float fHumi = series.Value(EChannel::HumiSV, nBegin);
    // Takes the constant run from nRun to j; false once cancelled.
    auto endRun = [&](std::int64_t j) {
        // NaN is not above 0: such a step's humidity is not judged.
        const bool bHumi = fHumi > 0.0f;
        if (j - nRun >= nMinDwell) {
            if (nRampBegin >= 0)
                bStopped = !judge.Judge(nRampBegin, nRun, false, bRampHumi);
            nRampBegin = -1;
            bStopped = bStopped || !judge.Judge(nRun, j, true, bHumi);
        } else if (nRampBegin < 0) {
            nRampBegin = nRun;
            bRampHumi = bHumi;
        } else {
            bRampHumi = bRampHumi && bHumi;
        }
        return !bStopped;
    };
    // Sample j, with these set values, starts a new constant run unless it has the same.
    auto take = [&](std::int64_t j, float fTempAt, float fHumiAt) {
        if (SameSample(fTempAt, fTemp) && SameSample(fHumiAt, fHumi))
            return true;
        if (!endRun(j))
            return false;
        nRun = j;
        fTemp = fTempAt;
        fHumi = fHumiAt;
        return true;
    };
    const bool bWhole = series.Stretch(nBegin, nEnd)
                            .ForEachRun([&](std::int64_t nFirst, std::int64_t nSeconds,
                                            const float* const apValues[4], bool bHeld) {
                                if (cancel.Stopped())
                                    return false;
                                const std::int64_t nAt = nBegin + nFirst;
                                if (bHeld)
                                    return take(nAt, *apValues[nTempSV], *apValues[nHumiSV]);
                                for (std::int64_t k = 0; k < nSeconds; ++k) {
                                    if ((k & (kBlock - 1)) == kBlock - 1 && cancel.Stopped())
                                        return false;
                                    if (!take(nAt + k, apValues[nTempSV][k], apValues[nHumiSV][k]))
                                        return false;
                                }
                                return true;
                            });
    if (bWhole && !cancel.Stopped() && endRun(nEnd) && nRampBegin >= 0 && !cancel.Stopped())
        bStopped = !judge.Judge(nRampBegin, nEnd, false, bRampHumi);
    analysis.bCancelled = bStopped || cancel.Stopped();
    if (analysis.nDwells > 0)
        analysis.verdict =
            analysis.nDwellsPassed == analysis.nDwells ? EVerdict::Pass : EVerdict::Fail;
    return analysis;
}
