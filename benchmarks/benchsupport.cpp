#include "benchsupport.h"

#include "recordinggen.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

class CTempFolder
{
public:
    CTempFolder()
    {
        std::string strTemplate =
            (std::filesystem::temp_directory_path() / "trendora-bench-XXXXXX").string();
        if (!mkdtemp(strTemplate.data())) {
            std::perror("trendora-bench: cannot create a temporary folder");
            std::exit(1);
        }
        m_path = strTemplate;
    }
    ~CTempFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    const std::filesystem::path& GetPath() const { return m_path; }

private:
    std::filesystem::path m_path;
};

std::vector<SummaryLine>& SummaryLines()
{
    static std::vector<SummaryLine> lines;
    return lines;
}

std::map<std::string, ChildMode>& ChildModes()
{
    static std::map<std::string, ChildMode> modes;
    return modes;
}

constexpr const char* kChildFlag = "--child";

CTempFolder& BenchmarkFolder()
{
    static CTempFolder folder;
    return folder;
}

std::filesystem::path WriteBenchmarkFile(const char* szName, const CRecordingOptions& options)
{
    const std::filesystem::path file = BenchmarkFolder().GetPath() / szName;
    if (!WriteRecordingFile(file, options)) {
        std::fprintf(stderr, "trendora-bench: cannot write %s\n", file.string().c_str());
        std::exit(1);
    }
    return file;
}

// nRepeats copies of nSeconds records a second apart from the wall time tStart (as UTC
// fields), after a header.
std::filesystem::path WriteRepeatedFile(const char* szName, std::int64_t tStart, int nSeconds,
                                        int nRepeats)
{
    std::string strBlock;
    strBlock.reserve(static_cast<std::size_t>(nSeconds) * 40);
    for (int i = 0; i < nSeconds; ++i) {
        const std::time_t t = static_cast<std::time_t>(tStart + i);
        std::tm u{};
        gmtime_r(&t, &u);
        char sz[96];
        const int n =
            std::snprintf(sz, sizeof sz, "%04d/%02d/%02d,%02d:%02d:%02d,%d.%d,25.0,%d.5,60.0\n",
                          u.tm_year + 1900, u.tm_mon + 1, u.tm_mday, u.tm_hour, u.tm_min, u.tm_sec,
                          20 + i % 7, i % 10, 40 + i % 13);
        strBlock.append(sz, static_cast<std::size_t>(n));
    }
    const std::filesystem::path file = BenchmarkFolder().GetPath() / szName;
    std::FILE* pFile = std::fopen(file.c_str(), "wb");
    bool bWritten = pFile && std::fputs("Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\n", pFile) >= 0;
    for (int i = 0; bWritten && i < nRepeats; ++i)
        bWritten = std::fwrite(strBlock.data(), 1, strBlock.size(), pFile) == strBlock.size();
    if (!pFile || std::fclose(pFile) != 0 || !bWritten) {
        std::fprintf(stderr, "trendora-bench: cannot write %s\n", file.string().c_str());
        std::exit(1);
    }
    return file;
}

} // namespace

const std::filesystem::path& BenchmarkFolderPath()
{
    return BenchmarkFolder().GetPath();
}

const std::filesystem::path& BenchmarkRestartFile()
{
    static const std::filesystem::path path =
        WriteRepeatedFile("restart.csv", 946684800, 86400, 24); // 2000-01-01
    return path;
}

const std::filesystem::path& BenchmarkAppendedFile()
{
    static const std::filesystem::path path =
        WriteRepeatedFile("appended.csv", 1622505600, 7 * 86400, 3); // 2021-06-01
    return path;
}

const std::filesystem::path& BenchmarkMonthFile()
{
    static const std::filesystem::path path =
        WriteBenchmarkFile("month.csv", BenchmarkMonthOptions());
    return path;
}

const std::filesystem::path& BenchmarkYearFile()
{
    static const std::filesystem::path path =
        WriteBenchmarkFile("year.csv", BenchmarkYearOptions());
    return path;
}

