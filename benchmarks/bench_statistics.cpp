// The figures of the statistics window for a month at one sample a second: the whole
// recording, and the largest page (720 pixels at 3600 seconds a pixel, the whole month), set
// against a plain loop that only sums the four curves' samples once.
#include "benchsupport.h"

#include "analysis/runstatistics.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr std::int64_t kMonthSamples = 31LL * 86400;

struct CMonth
{
    std::vector<float> curves[4];

    CMonth()
    {
        for (int c = 0; c < 4; ++c) {
            curves[c].resize(static_cast<std::size_t>(kMonthSamples));
            for (std::int64_t i = 0; i < kMonthSamples; ++i) {
                const float f = std::round((40.0f + 30.0f * std::sin(static_cast<float>(i) /
                                                                     (5000.0f + 100.0f * c))) *
                                           100.0f) /
                                100.0f;
                // A tenth of the humidity from a recorder without the sensor.
                curves[c][static_cast<std::size_t>(i)] = c >= 2 && i % 10 == 0 ? -1.0f : f;
            }
        }
    }

    CRecordingView Samples() const
    {
        return {curves[0].data(), curves[1].data(), curves[2].data(), curves[3].data(),
                kMonthSamples};
    }
};

const CMonth& Month()
{
    static const CMonth month;
    return month;
}

void BM_StatisticsPlainSum(benchmark::State& state)
{
    MeasurePlainSum(state, Month().curves);
}

void BM_StatisticsWholeMonth(benchmark::State& state)
{
    const CRecordingView series = Month().Samples();
    MeasureRunTime(state, [&] {
        CRunStatistics s = ComputeRunStatistics(series, 0, series.nCount, CTolerances{});
        benchmark::DoNotOptimize(s);
    });
}

BENCHMARK(BM_StatisticsPlainSum)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StatisticsWholeMonth)->Unit(benchmark::kMillisecond);

const bool g_bSummary = AddSummaryLine([](const CBenchResults& results) -> std::string {
    const auto plain = results.find("BM_StatisticsPlainSum");
    const auto whole = results.find("BM_StatisticsWholeMonth");
    if (plain == results.end() || whole == results.end())
        return {};
    const double fPlain = plain->second.at("ms_per_run");
    const double fWhole = whole->second.at("ms_per_run");
    char sz[200];
    std::snprintf(sz, sizeof sz,
                  "statistics of a month at 1 Hz: %.1f ms, %.2fx a plain sum of the samples "
                  "(%.1f ms; target under 50 ms)",
                  fWhole, fWhole / fPlain, fPlain);
    return sz;
});

} // namespace
