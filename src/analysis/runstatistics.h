// The figures of a run that a test report asks for: each curve's extremes with the first
// second they occur and its mean, and how closely the measured values held their set values.
#pragma once

#include "recording/recordingview.h"

#include <algorithm>
#include <cstdint>

struct CCurveFigures
{
    std::int64_t nCounted = 0; // seconds taken into the figures; 0: there are none
    float fMin = 0.0f;
    std::int64_t nMinAt = -1; // the first sample index holding the minimum
    float fMax = 0.0f;
    std::int64_t nMaxAt = -1;
    double dMean = 0.0;
};

// PV against SV. A deviation is PV - SV.
struct CDeviationFigures
{
    std::int64_t nCounted = 0;
    std::int64_t nWithin = 0; // seconds with |PV - SV| within the tolerance
    double dLargest = 0.0;    // the deviation of largest size, with its sign
    std::int64_t nLargestAt = -1;

    double WithinPercent() const { return nCounted > 0 ? 100.0 * nWithin / nCounted : 0.0; }
};

struct CRunStatistics
{
    CCurveFigures tempPV;
    CCurveFigures tempSV;
    CCurveFigures humiPV;
    CCurveFigures humiSV;
    CDeviationFigures temp;
    CDeviationFigures humi;
};

// Tolerances in hundredths of a degree or a percent: the figures are shown with two decimals,
// and a deviation counts as within when it shows as within.
struct CTolerances
{
    int nTemp = 200;
    int nHumi = 500;

    bool operator==(const CTolerances&) const = default;
};

// |PV - SV| below this counts as within nTolerance hundredths. Values carry two decimals, and
// a float holds them to about 1e-5 over the recorders' range: half a hundredth above the
// tolerance separates "shows as within" from not.
inline double WithinLimit(int nTolerance)
{
    return (std::max(nTolerance, 0) + 0.5) / 100.0;
}

// The figures over samples nBegin to nEnd (exclusive), clamped to the series. A humidity
// below 0 means the recorder has no humidity sensor: such samples are left out of the
// humidity figures, and a second where either humidity is below 0 out of the deviation.
CRunStatistics ComputeRunStatistics(const CRecordingView& series, std::int64_t nBegin,
                                    std::int64_t nEnd, const CTolerances& tolerances);
