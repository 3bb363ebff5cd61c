// Loading a month at one record a second into the four curves: Trendora's reader against the
// straightforward loader, and the reader's peak memory.
#include "benchsupport.h"

#include "analysis/programsteps.h"
#include "analysis/runstatistics.h"
#include "curve/curvectrl.h"
#include "recorder/recorderloader.h"

#include <QApplication>

#include <chrono>
#include <cinttypes>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <sstream>
#include <vector>

namespace {

// In the order a record's values are appended.
const char* const kCurveKeys[] = {"!100", "!200", "!101", "!201"};

// The four curves as the view sets them up: created once, growth step set by ResetCurve.
class CPlot
{
public:
    CPlot()
    {
        for (const char* szKey : kCurveKeys)
            m_ctrl.ResetCurve(m_ctrl.AddCurve(szKey, 0, 0, 1));
    }

    std::int64_t GetSampleCount() const
    {
        return m_ctrl.FindCurve(kCurveKeys[0])->m_arrValues.GetSize();
    }

    // FNV-1a over the bits of every sample, to tell two loaders' curves apart.
    std::uint64_t Fingerprint() const
    {
        std::uint64_t h = 0xCBF29CE484222325ull;
        for (const char* szKey : kCurveKeys) {
            const CCurveValues& arr = m_ctrl.FindCurve(szKey)->m_arrValues;
            for (std::int64_t i = 0; i < arr.GetSize(); ++i) {
                std::uint32_t nBits = 0;
                const float fValue = arr.Value(i);
                std::memcpy(&nBits, &fValue, sizeof nBits);
                h = (h ^ nBits) * 0x100000001B3ull;
            }
        }
        return h;
    }

