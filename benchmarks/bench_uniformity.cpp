// The uniformity of nine loggers mapped together for a month at one sample a second, set
// against a plain loop that only sums every sample of the nine recordings once (the four
// curves each, as the statistics' baseline does), and against the same loop over the two
// measured curves alone, the samples the uniformity reads.
#include "benchsupport.h"

#include "analysis/uniformity.h"

#include <cmath>
#include <cstdio>
#include <memory>

namespace {

constexpr std::int64_t kMonthSamples = 31LL * 86400;
constexpr int kLoggers = 9;

std::shared_ptr<const CRecording> MakeLogger(int nLogger)
{
    auto p = std::make_shared<CRecording>();
    // A few seconds apart, as loggers started by hand are.
    p->SetFirstTime(1'700'000'000 + nLogger * 7);
    for (const EChannel e : kChannels) {
        CFloatArray& arr = p->DenseSamples(e);
        if (!arr.Reserve(kMonthSamples))
            return nullptr;
        float* pData = arr.GetData();
        const int c = static_cast<int>(e);
        for (std::int64_t i = 0; i < kMonthSamples; ++i) {
            const float f = std::round((40.0f + 0.3f * nLogger +
                                        30.0f * std::sin(static_cast<float>(i) /
                                                         (5000.0f + 100.0f * c + 7.0f * nLogger))) *
                                       100.0f) /
                            100.0f;
            pData[i] = f;
        }
        arr.SetSize(kMonthSamples);
    }
    if (!p->AddDense(kMonthSamples))
        return nullptr;
    return p;
}

const CRecordingSet& Loggers()
{
    static const CRecordingSet set = [] {
        CRecordingSet s;
        for (int i = 0; i < kLoggers; ++i)
            s.Add(MakeLogger(i));
        return s;
    }();
    return set;
}

void PlainSum(benchmark::State& state, bool bMeasuredOnly)
{
    const CRecordingSet& set = Loggers();
    MeasureRunTime(state, [&] {
        double dSum = 0.0;
        for (std::size_t i = 0; i < set.GetCount(); ++i) {
            for (const EChannel e : kChannels) {
                if (bMeasuredOnly && e != EChannel::TempPV && e != EChannel::HumiPV)
                    continue;
                const CFloatArray& arr = set.Recording(i).DenseSamples(e);
                const float* p = arr.GetData();
                for (std::int64_t n = 0; n < set.Recording(i).GetCount(); ++n)
                    dSum += p[n];
            }
        }
        benchmark::DoNotOptimize(dSum);
    });
}

void BM_UniformityPlainSum(benchmark::State& state)
{
    PlainSum(state, false);
}

void BM_UniformityPlainSumPV(benchmark::State& state)
{
    PlainSum(state, true);
}

void BM_UniformityNineMonths(benchmark::State& state)
{
    const CRecordingSet& set = Loggers();
    const auto [tFirst, tEnd] = set.CommonSeconds();
    MeasureRunTime(state, [&] {
        CUniformity u = ComputeUniformity(set, tFirst, tEnd, {});
        benchmark::DoNotOptimize(u);
    });
}

BENCHMARK(BM_UniformityPlainSum)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UniformityPlainSumPV)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UniformityNineMonths)->Unit(benchmark::kMillisecond);

const bool g_bSummary = AddSummaryLine([](const CBenchResults& results) -> std::string {
    const auto plain = results.find("BM_UniformityPlainSum");
    const auto plainPV = results.find("BM_UniformityPlainSumPV");
    const auto nine = results.find("BM_UniformityNineMonths");
    if (plain == results.end() || plainPV == results.end() || nine == results.end())
        return {};
    const double fPlain = plain->second.at("ms_per_run");
    const double fPlainPV = plainPV->second.at("ms_per_run");
    const double fNine = nine->second.at("ms_per_run");
    char sz[300];
    std::snprintf(sz, sizeof sz,
                  "uniformity of nine months at 1 Hz: %.1f ms, %.2fx a plain sum of every "
                  "sample (%.1f ms; target at most 3x), %.2fx a plain sum of the measured "
                  "curves alone (%.1f ms)",
                  fNine, fNine / fPlain, fPlain, fNine / fPlainPV, fPlainPV);
    return sz;
});

} // namespace
