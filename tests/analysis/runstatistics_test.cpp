// The figures of a run against a plain loop over generated series.
#include "analysis/runstatistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace {

// Records at random intervals expanded to one sample a second, as the reader expands them:
// a gap holds the values of the record that ends it. Values have two decimals; humidity
// is -1 over stretches (no sensor), and extremes repeat.
struct CGenerated
{
    std::vector<float> tempPV, tempSV, humiPV, humiSV;

    explicit CGenerated(unsigned nSeed, std::int64_t nSeconds)
    {
        std::mt19937 rng(nSeed);
        auto hundredths = [&](int nLow, int nHigh) {
            return static_cast<float>(std::uniform_int_distribution<int>(nLow, nHigh)(rng)) /
                   100.0f;
        };
        while (static_cast<std::int64_t>(tempPV.size()) < nSeconds) {
            const int nGap = std::uniform_int_distribution<int>(0, 9)(rng) < 7
                                 ? 1
                                 : std::uniform_int_distribution<int>(2, 400)(rng);
            const bool bNoSensor = std::uniform_int_distribution<int>(0, 19)(rng) == 0;
            // Narrow ranges make equal extremes and deviations of equal size common.
            const float fTempSV = hundredths(2000, 2010);
            const float fTempPV = fTempSV + hundredths(-300, 300);
            const float fHumiSV = bNoSensor ? -1.0f : hundredths(5000, 5004);
            const float fHumiPV = bNoSensor ? -1.0f : fHumiSV + hundredths(-700, 700);
            for (int k = 0; k < nGap && static_cast<std::int64_t>(tempPV.size()) < nSeconds; ++k) {
                tempPV.push_back(fTempPV);
                tempSV.push_back(fTempSV);
                humiPV.push_back(fHumiPV);
                humiSV.push_back(fHumiSV);
            }
        }
    }

    CRecordingView Samples() const
    {
        return {tempPV.data(), tempSV.data(), humiPV.data(), humiSV.data(),
                static_cast<std::int64_t>(tempPV.size())};
    }
};

void ExpectCurve(const std::vector<float>& v, std::int64_t nBegin, std::int64_t nEnd,
                 bool bSkipNegative, const CCurveFigures& f)
{
    std::int64_t nCounted = 0, nMinAt = -1, nMaxAt = -1;
    double dSum = 0.0;
    for (std::int64_t i = nBegin; i < nEnd; ++i) {
        const float x = v[static_cast<std::size_t>(i)];
        if (bSkipNegative && x < 0.0f)
            continue;
        ++nCounted;
        dSum += x;
        if (nMinAt < 0 || x < v[static_cast<std::size_t>(nMinAt)])
            nMinAt = i;
        if (nMaxAt < 0 || x > v[static_cast<std::size_t>(nMaxAt)])
            nMaxAt = i;
    }
    ASSERT_EQ(nCounted, f.nCounted);
    if (nCounted == 0)
        return;
    EXPECT_EQ(nMinAt, f.nMinAt);
    EXPECT_EQ(nMaxAt, f.nMaxAt);
    EXPECT_EQ(v[static_cast<std::size_t>(nMinAt)], f.fMin);
    EXPECT_EQ(v[static_cast<std::size_t>(nMaxAt)], f.fMax);
    EXPECT_NEAR(dSum / static_cast<double>(nCounted), f.dMean, 1e-9);
}

void ExpectDeviation(const std::vector<float>& pv, const std::vector<float>& sv,
                     std::int64_t nBegin, std::int64_t nEnd, int nTolerance, bool bSkipNegative,
                     const CDeviationFigures& f)
{
    std::int64_t nCounted = 0, nWithin = 0, nAt = -1;
    long long nLargest = 0; // in hundredths, which the values hold exactly
    for (std::int64_t i = nBegin; i < nEnd; ++i) {
        const float p = pv[static_cast<std::size_t>(i)];
        const float s = sv[static_cast<std::size_t>(i)];
        if (bSkipNegative && (p < 0.0f || s < 0.0f))
            continue;
        ++nCounted;
        const long long d = std::llround(p * 100.0) - std::llround(s * 100.0);
        nWithin += std::llabs(d) <= nTolerance;
        if (nAt < 0 || std::llabs(d) > std::llabs(nLargest)) {
            nLargest = d;
            nAt = i;
        }
    }
    ASSERT_EQ(nCounted, f.nCounted);
    EXPECT_EQ(nWithin, f.nWithin);
    EXPECT_EQ(nAt, f.nLargestAt);
    if (nAt >= 0) {
        EXPECT_EQ(nLargest, std::llround(f.dLargest * 100.0));
    }
}

