// Program steps worked out by hand from the definitions, for generated programs, against the
// tables --steps prints; and an analysis that is cancelled.
#include "analysis/programsteps.h"

#include "../recorder/tzguard.h"

#include <gtest/gtest.h>

#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace {

// Four curves a second at a time: n seconds of these values.
struct CProgram
{
    std::vector<float> tempPV, tempSV, humiPV, humiSV;

    void Hold(int n, float fTempSV, float fTempPV, float fHumiSV = -1.0f, float fHumiPV = -1.0f)
    {
        tempSV.insert(tempSV.end(), n, fTempSV);
        tempPV.insert(tempPV.end(), n, fTempPV);
        humiSV.insert(humiSV.end(), n, fHumiSV);
        humiPV.insert(humiPV.end(), n, fHumiPV);
    }
    CRecordingView Samples() const
    {
        return {tempPV.data(), tempSV.data(), humiPV.data(), humiSV.data(),
                static_cast<std::int64_t>(tempPV.size())};
    }
};

constexpr std::uint32_t kMay4 = 1777885200;  // 2026-05-04 09:00:00 UTC
constexpr std::uint32_t kMar29 = 1774740600; // 2026-03-29 00:30:00 CET, summer time at 02:00

const char* const kStepHeading = "step\tkind\tcurve\tstart\tend\tduration\tfrom\tto\trate/min\t"
                                 "settled after\tminimum\tmaximum\tmean\twithin\t"
                                 "largest deviation\texcursions\tverdict";
const char* const kExcursionHeading = "excursion\tstep\tcurve\tstart\tend\tduration\tpeak";

struct CStepCase
{
    const char* szName;
    std::function<void(CProgram&)> build;
    std::int64_t nDelay;
    const char* szZone;
    std::uint32_t tFirst;
    std::vector<const char*> steps;      // after the heading
    std::vector<const char*> excursions; // after the heading
    const char* szVerdict;
};

// The tables as --steps prints them, made here from the analysis alone so that the
// hand-worked tables can be read as a user reads them.
std::string Fixed2(double d)
{
    char sz[64];
    const auto [p, ec] = std::to_chars(sz, sz + sizeof sz, d, std::chars_format::fixed, 2);
    return ec == std::errc() ? std::string(sz, p) : "-";
}

std::string Signed(double d)
{
    const std::string s = Fixed2(d);
    if (s == "-0.00")
        return "+0.00";
    return s[0] == '-' ? s : "+" + s;
}

std::string Duration(std::int64_t n)
{
    char sz[64];
    std::snprintf(sz, sizeof sz, "%lld:%02lld:%02lld", static_cast<long long>(n / 3600),
                  static_cast<long long>(n / 60 % 60), static_cast<long long>(n % 60));
    return sz;
}

std::string LocalTime(std::uint32_t tFirst, std::int64_t nIndex)
{
    const std::time_t t = static_cast<std::time_t>(tFirst + nIndex);
    std::tm l{};
#if defined(_WIN32)
    localtime_s(&l, &t);
#else
    localtime_r(&t, &l);
#endif
    char sz[64];
    std::strftime(sz, sizeof sz, "%Y-%m-%d %H:%M:%S", &l);
    return sz;
}

std::string Verdict(EVerdict v)
{
    return v == EVerdict::Pass ? "pass" : v == EVerdict::Fail ? "fail" : "-";
}