    CCurveCtrl m_ctrl;
};

// The straightforward loader: stdio lines, sscanf and mktime per record, one FindCurve and
// AppendValue per sample and curve.
bool BaselineLoad(const std::filesystem::path& path, CCurveCtrl& ctrl)
{
    std::FILE* pFile = std::fopen(path.c_str(), "r");
    if (!pFile)
        return false;
    char szLine[512];
    if (!std::fgets(szLine, sizeof szLine, pFile) || !std::fgets(szLine, sizeof szLine, pFile)) {
        std::fclose(pFile);
        return false;
    }
    for (const char* szKey : kCurveKeys)
        ctrl.ClearCurve(ctrl.FindCurve(szKey));
    bool bFirst = true;
    bool bValid = true;
    std::int64_t tCursor = 0;
    do {
        int nYear = 0, nMonth = 0, nDay = 0, nHour = 0, nMinute = 0, nSecond = 0;
        float fTempPV = 0.0f, fTempSV = 0.0f, fHumiPV = -1.0f, fHumiSV = -1.0f;
        std::sscanf(szLine, "%d/%d/%d,%d:%d:%d,%f,%f,%f,%f", &nYear, &nMonth, &nDay, &nHour,
                    &nMinute, &nSecond, &fTempPV, &fTempSV, &fHumiPV, &fHumiSV);
        if (static_cast<unsigned>(nYear) < 100)
            nYear += 2000;
        if (nYear < 1900 || nMonth < 1 || nMonth > 12 || nDay < 1 || nDay > 31 || nHour < 0 ||
            nHour > 23 || nMinute < 0 || nMinute > 59 || nSecond < 0 || nSecond > 59) {
            bValid = false;
            break;
        }
        std::tm tm{};
        tm.tm_year = nYear - 1900;
        tm.tm_mon = nMonth - 1;
        tm.tm_mday = nDay;
        tm.tm_hour = nHour;
        tm.tm_min = nMinute;
        tm.tm_sec = nSecond;
        tm.tm_isdst = -1;
        const std::time_t t = std::mktime(&tm);
        if (t == -1) {
            bValid = false;
            break;
        }
        std::int64_t nCount = 1;
        if (bFirst) {
            bFirst = false;
        } else {
            nCount = t - tCursor;
            if (nCount <= 0)
                continue;
        }
        tCursor = t;
        for (std::int64_t i = 0; i < nCount; ++i) {
            ctrl.AppendValue(ctrl.FindCurve(QStringLiteral("!100")), fTempPV);
            ctrl.AppendValue(ctrl.FindCurve(QStringLiteral("!200")), fHumiPV);
            ctrl.AppendValue(ctrl.FindCurve(QStringLiteral("!101")), fTempSV);
            ctrl.AppendValue(ctrl.FindCurve(QStringLiteral("!201")), fHumiSV);
        }
    } while (std::fgets(szLine, sizeof szLine, pFile));
    std::fclose(pFile);
    return bValid;
}

// Trendora's way: the reader builds a recording, whose channels the curves then show.
bool TrendoraLoadWith(const std::filesystem::path& path, CCurveCtrl& ctrl,
                      const CReadOptions& options)
{
    CLoadResult result = LoadRecorderFile(path, LoadProgress(), options);
    if (result.status != CLoadResult::EStatus::Loaded)
        return false;
    const auto pRecording = std::make_shared<const CRecording>(std::move(result.recording));
    const EChannel channels[] = {EChannel::TempPV, EChannel::HumiPV, EChannel::TempSV,
                                 EChannel::HumiSV};
    for (int i = 0; i < 4; ++i)
        ctrl.ShowChannel(ctrl.FindCurve(kCurveKeys[i]), pRecording, channels[i]);
    return true;
}

bool TrendoraLoad(const std::filesystem::path& path, CCurveCtrl& ctrl)
{
    return TrendoraLoadWith(path, ctrl, CReadOptions());
}

bool TrendoraLoadOneThread(const std::filesystem::path& path, CCurveCtrl& ctrl)
{
    CReadOptions options;
    options.nThreads = 1;
    return TrendoraLoadWith(path, ctrl, options);
}

struct CLoaded
{
    std::int64_t nSamples = 0;
    std::uint64_t nFingerprint = 0;
};
std::map<std::string, CLoaded> g_loaded; // by benchmark

void RunLoad(benchmark::State& state, const char* szName,
             bool (*pLoad)(const std::filesystem::path&, CCurveCtrl&),
             const std::filesystem::path& (*pFile)() = &BenchmarkMonthFile)
{
    const std::filesystem::path& path = pFile();
    const auto nBytes = static_cast<std::int64_t>(std::filesystem::file_size(path));
    CPlot plot;
    for (auto _ : state) {
        if (!pLoad(path, plot.m_ctrl)) {
            state.SkipWithError("the month did not load completely");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * nBytes);
    state.counters["samples"] = static_cast<double>(plot.GetSampleCount());
    g_loaded[szName] = {plot.GetSampleCount(), plot.Fingerprint()};
}

void BM_LoadBaseline(benchmark::State& state)
{
    RunLoad(state, "BM_LoadBaseline", &BaselineLoad);
}
BENCHMARK(BM_LoadBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadTrendora(benchmark::State& state)
{
    RunLoad(state, "BM_LoadTrendora", &TrendoraLoad);
}
BENCHMARK(BM_LoadTrendora)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadTrendoraOneThread(benchmark::State& state)
{
    RunLoad(state, "BM_LoadTrendoraOneThread", &TrendoraLoadOneThread);
}
BENCHMARK(BM_LoadTrendoraOneThread)->Unit(benchmark::kMillisecond)->UseRealTime();

// Files whose times repeat: every stretch of a repeat covers samples the series already has,
// and the reader in file order reads it instead, once.
void BM_Repeated(benchmark::State& state, const char* szName,
                 bool (*pLoad)(const std::filesystem::path&, CCurveCtrl&),
                 const std::filesystem::path& (*pFile)())
{
    RunLoad(state, szName, pLoad, pFile);
}
BENCHMARK_CAPTURE(BM_Repeated, RestartBaseline, "BM_Repeated/RestartBaseline", &BaselineLoad,
                  &BenchmarkRestartFile)
    ->Name("BM_Repeated/RestartBaseline")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Repeated, Restart, "BM_Repeated/Restart", &TrendoraLoad, &BenchmarkRestartFile)
    ->Name("BM_Repeated/Restart")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Repeated, RestartOneThread, "BM_Repeated/RestartOneThread",
                  &TrendoraLoadOneThread, &BenchmarkRestartFile)
    ->Name("BM_Repeated/RestartOneThread")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Repeated, AppendedBaseline, "BM_Repeated/AppendedBaseline", &BaselineLoad,
                  &BenchmarkAppendedFile)
    ->Name("BM_Repeated/AppendedBaseline")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Repeated, Appended, "BM_Repeated/Appended", &TrendoraLoad,
                  &BenchmarkAppendedFile)
    ->Name("BM_Repeated/Appended")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Repeated, AppendedOneThread, "BM_Repeated/AppendedOneThread",
                  &TrendoraLoadOneThread, &BenchmarkAppendedFile)
    ->Name("BM_Repeated/AppendedOneThread")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Reading the file's bytes and nothing else: the floor under any loader.
