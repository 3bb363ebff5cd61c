// What the benchmark files share: generated input files, lines printed after all runs, and
// measurements that need a fresh process of their own.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

// The temporary folder the benchmark files are written to, removed at exit.
const std::filesystem::path& BenchmarkFolderPath();

// A month at one record a second (about 118 MB), written once per run into a temporary
// folder that is removed at exit.
const std::filesystem::path& BenchmarkMonthFile();
// A year at one record a second (about 1.4 GB), the same way; written only if asked for.
const std::filesystem::path& BenchmarkYearFile();

// The same programme at the intervals of loggers that write rarely: a year at one record a
// minute (about 24 MB) and three years at one every ten minutes (about 7 MB), each written
// once per run when first asked for.
const std::filesystem::path& BenchmarkMinuteYearFile();
const std::filesystem::path& BenchmarkTenMinuteYearsFile();

// Files whose times repeat, the way a logger writes them: a clock that restarts at
// 2000/01/01 00:00:00 after every power cycle (24 restarts of a day at one record a second,
// about 83 MB), and a week at one record a second appended to itself twice (about 73 MB).
const std::filesystem::path& BenchmarkRestartFile();
const std::filesystem::path& BenchmarkAppendedFile();

// The counters of each benchmark's last run (its mean over repetitions where there are
// several), by its name as registered. Rates are already per second.
using CBenchResults = std::map<std::string, benchmark::UserCounters>;

// A line printed after all runs, computed from the results; an empty text prints nothing.
using SummaryLine = std::function<std::string(const CBenchResults&)>;

// Registers a summary line; call it from a static initialiser. Returns true.
bool AddSummaryLine(SummaryLine line);
// "strLabel: N.Nx": the candidate's bytes per second over the baseline's, both measured in
// this run.
bool AddSpeedupLine(std::string strLabel, std::string strBaseline, std::string strCandidate);
void PrintSummary(const CBenchResults& results, std::FILE* pOut);

// A named entry point run by this executable in a fresh child process, for measurements
// such as peak memory that the benchmark process's own history would distort. It writes
// its result to stdout and returns the exit status.
using ChildMode = std::function<int(const std::vector<std::string>& args)>;
bool AddChildMode(std::string strName, ChildMode mode);
// Runs a child mode if argv asks for one ("--child NAME ARGS..."); false otherwise.
bool RunChildModeFromArgs(int argc, char** argv, int& nExit);
// Starts this executable in child mode and returns what it wrote to stdout; false if it
// could not be started or did not exit with 0.
bool RunInChild(const std::string& strName, const std::vector<std::string>& args,
                std::string& strOut);
// Runs a program (found on PATH when strProgram has no slash) with its output sent to
// /dev/null and waits for it; false if it could not be started or did not exit with 0.
bool RunProgram(const std::string& strProgram, const std::vector<std::string>& args);

// Runs fnRun once an iteration and reports its mean wall time as the counter "ms_per_run".
void MeasureRunTime(benchmark::State& state, const std::function<void()>& fnRun);
// The baseline of the figures over a series: a plain loop that only sums the four curves'
// samples once, timed as MeasureRunTime does.
void MeasurePlainSum(benchmark::State& state, const std::vector<float> (&curves)[4]);
