// Several files of one run: forty days at one record a second split into a file a day and
// joined, against the same records in one file, both through the one entry that opens
// several files; and nine month-long minute files opened side by side, for the whole
// process's peak memory.
#include "benchsupport.h"

#include "recorder/openrecordings.h"
#include "recordinggen.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace {

constexpr int kDays = 40;
constexpr std::int64_t kSecondsPerDay = 86400;

// The forty days in one file, and the same lines split into a file a day, each with the
// header; written once per run.
struct CFortyDays
{
    std::filesystem::path whole;
    std::vector<std::filesystem::path> days;
};

const CFortyDays& FortyDays()
{
    static const CFortyDays files = [] {
        CFortyDays made;
        CRecordingOptions options = BenchmarkMonthOptions();
        options.nSeconds = kDays * kSecondsPerDay;
        made.whole = BenchmarkFolderPath() / "forty-days.csv";
        if (!WriteRecordingFile(made.whole, options)) {
            std::fprintf(stderr, "trendora-bench: cannot write %s\n", made.whole.string().c_str());
            std::exit(1);
        }
        std::ifstream in(made.whole, std::ios::binary);
        std::string strHeader;
        std::getline(in, strHeader);
        std::string strLine;
        for (int d = 0; d < kDays; ++d) {
            char szName[32];
            std::snprintf(szName, sizeof szName, "day-%02d.csv", d + 1);
            made.days.push_back(BenchmarkFolderPath() / szName);
            std::ofstream out(made.days.back(), std::ios::binary | std::ios::trunc);
            out << strHeader << '\n';
            for (std::int64_t s = 0; s < kSecondsPerDay && std::getline(in, strLine); ++s)
                out << strLine << '\n';
        }
        return made;
    }();
    return files;
}

// User and system time of every thread of the process so far.
double ProcessCpuSeconds()
{
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& tv) {
        return static_cast<double>(tv.tv_sec) + static_cast<double>(tv.tv_usec) * 1e-6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void RunOpen(benchmark::State& state, const std::vector<std::filesystem::path>& paths, bool bJoined)
{
    const auto nBytes = static_cast<std::int64_t>(std::filesystem::file_size(FortyDays().whole));
    std::int64_t nSamples = 0;
    const double fCpuBefore = ProcessCpuSeconds();
    for (auto _ : state) {
        const COpenFilesResult result = OpenRecordingFiles(paths, nullptr);
        if (result.recordings.size() != 1 || result.bJoined != bJoined) {
            state.SkipWithError("the forty days did not open as one recording");
            return;
        }
        nSamples = result.recordings.front().GetCount();
    }
    // Both count the same bytes, so that their rates compare as their times.
    state.SetBytesProcessed(state.iterations() * nBytes);
    state.counters["samples"] = static_cast<double>(nSamples);
    // Every thread's processor time: on a machine others load, the wall time says less.
    state.counters["cpu_ms"] = (ProcessCpuSeconds() - fCpuBefore) * 1e3 /
                               static_cast<double>(std::max<std::int64_t>(1, state.iterations()));
}

void BM_FortyDaysOneFile(benchmark::State& state)
{
    RunOpen(state, {FortyDays().whole}, false);
}
BENCHMARK(BM_FortyDaysOneFile)->Iterations(4)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FortyDaysJoined(benchmark::State& state)
{
    RunOpen(state, FortyDays().days, true);
}
BENCHMARK(BM_FortyDaysJoined)->Iterations(4)->Unit(benchmark::kMillisecond)->UseRealTime();

// Nine chambers' month at one record a minute, all from the same start: they do not follow
// one another and open side by side.
std::vector<std::filesystem::path> NineMinuteMonths()
{
    static const std::vector<std::filesystem::path> paths = [] {
        std::vector<std::filesystem::path> made;
        for (int i = 0; i < 9; ++i) {
            CRecordingOptions options = BenchmarkMonthOptions();
            options.nSeconds = 30 * kSecondsPerDay;
            options.nInterval = 60;
            options.nSeed += static_cast<std::uint64_t>(i);
            made.push_back(BenchmarkFolderPath() / ("chamber-" + std::to_string(i + 1) + ".csv"));
            if (!WriteRecordingFile(made.back(), options))
                std::exit(1);
        }
        return made;
    }();
    return paths;
}

long PeakKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string strLine;
    while (std::getline(status, strLine))
        if (strLine.compare(0, 6, "VmHWM:") == 0)
            return std::strtol(strLine.c_str() + 6, nullptr, 10);
    return -1;
}