TEST(RunStatistics, AgreesWithAPlainLoopOverWholeSeriesAndPages)
{
    struct CCase
    {
        unsigned nSeed;
        std::int64_t nSeconds;
        std::int64_t nPage; // samples a page; pages start anywhere, mid-gap included
        CTolerances tolerances;
    };
    for (const CCase& c : {CCase{1, 20000, 720, {200, 500}}, CCase{2, 7, 3, {0, 0}},
                           CCase{3, 50000, 7200, {150, 310}}, CCase{4, 3000, 1, {300, 700}},
                           CCase{5, 1, 720, {200, 500}}}) {
        SCOPED_TRACE(c.nSeed);
        const CGenerated g(c.nSeed, c.nSeconds);
        for (std::int64_t nBegin = -c.nPage; nBegin < c.nSeconds + c.nPage;
             nBegin += c.nPage + c.nSeed) {
            const std::int64_t nEnd = nBegin + c.nPage;
            const CRunStatistics s = ComputeRunStatistics(g.Samples(), nBegin, nEnd, c.tolerances);
            const std::int64_t b = std::max<std::int64_t>(nBegin, 0);
            const std::int64_t e = std::min(nEnd, c.nSeconds);
            ExpectCurve(g.tempPV, b, e, false, s.tempPV);
            ExpectCurve(g.tempSV, b, e, false, s.tempSV);
            ExpectCurve(g.humiPV, b, e, true, s.humiPV);
            ExpectCurve(g.humiSV, b, e, true, s.humiSV);
            ExpectDeviation(g.tempPV, g.tempSV, b, e, c.tolerances.nTemp, false, s.temp);
            ExpectDeviation(g.humiPV, g.humiSV, b, e, c.tolerances.nHumi, true, s.humi);
        }
        const CRunStatistics whole = ComputeRunStatistics(g.Samples(), 0, c.nSeconds, c.tolerances);
        ExpectCurve(g.tempPV, 0, c.nSeconds, false, whole.tempPV);
        ExpectDeviation(g.humiPV, g.humiSV, 0, c.nSeconds, c.tolerances.nHumi, true, whole.humi);
    }
}

TEST(RunStatistics, InfinitiesAreValuesAndNaNsAreLeftOut)
{
    const float fInf = std::numeric_limits<float>::infinity();
    const float fNaN = std::numeric_limits<float>::quiet_NaN();
    const std::vector<float> tempPV{fInf, fInf, fInf}, tempSV{fNaN, fNaN, fNaN};
    const std::vector<float> humiPV{fNaN, 50.0f, -fInf}, humiSV{fNaN, 40.0f, 45.0f};
    const CRunStatistics s = ComputeRunStatistics(
        {tempPV.data(), tempSV.data(), humiPV.data(), humiSV.data(), 3}, 0, 3, CTolerances());
    EXPECT_EQ(3, s.tempPV.nCounted);
    EXPECT_EQ(fInf, s.tempPV.fMin);
    EXPECT_EQ(0, s.tempPV.nMinAt);
    EXPECT_EQ(0, s.tempPV.nMaxAt);
    EXPECT_EQ(0, s.tempSV.nCounted);
    EXPECT_EQ(0, s.temp.nCounted);
    EXPECT_EQ(1, s.humiPV.nCounted);
    EXPECT_EQ(1, s.humiPV.nMinAt);
    EXPECT_EQ(2, s.humiSV.nCounted);
    EXPECT_EQ(1, s.humi.nCounted);
    EXPECT_EQ(1, s.humi.nLargestAt);
}

} // namespace