std::vector<std::string> Tables(const CProgramAnalysis& a, std::uint32_t tFirst)
{
    std::vector<std::string> lines{kStepHeading};
    for (std::size_t s = 0; s < a.steps.size(); ++s) {
        const CJudgedStep& step = a.steps[s];
        for (const int nCurve : {kStepTemp, kStepHumi}) {
            const CStepCurveFigures& f = step.curves[nCurve];
            if (!f.bJudged)
                continue;
            const std::int64_t n = step.nEnd - step.nBegin;
            const double dRate = (static_cast<double>(f.fToSV) - f.fFromSV) / (n / 60.0);
            std::string settled = "-";
            if (step.bDwell)
                settled = f.nSettledAt < 0 ? "never" : Duration(f.nSettledAt - step.nBegin);
            const auto figure = [&](double d) { return f.nCounted > 0 ? Fixed2(d) : "-"; };
            lines.push_back(
                std::to_string(s + 1) + "\t" + (step.bDwell ? "dwell" : "ramp") + "\t" +
                (nCurve == kStepTemp ? "Temp" : "Humi") + "\t" + LocalTime(tFirst, step.nBegin) +
                "\t" + LocalTime(tFirst, step.nEnd - 1) + "\t" + Duration(n) + "\t" +
                Fixed2(f.fFromSV) + "\t" + Fixed2(f.fToSV) + "\t" +
                (step.bDwell ? "-" : Signed(dRate)) + "\t" + settled + "\t" + figure(f.fMin) +
                "\t" + figure(f.fMax) + "\t" + figure(f.dMean) + "\t" +
                (f.nJudged > 0 ? Fixed2(100.0 * f.nWithin / f.nJudged) + "%" : "-") + "\t" +
                (f.nJudged > 0 && !std::isnan(f.dLargest) ? Signed(f.dLargest) : "-") + "\t" +
                std::to_string(f.nExcursions) + "\t" + Verdict(f.verdict));
        }
    }
    lines.push_back("");
    lines.push_back(kExcursionHeading);
    for (std::size_t e = 0; e < a.excursions.size(); ++e) {
        const CExcursion& x = a.excursions[e];
        lines.push_back(std::to_string(e + 1) + "\t" + std::to_string(x.nStep + 1) + "\t" +
                        (x.nCurve == kStepTemp ? "Temp" : "Humi") + "\t" +
                        LocalTime(tFirst, x.nBegin) + "\t" + LocalTime(tFirst, x.nEnd - 1) + "\t" +
                        Duration(x.nEnd - x.nBegin) + "\t" +
                        (std::isnan(x.dPeak) ? "-" : Signed(x.dPeak)));
    }
    lines.push_back("");
    lines.push_back(a.verdict == EVerdict::None ? "verdict\t-"
                                                : "verdict\t" + Verdict(a.verdict) + "\t" +
                                                      std::to_string(a.nDwellsPassed) + " of " +
                                                      std::to_string(a.nDwells) + " dwells passed");
    return lines;
}

void ExpectTables(const CStepCase& c)
{
    SCOPED_TRACE(c.szName);
    const CTzGuard tz(c.szZone);
    CProgram program;
    c.build(program);
    CStepOptions options;
    options.nExcursionDelay = c.nDelay;
    const CProgramAnalysis analysis =
        AnalyseProgramSteps(program.Samples(), 0, program.Samples().nCount, options);
    std::vector<std::string> expected{kStepHeading};
    expected.insert(expected.end(), c.steps.begin(), c.steps.end());
    expected.push_back("");
    expected.push_back(kExcursionHeading);
    expected.insert(expected.end(), c.excursions.begin(), c.excursions.end());
    expected.push_back("");
    expected.push_back(c.szVerdict);
    EXPECT_EQ(expected, Tables(analysis, c.tFirst));
    EXPECT_FALSE(analysis.bCancelled);
}

