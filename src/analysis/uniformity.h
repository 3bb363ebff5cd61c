// How evenly a chamber held temperature and humidity across its working space: several
// recordings made together at different places, compared second by second over the seconds
// they all cover. Each recording's mean, extremes and fluctuation, its deviation from the set
// value, the spread across the recordings at every second (the uniformity) and the spread of
// their means (the gradient).
#pragma once

#include "recording/recordingset.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

enum EUniformityQuantity
{
    kUniformityTemp = 0,
    kUniformityHumi = 1,
};

// Where the set value the deviations are taken from comes from, for each quantity: a value
// typed by the user, or (without one) the Temp SV / Humi SV of the first member that has it.
struct CSetValueChoice
{
    std::optional<double> aTyped[2];
};

// One recording's figures for one quantity; times are seconds of the common line.
struct CMemberUniformity
{
    bool bIncluded = false;    // the recording has the channel at all
    std::int64_t nCounted = 0; // seconds with a value (NaN, and humidity below 0, are none)
    float fMin = 0.0f;
    std::int64_t tMinAt = -1; // the first second holding the minimum
    float fMax = 0.0f;
    std::int64_t tMaxAt = -1;
    double dMean = 0.0;
    double dFluctuation = 0.0; // (max - min) / 2
    bool bDeviation = false;   // a set value and a mean to take it from
    double dDeviation = 0.0;   // mean PV - set value
};

enum class ESetValueSource
{
    None,     // neither typed nor in any recording
    Typed,    // CSetValueChoice
    Recording // the mean SV of member nSetMember over the same seconds
};

struct CQuantityUniformity
{
    std::vector<CMemberUniformity> members; // one per member of the set, in its order
    int nIncluded = 0;                      // members with the channel
    ESetValueSource eSetValue = ESetValueSource::None;
    std::size_t nSetMember = 0;
    double dSetValue = 0.0;
    // Two or more members with the channel: the spread across them at each second where
    // every one of them has a value, and the spread of their means.
    bool bUniformity = false;
    std::int64_t nSpreadSeconds = 0; // seconds the spread was taken at
    double dSpreadMax = 0.0;
    std::int64_t tSpreadMaxAt = -1; // the first such second
    double dSpreadMean = 0.0;
    double dGradient = 0.0; // largest mean - smallest mean
};

struct CUniformity
{
    std::int64_t tBegin = 0; // the seconds judged, [tBegin, tEnd) of the common line
    std::int64_t tEnd = 0;
    CQuantityUniformity quantities[2]; // by EUniformityQuantity
    bool bCancelled = false;           // the figures are incomplete
};

// The figures over the common seconds [tBegin, tEnd), clamped to the seconds every member
// covers. Reads each member's PV channels once, a block of seconds at a time for all members
// together; a stretch where every member holds one value costs as much as one second.
// pCancel, when given, is looked at every block; once it is set the work stops and says so.
CUniformity ComputeUniformity(const CRecordingSet& set, std::int64_t tBegin, std::int64_t tEnd,
                              const CSetValueChoice& setValues,
                              const std::atomic<bool>* pCancel = nullptr);