void BM_ReadBytes(benchmark::State& state)
{
    const std::filesystem::path& path = BenchmarkMonthFile();
    const auto nBytes = static_cast<std::int64_t>(std::filesystem::file_size(path));
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        std::FILE* pFile = std::fopen(path.c_str(), "rb");
        if (!pFile) {
            state.SkipWithError("the month cannot be opened");
            return;
        }
        while (std::fread(buffer.data(), 1, buffer.size(), pFile) > 0)
            benchmark::DoNotOptimize(buffer.data());
        std::fclose(pFile);
    }
    state.SetBytesProcessed(state.iterations() * nBytes);
}
BENCHMARK(BM_ReadBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

// Whole processes, from start to exit, as the user meets them: Trendora's reader in
// trendora-series --summary, the straightforward loader in a child of this program (whose
// start, about 40 ms with Qt, is noise against its seconds), and cat reading the bytes.
int BaselineLoadChild(const std::vector<std::string>& args)
{
    // The curves are widgets.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char szName[] = "trendora-bench";
    char* argv[] = {szName, nullptr};
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    CPlot plot;
    return args.size() == 1 && BaselineLoad(args[0], plot.m_ctrl) ? 0 : 1;
}
const bool kBaselineMode = AddChildMode("baseline-load", &BaselineLoadChild);

void BM_WholeProcess(benchmark::State& state, const std::function<bool(const std::string&)>& run)
{
    const std::filesystem::path& path = BenchmarkMonthFile();
    for (auto _ : state) {
        if (!run(path.string())) {
            state.SkipWithError("the process failed");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
}
BENCHMARK_CAPTURE(BM_WholeProcess, Baseline,
                  [](const std::string& strPath) {
                      std::string strOut;
                      return RunInChild("baseline-load", {strPath}, strOut);
                  })
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_WholeProcess, Trendora,
                  [](const std::string& strPath) {
                      return RunProgram(TRENDORA_SERIES_PATH, {"--summary", strPath});
                  })
    ->Repetitions(5)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
// A report run reads the same file into a recording and prints its figures, with a core
// application and no GUI; what it does beyond the series tool's summary is its cost.
BENCHMARK_CAPTURE(BM_WholeProcess, Statistics,
                  [](const std::string& strPath) {
                      return RunProgram(TRENDORA_PATH, {"--statistics", strPath});
                  })
    ->Repetitions(5)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_WholeProcess, ReadBytes,
                  [](const std::string& strPath) { return RunProgram("cat", {strPath}); })
    ->Repetitions(5)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A year at one record a second: 31.5 million samples, about 500 MB of curves. Writing the
// file takes longer than reading it; leave it out with --benchmark_filter=-Year.
void BM_LoadYear(benchmark::State& state)
{
    const std::filesystem::path& path = BenchmarkYearFile();
    const auto nBytes = static_cast<std::int64_t>(std::filesystem::file_size(path));
    std::int64_t nSamples = 0;
    for (auto _ : state) {
        const CLoadResult result = LoadRecorderFile(path);
        if (result.status != CLoadResult::EStatus::Loaded) {
            state.SkipWithError("the year did not load completely");
            return;
        }
        nSamples = result.GetSampleCount();
    }
    state.SetBytesProcessed(state.iterations() * nBytes);
    state.counters["samples"] = static_cast<double>(nSamples);
    state.counters["seconds"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                   benchmark::Counter::kIsIterationInvariantRate |
                                                       benchmark::Counter::kInvert);
}
BENCHMARK(BM_LoadYear)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

long StatusKilobytes(const char* szField)
{
    std::ifstream status("/proc/self/status");
    std::string strLine;
    const std::size_t nLen = std::strlen(szField);
    while (std::getline(status, strLine))
        if (strLine.compare(0, nLen, szField) == 0 && strLine.size() > nLen && strLine[nLen] == ':')
            return std::strtol(strLine.c_str() + nLen + 1, nullptr, 10);
    return -1;
}

// In a fresh process: loads FILE nLoadsBefore times (freeing each series, as reopening
// does), then prints the resident-memory peak of one more load above what was resident
// before it, and its sample count. The peak is reset first; where the kernel does not allow
// that, a later load's peak cannot be told from an earlier one and -1 is printed.
int LoadPeakChild(const std::vector<std::string>& args)
{
    if (args.size() != 2)
        return 64;
    const int nLoadsBefore = std::atoi(args[1].c_str());
    for (int i = 0; i < nLoadsBefore; ++i)
        LoadRecorderFile(args[0]);
    const long nRssBefore = StatusKilobytes("VmRSS");
    const bool bPeakReset = static_cast<bool>(std::ofstream("/proc/self/clear_refs") << "5");
    const CLoadResult result = LoadRecorderFile(args[0]);
    const long nPeak = StatusKilobytes("VmHWM");
    if (result.status != CLoadResult::EStatus::Loaded || nRssBefore < 0 || nPeak < 0)
        return 1;
    const long long nBytes = bPeakReset || nLoadsBefore == 0 ? (nPeak - nRssBefore) * 1024LL : -1LL;
    std::printf("%lld %" PRId64 "\n", nBytes, result.GetSampleCount());
    return 0;
}
const bool kLoadPeakMode = AddChildMode("load-peak", &LoadPeakChild);

void BM_LoadPeakMemory(benchmark::State& state, const std::filesystem::path& (*pFile)(),
                       int nLoadsBefore)
{
    const std::filesystem::path& path = pFile();
    long long nBytes = -1;
    long long nSamples = 0;
    for (auto _ : state) {
        std::string strOut;
        if (!RunInChild("load-peak", {path.string(), std::to_string(nLoadsBefore)}, strOut) ||
            !(std::istringstream(strOut) >> nBytes >> nSamples) || nBytes < 0 || nSamples <= 0) {
            state.SkipWithError("the peak could not be measured");
            return;
        }
    }
    state.counters["peak_MB"] = static_cast<double>(nBytes) / 1e6;
    state.counters["bytes_per_sample"] =
        static_cast<double>(nBytes) / static_cast<double>(nSamples);
}
BENCHMARK_CAPTURE(BM_LoadPeakMemory, first, &BenchmarkMonthFile, 0)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_LoadPeakMemory, reopen, &BenchmarkMonthFile, 1)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_LoadPeakMemory, Year, &BenchmarkYearFile, 0)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// In a fresh process: loads FILE, works out its run statistics and its program steps as a
// report run does, and prints the process's resident-memory peak (all of it, the program's
// own start included), the sample count, and the milliseconds of the load and of the steps.
int AnalysisPeakChild(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return 64;
    using CClock = std::chrono::steady_clock;
    const auto ms = [](CClock::duration d) {
        return std::chrono::duration<double, std::milli>(d).count();
    };
    const CClock::time_point tStart = CClock::now();
    const CLoadResult result = LoadRecorderFile(args[0]);
    const CClock::time_point tLoaded = CClock::now();
    if (result.status != CLoadResult::EStatus::Loaded)
        return 1;
    const CRecordingView view = result.recording.View();
    const CRunStatistics statistics = ComputeRunStatistics(view, 0, view.nCount, CTolerances());
    const CClock::time_point tStatistics = CClock::now();
    const CProgramAnalysis steps = AnalyseProgramSteps(view, 0, view.nCount, CStepOptions());
    const CClock::time_point tSteps = CClock::now();
    benchmark::DoNotOptimize(statistics);
    const long nPeak = StatusKilobytes("VmHWM");
    if (nPeak < 0 || steps.bCancelled)
        return 1;
    std::printf("%lld %" PRId64 " %.3f %.3f %zu %" PRId64 "\n", nPeak * 1024LL,
                result.GetSampleCount(), ms(tLoaded - tStart), ms(tSteps - tStatistics),
                steps.steps.size(), result.recording.GetMemoryBytes());
    return 0;
}
const bool kAnalysisPeakMode = AddChildMode("analysis-peak", &AnalysisPeakChild);