TEST(ProgramSteps, GeneratedProgramsGiveTheTablesTheDefinitionsGive)
{
    const CStepCase cases[] = {
        {"a jump gives dwell after dwell; the second settles once PV has caught up",
         [](CProgram& p) {
             p.Hold(100, 20, 21, 50, 50);
             p.Hold(600, 20, 20, 50, 50);
             p.Hold(100, 40, 30, 50, 50);
             p.Hold(600, 40, 40, 50, 50);
         },
         0,
         "UTC",
         kMay4,
         {"1\tdwell\tTemp\t2026-05-04 09:00:00\t2026-05-04 09:11:39\t0:11:40\t20.00\t20.00\t-\t"
          "0:00:00\t20.00\t21.00\t20.14\t100.00%\t+1.00\t0\tpass",
          "1\tdwell\tHumi\t2026-05-04 09:00:00\t2026-05-04 09:11:39\t0:11:40\t50.00\t50.00\t-\t"
          "0:00:00\t50.00\t50.00\t50.00\t100.00%\t+0.00\t0\tpass",
          "2\tdwell\tTemp\t2026-05-04 09:11:40\t2026-05-04 09:23:19\t0:11:40\t40.00\t40.00\t-\t"
          "0:01:40\t40.00\t40.00\t40.00\t100.00%\t+0.00\t0\tpass",
          "2\tdwell\tHumi\t2026-05-04 09:11:40\t2026-05-04 09:23:19\t0:11:40\t50.00\t50.00\t-\t"
          "0:00:00\t50.00\t50.00\t50.00\t100.00%\t+0.00\t0\tpass"},
         {},
         "verdict\tpass\t2 of 2 dwells passed"},
        {"a staircase is one ramp; its last stair joins the dwell; humidity off in part of it",
         [](CProgram& p) {
             p.Hold(600, 20, 20, 50, 50);
             for (int k = 1; k <= 30; ++k)
                 p.Hold(10, 20 + 0.5f * k, 20 + 0.5f * k, k <= 15 ? 0 : 50, 50);
             p.Hold(600, 35, 35, 50, 50);
         },
         0,
         "UTC",
         kMay4,
         {"1\tdwell\tTemp\t2026-05-04 09:00:00\t2026-05-04 09:09:59\t0:10:00\t20.00\t20.00\t-\t"
          "0:00:00\t20.00\t20.00\t20.00\t100.00%\t+0.00\t0\tpass",
          "1\tdwell\tHumi\t2026-05-04 09:00:00\t2026-05-04 09:09:59\t0:10:00\t50.00\t50.00\t-\t"
          "0:00:00\t50.00\t50.00\t50.00\t100.00%\t+0.00\t0\tpass",
          "2\tramp\tTemp\t2026-05-04 09:10:00\t2026-05-04 09:14:49\t0:04:50\t20.50\t34.50\t"
          "+2.90\t-\t20.50\t34.50\t27.50\t100.00%\t+0.00\t0\t-",
          "3\tdwell\tTemp\t2026-05-04 09:14:50\t2026-05-04 09:24:59\t0:10:10\t35.00\t35.00\t-\t"
          "0:00:00\t35.00\t35.00\t35.00\t100.00%\t+0.00\t0\tpass",
          "3\tdwell\tHumi\t2026-05-04 09:14:50\t2026-05-04 09:24:59\t0:10:10\t50.00\t50.00\t-\t"
          "0:00:00\t50.00\t50.00\t50.00\t100.00%\t+0.00\t0\tpass"},
         {},
         "verdict\tpass\t2 of 2 dwells passed"},
        {"a dwell that never settles (its last second is out); one that settles in the window "
         "cut at its end",
         [](CProgram& p) {
             for (int i = 0; i < 900; ++i)
                 p.Hold(1, 20, i % 200 == 199 || i == 899 ? 23 : 20);
             p.Hold(500, 30, 25);
             p.Hold(200, 30, 30);
         },
         0,
         "UTC",
         kMay4,
         {"1\tdwell\tTemp\t2026-05-04 09:00:00\t2026-05-04 09:14:59\t0:15:00\t20.00\t20.00\t-\t"
          "never\t20.00\t23.00\t20.02\t-\t-\t0\tfail",
          "2\tdwell\tTemp\t2026-05-04 09:15:00\t2026-05-04 09:26:39\t0:11:40\t30.00\t30.00\t-\t"
          "0:08:20\t30.00\t30.00\t30.00\t100.00%\t+0.00\t0\tpass"},
         {},
         "verdict\tfail\t1 of 2 dwells passed"},
        {"an excursion shorter than the delay is none; two starting together, Temp first",
         [](CProgram& p) {
             p.Hold(600, 20, 20, 50, 50);
             p.Hold(20, 20, 23, 50, 50);
             p.Hold(180, 20, 20, 50, 50);
             p.Hold(20, 20, 16, 50, 60);
             p.Hold(1, 20, 15, 50, 60);
             p.Hold(19, 20, 16, 50, 60);
             p.Hold(360, 20, 20, 50, 50);
         },
         30,
         "UTC",
         kMay4,
         {"1\tdwell\tTemp\t2026-05-04 09:00:00\t2026-05-04 09:19:59\t0:20:00\t20.00\t20.00\t-\t"
          "0:00:00\t15.00\t23.00\t19.92\t95.00%\t-5.00\t1\tfail",
          "1\tdwell\tHumi\t2026-05-04 09:00:00\t2026-05-04 09:19:59\t0:20:00\t50.00\t50.00\t-\t"
          "0:00:00\t50.00\t60.00\t50.33\t96.67%\t+10.00\t1\tfail"},
         {"1\t1\tTemp\t2026-05-04 09:13:20\t2026-05-04 09:13:59\t0:00:40\t-5.00",
          "2\t1\tHumi\t2026-05-04 09:13:20\t2026-05-04 09:13:59\t0:00:40\t+10.00"},
         "verdict\tfail\t0 of 1 dwells passed"},
        {"humidity off (SV 0) is not judged, however far PV lies",
         [](CProgram& p) { p.Hold(700, 25, 25, 0, 80); },
         0,
         "UTC",
         kMay4,
         {"1\tdwell\tTemp\t2026-05-04 09:00:00\t2026-05-04 09:11:39\t0:11:40\t25.00\t25.00\t-\t"
          "0:00:00\t25.00\t25.00\t25.00\t100.00%\t+0.00\t0\tpass"},
         {},
         "verdict\tpass\t1 of 1 dwells passed"},
    };
    for (const CStepCase& c : cases)
        ExpectTables(c);
}

