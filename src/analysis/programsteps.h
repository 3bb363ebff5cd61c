// The steps of a chamber's test program read from its set values, and whether the measured
// values held each dwell within the tolerances: when they settled, and every excursion.
#pragma once

#include "analysis/runstatistics.h"

#include <atomic>
#include <cstdint>
#include <vector>

struct CStepOptions
{
    // A constant run of set values at least this long is a dwell; the recorder writes a
    // ramp's set value as a staircase of shorter runs.
    std::int64_t nMinDwell = 10 * 60; // seconds
    // A curve has settled once every second of this window, cut at the dwell's end, is within.
    std::int64_t nSettleWindow = 5 * 60;
    // A run of seconds outside the tolerance counts as an excursion from this length on.
    std::int64_t nExcursionDelay = 0;
    CTolerances tolerances;

    bool operator==(const CStepOptions&) const = default;
};

// Limits of the options as the user sets them.
inline constexpr std::int64_t kMinDwellMinutesMin = 1;
inline constexpr std::int64_t kMinDwellMinutesMax = 7 * 24 * 60;
inline constexpr std::int64_t kSettleWindowMinutesMax = 24 * 60;
inline constexpr std::int64_t kExcursionDelaySecondsMax = 24 * 3600;

enum class EVerdict
{
    None, // a ramp, or a recording without dwells
    Pass,
    Fail,
};

enum EStepCurve
{
    kStepTemp = 0,
    kStepHumi = 1,
};

// One curve judged over one step. Deviations are PV - SV.
struct CStepCurveFigures
{
    bool bJudged = false;
    float fFromSV = 0.0f; // at the step's first and last second
    float fToSV = 0.0f;
    std::int64_t nSettledAt = -1; // dwells: the sample it settled at; -1: never (or a ramp)
    std::int64_t nJudged = 0;     // seconds judged: a dwell's from settling on, a ramp's all
    std::int64_t nWithin = 0;
    // PV over the judged seconds, or over the whole step when none; NaN samples left out.
    std::int64_t nCounted = 0;
    float fMin = 0.0f;
    float fMax = 0.0f;
    double dMean = 0.0;
    double dLargest = 0.0; // over the judged seconds, the first of largest size
    int nExcursions = 0;
    EVerdict verdict = EVerdict::None;
};

struct CJudgedStep
{
    bool bDwell = false;
    std::int64_t nBegin = 0; // first sample
    std::int64_t nEnd = 0;   // one past the last
    CStepCurveFigures curves[2];
    EVerdict verdict = EVerdict::None;
};

struct CExcursion
{
    std::size_t nStep = 0; // index into the steps
    int nCurve = kStepTemp;
    std::int64_t nBegin = 0;
    std::int64_t nEnd = 0; // one past the last
    double dPeak = 0.0;    // PV - SV of largest size, the first such; NaN when none had one
};

struct CProgramAnalysis
{
    std::vector<CJudgedStep> steps;
    std::vector<CExcursion> excursions; // in time order, Temp first where two start together
    int nDwells = 0;
    int nDwellsPassed = 0;
    EVerdict verdict = EVerdict::None;
    bool bCancelled = false; // the figures are incomplete
};

// The steps of samples nBegin to nEnd (exclusive), clamped to the series. Reads each curve at
// most twice, run by run, and keeps nothing per second: a held run costs as much as one
// second, however long it is. pCancel, when given, is looked at every block of
// samples; once it is set the analysis stops and says so.
CProgramAnalysis AnalyseProgramSteps(const CRecordingView& series, std::int64_t nBegin,
                                     std::int64_t nEnd, const CStepOptions& options,
                                     const std::atomic<bool>* pCancel = nullptr);