void BM_AnalysisPeakMemory(benchmark::State& state, const std::filesystem::path& (*pFile)())
{
    const std::filesystem::path& path = pFile();
    long long nBytes = -1;
    long long nSamples = 0;
    double fLoadMs = 0.0;
    double fStepsMs = 0.0;
    std::size_t nSteps = 0;
    long long nKept = 0;
    for (auto _ : state) {
        std::string strOut;
        if (!RunInChild("analysis-peak", {path.string()}, strOut) ||
            !(std::istringstream(strOut) >> nBytes >> nSamples >> fLoadMs >> fStepsMs >> nSteps >>
              nKept) ||
            nBytes <= 0 || nSamples <= 0) {
            state.SkipWithError("the peak could not be measured");
            return;
        }
    }
    state.counters["peak_MB"] = static_cast<double>(nBytes) / 1e6;
    state.counters["bytes_per_sample"] =
        static_cast<double>(nBytes) / static_cast<double>(nSamples);
    state.counters["samples"] = static_cast<double>(nSamples);
    // What the recording itself keeps, its growth room included.
    state.counters["kept_MB"] = static_cast<double>(nKept) / 1e6;
    state.counters["kept_bytes_per_sample"] =
        static_cast<double>(nKept) / static_cast<double>(nSamples);
    state.counters["load_ms"] = fLoadMs;
    state.counters["steps_ms"] = fStepsMs;
    state.counters["steps"] = static_cast<double>(nSteps);
}
BENCHMARK_CAPTURE(BM_AnalysisPeakMemory, TenMinuteYears, &BenchmarkTenMinuteYearsFile)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_AnalysisPeakMemory, MinuteYear, &BenchmarkMinuteYearFile)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_AnalysisPeakMemory, Month, &BenchmarkMonthFile)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// "LABEL: ... (target ...)" for a whole process's peak, in MB or in bytes per sample.
std::string AnalysisPeakLine(const CBenchResults& results, const char* szCase, const char* szLabel,
                             bool bPerSample, double fTarget)
{
    const auto it = results.find(std::string("BM_AnalysisPeakMemory/") + szCase);
    if (it == results.end() || !it->second.count("peak_MB"))
        return std::string();
    const benchmark::UserCounters& c = it->second;
    char sz[240];
    if (bPerSample)
        std::snprintf(sz, sizeof sz,
                      "%s: the recording keeps %.2f bytes per sample (target <= %.0f); whole "
                      "process peak %.1f MB, %.2f bytes per sample",
                      szLabel, c.at("kept_bytes_per_sample").value, fTarget, c.at("peak_MB").value,
                      c.at("bytes_per_sample").value);
    else
        std::snprintf(sz, sizeof sz,
                      "%s: whole process peak %.1f MB (target <= %.0f MB); the recording keeps "
                      "%.1f MB",
                      szLabel, c.at("peak_MB").value, fTarget, c.at("kept_MB").value);
    return sz;
}