TEST(ProgramSteps, ADwellOverTheChangeToSummerTimeLastsItsSeconds)
{
#if defined(_WIN32)
    GTEST_SKIP() << "Windows' C library takes no summer-time rules in TZ";
#endif
    ExpectTables(CStepCase{
        "a dwell over the change to summer time lasts its seconds, not its wall-clock span",
        [](CProgram& p) {
            p.Hold(7200, 20, 20);
            p.Hold(60, 21, 21);
        },
        0,
        "CET-1CEST,M3.5.0,M10.5.0/3",
        kMar29,
        {"1\tdwell\tTemp\t2026-03-29 00:30:00\t2026-03-29 03:29:59\t2:00:00\t20.00\t20.00\t-\t"
         "0:00:00\t20.00\t20.00\t20.00\t100.00%\t+0.00\t0\tpass",
         "2\tramp\tTemp\t2026-03-29 03:30:00\t2026-03-29 03:30:59\t0:01:00\t21.00\t21.00\t"
         "+0.00\t-\t21.00\t21.00\t21.00\t100.00%\t+0.00\t0\t-"},
        {},
        "verdict\tpass\t1 of 1 dwells passed"});
}

// A series as a recording stores it when some of its stretches were held: the per-second
// samples of a CProgram, and which of its stretches are held runs of one value.
struct CHeldProgram
{
    CProgram program;
    std::vector<CRecordingSegment> segments;
    std::vector<float> held[4];

    void Dense(int n, float fTempSV, float fTempPV, float fHumiSV = -1.0f, float fHumiPV = -1.0f)
    {
        const std::int64_t nAt = static_cast<std::int64_t>(program.tempPV.size());
        if (segments.empty() || segments.back().IsHeld())
            segments.push_back({nAt, nAt});
        program.Hold(n, fTempSV, fTempPV, fHumiSV, fHumiPV);
    }
    // A record that stands for n seconds.
    void Held(int n, float fTempSV, float fTempPV, float fHumiSV = -1.0f, float fHumiPV = -1.0f)
    {
        const std::int64_t nAt = static_cast<std::int64_t>(program.tempPV.size());
        segments.push_back({nAt, -1 - static_cast<std::int64_t>(held[0].size())});
        const float af[4] = {fTempPV, fTempSV, fHumiPV, fHumiSV};
        for (int c = 0; c < 4; ++c)
            held[c].push_back(af[c]);
        program.Hold(n, fTempSV, fTempPV, fHumiSV, fHumiPV);
    }
    CRecordingView Samples() const
    {
        const float* const apDense[4] = {program.tempPV.data(), program.tempSV.data(),
                                         program.humiPV.data(), program.humiSV.data()};
        const float* const apHeld[4] = {held[0].data(), held[1].data(), held[2].data(),
                                        held[3].data()};
        return {apDense, apHeld, segments.data(), segments.size(), 0, program.Samples().nCount};
    }
};

