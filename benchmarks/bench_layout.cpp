// Opening another logger's layout against the recorder's own: the same year of records at one
// a minute, once as the recorder writes it and once as a semicolon, decimal-comma,
// day-month-year export with separate date and time columns.
#include "benchsupport.h"

#include "recorder/openrecording.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

// "2026/01/31,08:00:00,55.00,55.00,93.10,93.00" as "31.01.2026;08:00:00;55,00;...".
std::string ToSemicolonLine(const std::string& strLine)
{
    if (strLine.size() < 20 || strLine[4] != '/' || strLine[10] != ',')
        return std::string();
    std::string str = strLine.substr(8, 2) + '.' + strLine.substr(5, 2) + '.' +
                      strLine.substr(0, 4) + ';' + strLine.substr(11, 8);
    for (std::size_t i = 19; i < strLine.size(); ++i)
        str += strLine[i] == ',' ? ';' : strLine[i] == '.' ? ',' : strLine[i];
    return str;
}

struct CLayoutFiles
{
    std::filesystem::path recorder;
    std::filesystem::path semicolon;
    std::int64_t nRecords = 0;
};

const CLayoutFiles& LayoutFiles()
{
    static const CLayoutFiles files = [] {
        CLayoutFiles f;
        f.recorder = BenchmarkMinuteYearFile();
        f.semicolon = BenchmarkFolderPath() / "minute-year-semicolon.csv";
        std::ifstream in;
        std::ofstream out(f.semicolon, std::ios::binary);
        in.open(f.recorder, std::ios::binary);
        std::string strLine;
        out << "Datum;Zeit;Temperatur [\xC2\xB0"
               "C];Sollwert Temperatur [\xC2\xB0"
               "C];"
               "Feuchte [%rH];Sollwert Feuchte [%rH]\n";
        std::getline(in, strLine); // the recorder's header
        while (std::getline(in, strLine)) {
            out << ToSemicolonLine(strLine) << '\n';
            ++f.nRecords;
        }
        if (!in.eof() || !out.flush() || f.nRecords == 0) {
            std::fprintf(stderr, "trendora-bench: cannot write the layout files\n");
            std::exit(1);
        }
        return f;
    }();
    return files;
}

// Opened as the window opens a file: the layout recognised from the file itself, then read.
void BM_OpenLayout(benchmark::State& state, bool bSemicolon)
{
    const CLayoutFiles& files = LayoutFiles();
    const std::filesystem::path& path = bSemicolon ? files.semicolon : files.recorder;
    std::int64_t nSamples = 0;
    for (auto _ : state) {
        const COpenResult result = OpenRecordingFile(path, nullptr);
        if (!result.bRead || result.load.status != CLoadResult::EStatus::Loaded ||
            result.layout.bRecorder == bSemicolon) {
            state.SkipWithError("the year of minutes did not open as expected");
            return;
        }
        nSamples = result.load.GetSampleCount();
    }
    state.counters["samples"] = static_cast<double>(nSamples);
    state.counters["records_per_second"] = benchmark::Counter(
        static_cast<double>(files.nRecords), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK_CAPTURE(BM_OpenLayout, Recorder, false)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_OpenLayout, Semicolon, true)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

const bool kSummary = AddSummaryLine([](const CBenchResults& results) -> std::string {
    const auto rate = [&](const char* szName) {
        const auto it = results.find(szName);
        return it == results.end() || !it->second.count("records_per_second")
                   ? 0.0
                   : it->second.at("records_per_second").value;
    };
    const double fRecorder = rate("BM_OpenLayout/Recorder");
    const double fSemicolon = rate("BM_OpenLayout/Semicolon");
    if (fRecorder <= 0.0 || fSemicolon <= 0.0)
        return std::string();
    char sz[200];
    std::snprintf(sz, sizeof sz,
                  "year of minutes: time to open the semicolon day-month-year layout over the "
                  "recorder's own: %.2fx (target <= 2; %.0f vs %.0f records/s)",
                  fRecorder / fSemicolon, fSemicolon, fRecorder);
    return sz;
});

} // namespace
