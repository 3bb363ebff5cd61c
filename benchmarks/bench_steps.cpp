// The program-step analysis of a month at one sample a second, set against a plain loop that
// only sums the four curves' samples once: the generated month's damp-heat programme, and two
// worst cases, a set value that changes every second (every run a stair) and a PV that leaves
// its tolerance every other second of one long dwell (an excursion every two seconds).
#include "benchsupport.h"

#include "analysis/programsteps.h"
#include "recorder/recorderloader.h"

#include <cstdio>
#include <vector>

namespace {

struct CCurves
{
    std::vector<float> curves[4]; // Temp PV, Temp SV, Humi PV, Humi SV
    CRecordingView Samples() const
    {
        return {curves[0].data(), curves[1].data(), curves[2].data(), curves[3].data(),
                static_cast<std::int64_t>(curves[0].size())};
    }
};

const CCurves& Programme()
{
    static const CCurves month = [] {
        CLoadResult result = LoadRecorderFile(BenchmarkMonthFile());
        CCurves c;
        const std::int64_t n = result.recording.GetCount();
        for (int k = 0; k < 4; ++k) {
            c.curves[k].resize(static_cast<std::size_t>(n));
            result.recording.View().CopyOut(kChannels[k], 0, n, c.curves[k].data());
        }
        return c;
    }();
    return month;
}

const CCurves& Worst(bool bStairs)
{
    static const auto make = [](bool bEverySecond) {
        const std::size_t n = 31 * 86400;
        CCurves c;
        for (auto& curve : c.curves)
            curve.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            const float fSV = bEverySecond ? 20.0f + 0.01f * static_cast<float>(i % 5000) : 40.0f;
            c.curves[1][i] = fSV;
            c.curves[0][i] = bEverySecond || i < 600 ? fSV : fSV + (i % 2 ? 3.0f : 0.0f);
            c.curves[3][i] = 50.0f;
            c.curves[2][i] = 50.0f + (!bEverySecond && i >= 600 && i % 2 ? 6.0f : 0.0f);
        }
        return c;
    };
    static const CCurves stairs = make(true);
    static const CCurves chatter = make(false);
    return bStairs ? stairs : chatter;
}

void BM_StepsPlainSum(benchmark::State& state)
{
    MeasurePlainSum(state, Programme().curves);
}

void BM_Steps(benchmark::State& state, const CCurves& (*pCurves)())
{
    const CRecordingView series = pCurves().Samples();
    std::size_t nSteps = 0;
    std::size_t nExcursions = 0;
    MeasureRunTime(state, [&] {
        const CProgramAnalysis a = AnalyseProgramSteps(series, 0, series.nCount, CStepOptions{});
        nSteps = a.steps.size();
        nExcursions = a.excursions.size();
        benchmark::DoNotOptimize(a);
    });
    state.counters["steps"] = static_cast<double>(nSteps);
    state.counters["excursions"] = static_cast<double>(nExcursions);
}

const CCurves& StairsCurves()
{
    return Worst(true);
}
const CCurves& ChatterCurves()
{
    return Worst(false);
}

BENCHMARK(BM_StepsPlainSum)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Steps, programme, &Programme)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Steps, stairs, &StairsCurves)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Steps, chatter, &ChatterCurves)->Unit(benchmark::kMillisecond);

const bool g_bSummary = AddSummaryLine([](const CBenchResults& results) -> std::string {
    const auto plain = results.find("BM_StepsPlainSum");
    if (plain == results.end())
        return {};
    const double fPlain = plain->second.at("ms_per_run");
    char szHead[160];
    std::snprintf(szHead, sizeof szHead,
                  "program steps of a month at 1 Hz against a plain sum of the four curves "
                  "(%.1f ms; target within 3x):",
                  fPlain);
    std::string strLine = szHead;
    for (const char* szCase : {"programme", "stairs", "chatter"}) {
        const auto it = results.find(std::string("BM_Steps/") + szCase);
        if (it == results.end())
            continue;
        const double fSteps = it->second.at("ms_per_run");
        char sz[120];
        std::snprintf(sz, sizeof sz, " %s %.1f ms %.2fx;", szCase, fSteps, fSteps / fPlain);
        strLine += sz;
    }
    return strLine;
});

} // namespace
