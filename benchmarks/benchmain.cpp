// trendora-bench: runs every registered benchmark, then prints the summary lines (ratios
// against baselines measured in the same run).
#include "benchsupport.h"

#include <QApplication>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

// The console report as usual, keeping each benchmark's counters for the summary.
class CKeepingReporter : public benchmark::ConsoleReporter
{
public:
    CKeepingReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& reports) override
    {
        for (const Run& run : reports) {
            if (run.error_occurred)
                continue;
            const bool bMean = run.run_type == Run::RT_Aggregate && run.aggregate_name == "mean";
            if (run.run_type == Run::RT_Iteration || bMean)
                m_results[run.run_name.function_name] = run.counters;
        }
        ConsoleReporter::ReportRuns(reports);
    }

    const CBenchResults& GetResults() const { return m_results; }

private:
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
    const char* szTz = std::getenv("TZ");
    std::printf("TZ %s\n", szTz ? szTz : "unset (mktime reads /etc/localtime on every call)");
    std::fflush(stdout);

    CKeepingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::printf("\n");
    PrintSummary(reporter.GetResults());
    return 0;
}