// Held stretches are read a run at a time; the steps must come out as from the same seconds
// written one by one, over the whole series and over a range starting inside a held stretch.
TEST(ProgramSteps, HeldStretchesGiveTheStepsOfTheSameSecondsWrittenOut)
{
    const CTzGuard tz("UTC");
    struct CCase
    {
        const char* szName;
        std::function<void(CHeldProgram&)> build;
        std::int64_t nDelay;
        const char* szVerdict;
    };
    const CCase cases[] = {
        {"a soak of 10-minute records with one record out of tolerance",
         [](CHeldProgram& p) {
             p.Dense(300, 40, 39.5f, 90, 89);
             for (int k = 0; k < 400; ++k)
                 p.Held(600, 40, k == 250 ? 43.0f : 40.0f + 0.01f * (k % 7), 90,
                        88.5f + 0.25f * (k % 5));
         },
         0, "verdict\tfail\t0 of 1 dwells passed"},
        {"a ramp of minute records between two dwells, humidity off in part of it",
         [](CHeldProgram& p) {
             p.Held(3600, 20, 20.2f, 50, 50);
             for (int k = 1; k <= 30; ++k)
                 p.Held(60, 20 + k, 19.5f + k, k < 10 ? 0 : 50, 51);
             p.Dense(120, 50, 49);
             p.Held(7200, 50, 50.5f, 50, 50);
         },
         0, "verdict\tpass\t2 of 2 dwells passed"},
        {"a dwell fails in a held gap longer than the delay, not in a shorter one",
         [](CHeldProgram& p) {
             p.Dense(900, 25, 25, 60, 60);
             p.Held(20, 25, 22, 60, 60);
             p.Dense(300, 25, 25, 60, 60);
             p.Held(3600, 25, 28, 60, 67);
             p.Dense(600, 25, 25.5f, 60, 60);
         },
         60, "verdict\tfail\t0 of 1 dwells passed"},
        {"a gap at the start of a dwell: it settles after the gap, or never",
         [](CHeldProgram& p) {
             p.Dense(700, 20, 20);
             p.Held(1800, 60, 30);
             p.Dense(1200, 60, 59.5f);
             p.Held(1800, 80, 70);
             p.Held(200, 80, 80);
             p.Held(1, 80, 70);
         },
         0, "verdict\tfail\t2 of 3 dwells passed"},
    };
    for (const CCase& c : cases) {
        SCOPED_TRACE(c.szName);
        CHeldProgram held;
        c.build(held);
        CStepOptions options;
        options.nExcursionDelay = c.nDelay;
        const std::int64_t nCount = held.Samples().nCount;
        for (const std::int64_t nBegin : {std::int64_t{0}, held.segments[1].nFirst + 7}) {
            const CProgramAnalysis fromRuns =
                AnalyseProgramSteps(held.Samples(), nBegin, nCount, options);
            const CProgramAnalysis fromSeconds =
                AnalyseProgramSteps(held.program.Samples(), nBegin, nCount, options);
            EXPECT_EQ(Tables(fromSeconds, kMay4), Tables(fromRuns, kMay4));
            if (nBegin == 0) {
                EXPECT_EQ(c.szVerdict, Tables(fromRuns, kMay4).back());
            }
        }
    }
}

// A cancelled analysis stops within a block of samples and says that its figures are
// incomplete; one that is not cancelled over the same samples is complete.
TEST(ProgramSteps, CancelStopsTheAnalysisAndSaysSo)
{
    CProgram program;
    for (int k = 0; k < 40; ++k)
        program.Hold(100000, static_cast<float>(20 + k % 2), 20.5f, 50, 51);
    const CRecordingView samples = program.Samples();
    std::atomic<bool> bCancel{true};
    const CProgramAnalysis cancelled =
        AnalyseProgramSteps(samples, 0, samples.nCount, CStepOptions(), &bCancel);
    EXPECT_TRUE(cancelled.bCancelled);
    EXPECT_LT(cancelled.steps.size(), 40u);
    bCancel = false;
    const CProgramAnalysis whole =
        AnalyseProgramSteps(samples, 0, samples.nCount, CStepOptions(), &bCancel);
    EXPECT_FALSE(whole.bCancelled);
    EXPECT_EQ(40u, whole.steps.size());
}

} // namespace
