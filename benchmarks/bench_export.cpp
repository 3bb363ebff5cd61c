// File > Export and --export of a month at one sample a second, every second (2.6 million
// records), set against copying a file of the export's size through a megabyte buffer.
#include "benchsupport.h"

#include "recorder/recorderloader.h"
#include "view/exportfile.h"

#include <QString>

#include <chrono>
#include <cstdio>
#include <vector>

namespace {

struct CMonthSeries
{
    CLoadResult result;
    CRecordingView series;
    std::filesystem::path folder;

    CMonthSeries()
        : result(LoadRecorderFile(BenchmarkMonthFile())), folder(BenchmarkMonthFile().parent_path())
    {
        series = result.recording.View();
    }

    QString Path(const char* szName) const
    {
        return QString::fromStdString((folder / szName).string());
    }
};

const CMonthSeries& Month()
{
    static const CMonthSeries month;
    return month;
}

bool Export(const CMonthSeries& month, const char* szName)
{
    return ExportRecorderFile(month.Path(szName), month.series,
                              month.result.recording.GetFirstTime(), 0, month.series.nCount, 1)
               .status == CExportFileResult::EStatus::Written;
}

void Measure(benchmark::State& state, const std::function<bool()>& fnRun)
{
    double fSeconds = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!fnRun()) {
            state.SkipWithError("the file could not be written");
            return;
        }
        fSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["ms_per_run"] =
        benchmark::Counter(fSeconds * 1000.0, benchmark::Counter::kAvgIterations);
}

void BM_ExportCopyFile(benchmark::State& state)
{
    const CMonthSeries& month = Month();
    // The file to copy is an export of the month, so both write the same bytes.
    if (!Export(month, "exported.csv")) {
        state.SkipWithError("the export could not be written");
        return;
    }
    const std::string strFrom = (month.folder / "exported.csv").string();
    const std::string strTo = (month.folder / "copied.csv").string();
    std::vector<char> buffer(1 << 20);
    Measure(state, [&] {
        std::FILE* pIn = std::fopen(strFrom.c_str(), "rb");
        std::FILE* pOut = std::fopen(strTo.c_str(), "wb");
        bool bOk = pIn && pOut;
        while (bOk) {
            const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pIn);
            if (n == 0)
                break;
            bOk = std::fwrite(buffer.data(), 1, n, pOut) == n;
        }
        if (pIn)
            std::fclose(pIn);
        if (pOut)
            bOk = std::fclose(pOut) == 0 && bOk;
        return bOk;
    });
}

void BM_ExportMonthEverySecond(benchmark::State& state)
{
    const CMonthSeries& month = Month();
    Measure(state, [&] { return Export(month, "export.csv"); });
}

BENCHMARK(BM_ExportCopyFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportMonthEverySecond)->Unit(benchmark::kMillisecond);

const bool g_bSummary = AddSummaryLine([](const CBenchResults& results) -> std::string {
    const auto copy = results.find("BM_ExportCopyFile");
    const auto exported = results.find("BM_ExportMonthEverySecond");
    if (copy == results.end() || exported == results.end())
        return {};
    const double fCopy = copy->second.at("ms_per_run");
    const double fExport = exported->second.at("ms_per_run");
    char sz[200];
    std::snprintf(sz, sizeof sz,
                  "export of a month at 1 Hz every second: %.0f ms, %.2fx copying a file of its "
                  "size (%.0f ms; target under 4x)",
                  fExport, fExport / fCopy, fCopy);
    return sz;
});

} // namespace
