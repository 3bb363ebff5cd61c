// trendora-bench: runs every registered benchmark, then prints the summary lines (ratios
// against baselines measured in the same run).
#include "benchsupport.h"

#include <QApplication>

#include <clocale>
#include <cstdio>
#include <cstdlib>

namespace {

// Whatever report Google Benchmark's own flags ask for (--benchmark_format, colour), keeping
// each benchmark's counters for the summary.
class CKeepingReporter : public benchmark::BenchmarkReporter
{
public:
    explicit CKeepingReporter(benchmark::BenchmarkReporter* pDisplay) : m_pDisplay(pDisplay) {}

    bool ReportContext(const Context& context) override
    {
        m_pDisplay->SetOutputStream(&GetOutputStream());
        m_pDisplay->SetErrorStream(&GetErrorStream());
        return m_pDisplay->ReportContext(context);
    }

    void ReportRuns(const std::vector<Run>& reports) override
    {
        for (const Run& run : reports) {
            if (run.error_occurred)
                continue;
            const bool bMean = run.run_type == Run::RT_Aggregate && run.aggregate_name == "mean";
            if (run.run_type == Run::RT_Iteration || bMean)
                m_results[run.run_name.function_name] = run.counters;
        }
        m_pDisplay->ReportRuns(reports);
    }

    void Finalize() override { m_pDisplay->Finalize(); }

    const CBenchResults& GetResults() const { return m_results; }

private:
    benchmark::BenchmarkReporter* m_pDisplay; // owned by the library
    CBenchResults m_results;
};

} // namespace

int main(int argc, char** argv)
{
    int nExit = 0;
    if (RunChildModeFromArgs(argc, argv, nExit))
        return nExit;

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // QApplication takes the C library's locale from the environment; the baselines parse
    // with sscanf, which must read '.' as the recorder writes it.
    std::setlocale(LC_NUMERIC, "C");

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 64;
    benchmark::BenchmarkReporter* pDisplay = benchmark::CreateDefaultDisplayReporter();
    // A table on stdout takes the notes and summary lines after it; JSON or CSV stays
    // machine-readable, and they go to stderr.
    std::FILE* pNotes = dynamic_cast<benchmark::ConsoleReporter*>(pDisplay) ? stdout : stderr;
    const char* szTz = std::getenv("TZ");
    std::fprintf(pNotes, "TZ %s\n",
                 szTz ? szTz : "unset (mktime reads /etc/localtime on every call)");
    std::fflush(pNotes);

    CKeepingReporter reporter(pDisplay);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::fflush(stdout);
    std::fprintf(pNotes, "\n");
    PrintSummary(reporter.GetResults(), pNotes);
    return 0;
}