const std::filesystem::path& BenchmarkMinuteYearFile()
{
    static const std::filesystem::path path = [] {
        CRecordingOptions options = BenchmarkYearOptions();
        options.nInterval = 60;
        return WriteBenchmarkFile("minute-year.csv", options);
    }();
    return path;
}

const std::filesystem::path& BenchmarkTenMinuteYearsFile()
{
    static const std::filesystem::path path = [] {
        CRecordingOptions options = BenchmarkYearOptions();
        options.nSeconds *= 3;
        options.nInterval = 600;
        return WriteBenchmarkFile("ten-minute-years.csv", options);
    }();
    return path;
}

bool AddSummaryLine(SummaryLine line)
{
    SummaryLines().push_back(std::move(line));
    return true;
}

bool AddSpeedupLine(std::string strLabel, std::string strBaseline, std::string strCandidate)
{
    return AddSummaryLine([=](const CBenchResults& results) -> std::string {
        const auto rate = [&](const std::string& strName) {
            const auto it = results.find(strName);
            if (it == results.end())
                return 0.0;
            const auto counter = it->second.find("bytes_per_second");
            return counter == it->second.end() ? 0.0 : counter->second.value;
        };
        const double fBaseline = rate(strBaseline);
        const double fCandidate = rate(strCandidate);
        if (fBaseline <= 0.0 || fCandidate <= 0.0)
            return strLabel + ": not measured (run both " + strBaseline + " and " + strCandidate +
                   ")";
        char sz[160];
        std::snprintf(sz, sizeof sz, ": %.1fx (%.1f MB/s vs %.1f MB/s)", fCandidate / fBaseline,
                      fCandidate / 1e6, fBaseline / 1e6);
        return strLabel + sz;
    });
}

void PrintSummary(const CBenchResults& results, std::FILE* pOut)
{
    for (const SummaryLine& line : SummaryLines()) {
        const std::string strText = line(results);
        if (!strText.empty())
            std::fprintf(pOut, "%s\n", strText.c_str());
    }
    std::fflush(pOut);
}

bool AddChildMode(std::string strName, ChildMode mode)
{
    ChildModes()[std::move(strName)] = std::move(mode);
    return true;
}

bool RunChildModeFromArgs(int argc, char** argv, int& nExit)
{
    if (argc < 3 || std::string(argv[1]) != kChildFlag)
        return false;
    const auto it = ChildModes().find(argv[2]);
    if (it == ChildModes().end()) {
        std::fprintf(stderr, "trendora-bench: no child mode %s\n", argv[2]);
        nExit = 64;
        return true;
    }
    nExit = it->second(std::vector<std::string>(argv + 3, argv + argc));
    return true;
}

bool RunInChild(const std::string& strName, const std::vector<std::string>& args,
                std::string& strOut)
{
    std::vector<std::string> argStrings = {"trendora-bench", kChildFlag, strName};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : argStrings)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    int fds[2];
    if (pipe(fds) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    pid_t pid = 0;
    const int nError = posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (nError != 0) {
        close(fds[0]);
        return false;
    }
    strOut.clear();
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        strOut.append(buffer, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    int nStatus = 0;
    if (waitpid(pid, &nStatus, 0) != pid)
        return false;
    return WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0;
}

bool RunProgram(const std::string& strProgram, const std::vector<std::string>& args)
{
    std::vector<std::string> argStrings = {strProgram};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : argStrings)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int nError =
        posix_spawnp(&pid, strProgram.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (nError != 0)
        return false;
    int nStatus = 0;
    if (waitpid(pid, &nStatus, 0) != pid)
        return false;
    return WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0;
}

void MeasureRunTime(benchmark::State& state, const std::function<void()>& fnRun)
{
    double fSeconds = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        fnRun();
        fSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["ms_per_run"] =
        benchmark::Counter(fSeconds * 1000.0, benchmark::Counter::kAvgIterations);
}

void MeasurePlainSum(benchmark::State& state, const std::vector<float> (&curves)[4])
{
    MeasureRunTime(state, [&] {
        double dSum = 0.0;
        for (const std::vector<float>& curve : curves)
            for (const float f : curve)
                dSum += f;
        benchmark::DoNotOptimize(dSum);
    });
}