std::string PeakLine(const CBenchResults& results, const std::string& strName, const char* szLabel)
{
    const auto it = results.find(strName);
    if (it == results.end() || !it->second.count("bytes_per_sample"))
        return std::string();
    char sz[160];
    std::snprintf(sz, sizeof sz, "%s: %.2f (target <= 19.2; 16 bytes of samples + 20%%)", szLabel,
                  it->second.at("bytes_per_sample").value);
    return sz;
}

const bool kSummary =
    AddSpeedupLine("load speedup vs baseline (target >= 12)", "BM_LoadBaseline",
                   "BM_LoadTrendora") &&
    AddSpeedupLine("load time over the time to read the bytes (target <= 8)", "BM_LoadTrendora",
                   "BM_ReadBytes") &&
    AddSpeedupLine("load on every core vs on one thread", "BM_LoadTrendoraOneThread",
                   "BM_LoadTrendora") &&
    AddSpeedupLine("restarting clock: load speedup vs baseline (target >= 3)",
                   "BM_Repeated/RestartBaseline", "BM_Repeated/Restart") &&
    AddSpeedupLine("restarting clock: load vs on one thread", "BM_Repeated/RestartOneThread",
                   "BM_Repeated/Restart") &&
    AddSpeedupLine("appended week: load speedup vs baseline (target >= 3)",
                   "BM_Repeated/AppendedBaseline", "BM_Repeated/Appended") &&
    AddSpeedupLine("appended week: load vs on one thread", "BM_Repeated/AppendedOneThread",
                   "BM_Repeated/Appended") &&
    AddSpeedupLine("whole process: load speedup vs baseline (target >= 12)",
                   "BM_WholeProcess/Baseline", "BM_WholeProcess/Trendora") &&
    AddSpeedupLine("whole process: load time over cat's time to read the bytes (target <= 8)",
                   "BM_WholeProcess/Trendora", "BM_WholeProcess/ReadBytes") &&
    AddSpeedupLine("whole process: trendora --statistics time over trendora-series --summary's "
                   "(target <= 1.3)",
                   "BM_WholeProcess/Statistics", "BM_WholeProcess/Trendora") &&
    AddSummaryLine([](const CBenchResults&) -> std::string {
        const auto baseline = g_loaded.find("BM_LoadBaseline");
        const auto ours = g_loaded.find("BM_LoadTrendora");
        if (baseline == g_loaded.end() || ours == g_loaded.end())
            return std::string();
        const bool bSame = baseline->second.nSamples == ours->second.nSamples &&
                           baseline->second.nFingerprint == ours->second.nFingerprint;
        return std::string("curves identical to the baseline's: ") + (bSame ? "yes" : "NO") + " (" +
               FormatWithThousands(ours->second.nSamples) + " samples)";
    }) &&
    AddSummaryLine([](const CBenchResults& results) {
        return PeakLine(results, "BM_LoadPeakMemory/first", "peak bytes per sample");
    }) &&
    AddSummaryLine([](const CBenchResults& results) {
        return PeakLine(results, "BM_LoadPeakMemory/reopen",
                        "peak bytes per sample, after an earlier load was freed");
    }) &&
    AddSummaryLine([](const CBenchResults& results) {
        return AnalysisPeakLine(results, "TenMinuteYears",
                                "whole process, load + statistics + steps of three years at "
                                "10-minute records",
                                false, 64);
    }) &&
    AddSummaryLine([](const CBenchResults& results) {
        return AnalysisPeakLine(results, "MinuteYear",
                                "whole process, load + statistics + steps of a year at "
                                "1-minute records",
                                false, 64);
    }) &&
    AddSummaryLine([](const CBenchResults& results) {
        return AnalysisPeakLine(results, "Month",
                                "whole process, load + statistics + steps of a month at 1 Hz", true,
                                18);
    }) &&
    AddSummaryLine([](const CBenchResults& results) -> std::string {
        const auto it = results.find("BM_AnalysisPeakMemory/TenMinuteYears");
        if (it == results.end() || !it->second.count("load_ms"))
            return std::string();
        const double fLoad = it->second.at("load_ms").value;
        const double fSteps = it->second.at("steps_ms").value;
        char sz[240];
        std::snprintf(
            sz, sizeof sz,
            "three years at 10-minute records (%s seconds, %.0f steps): load %.1f ms, "
            "load + steps %.1f ms (%.2fx loading alone)",
            FormatWithThousands(static_cast<std::int64_t>(it->second.at("samples").value)).c_str(),
            it->second.at("steps").value, fLoad, fLoad + fSteps, (fLoad + fSteps) / fLoad);
        return sz;
    }) &&
    AddSummaryLine([](const CBenchResults& results) -> std::string {
        const auto load = results.find("BM_LoadYear");
        const auto peak = results.find("BM_LoadPeakMemory/Year");
        if (load == results.end() || peak == results.end() || !load->second.count("seconds") ||
            !peak->second.count("peak_MB"))
            return std::string();
        char sz[200];
        std::snprintf(
            sz, sizeof sz,
            "a year (%s samples): loaded in %.2f s, peak %.0f MB (%.2f bytes per sample)",
            FormatWithThousands(static_cast<std::int64_t>(load->second.at("samples").value))
                .c_str(),
            load->second.at("seconds").value, peak->second.at("peak_MB").value,
            peak->second.at("bytes_per_sample").value);
        return sz;
    });

} // namespace