// In a fresh process: opens the files given together and prints the resident-memory peak
// of the whole process and the recordings it gave.
int SideBySidePeakChild(const std::vector<std::string>& args)
{
    std::vector<std::filesystem::path> paths(args.begin(), args.end());
    const COpenFilesResult result = OpenRecordingFiles(paths, nullptr);
    const long nPeak = PeakKilobytes();
    if (nPeak < 0 || result.bJoined || result.recordings.size() != paths.size())
        return 1;
    std::int64_t nKept = 0;
    for (const CRecording& recording : result.recordings)
        nKept += recording.GetMemoryBytes();
    std::printf("%lld %zu %" PRId64 "\n", nPeak * 1024LL, result.recordings.size(), nKept);
    return 0;
}
const bool kSideBySideMode = AddChildMode("side-by-side-peak", &SideBySidePeakChild);

void BM_SideBySidePeakMemory(benchmark::State& state)
{
    std::vector<std::string> args;
    for (const std::filesystem::path& path : NineMinuteMonths())
        args.push_back(path.string());
    long long nBytes = -1;
    std::size_t nRecordings = 0;
    long long nKept = 0;
    for (auto _ : state) {
        std::string strOut;
        if (!RunInChild("side-by-side-peak", args, strOut) ||
            !(std::istringstream(strOut) >> nBytes >> nRecordings >> nKept)) {
            state.SkipWithError("the peak could not be measured");
            return;
        }
    }
    state.counters["peak_MB"] = static_cast<double>(nBytes) / 1e6;
    state.counters["kept_MB"] = static_cast<double>(nKept) / 1e6;
    state.counters["recordings"] = static_cast<double>(nRecordings);
}
BENCHMARK(BM_SideBySidePeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// A rate from a benchmark's results, 0 where it did not run.
double Rate(const CBenchResults& results, const char* szName)
{
    const auto it = results.find(szName);
    if (it == results.end() || !it->second.count("bytes_per_second"))
        return 0.0;
    return it->second.at("bytes_per_second").value;
}

const bool kSummary =
    AddSummaryLine([](const CBenchResults& results) {
        const double fJoined = Rate(results, "BM_FortyDaysJoined");
        const double fOne = Rate(results, "BM_FortyDaysOneFile");
        if (fJoined <= 0.0 || fOne <= 0.0)
            return std::string();
        const double fCpuJoined = results.at("BM_FortyDaysJoined").at("cpu_ms").value;
        const double fCpuOne = results.at("BM_FortyDaysOneFile").at("cpu_ms").value;
        char sz[240];
        std::snprintf(sz, sizeof sz,
                      "forty day files joined: %.2fx the time of one file of the same records "
                      "(target <= 1.2); processor time of all threads %.2fx",
                      fOne / fJoined, fCpuJoined / std::max(fCpuOne, 1e-9));
        return std::string(sz);
    }) &&
    AddSummaryLine([](const CBenchResults& results) {
        const auto it = results.find("BM_SideBySidePeakMemory");
        if (it == results.end() || !it->second.count("peak_MB"))
            return std::string();
        char sz[200];
        std::snprintf(sz, sizeof sz,
                      "nine minute months side by side: whole process peak %.1f MB (target <= "
                      "100 MB); the recordings keep %.1f MB",
                      it->second.at("peak_MB").value, it->second.at("kept_MB").value);
        return std::string(sz);
    });

} // namespace
