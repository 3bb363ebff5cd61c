// Report runs: the pages of a recording printed to a PDF file or saved as pictures from the
// command line, drawn by the main view exactly as its Print and Save as commands draw them,
// with no window shown and no setting written.
#pragma once

#include <cstdio>
#include <optional>

struct CReportOptions;

// Exit statuses, as trendora-series gives them.
inline constexpr int kReportInvalidRecord = 1; // the pages before the invalid record are written
inline constexpr int kReportCannotOpen = 2;
inline constexpr int kReportTooFewLines = 3;
inline constexpr int kReportSpanTooLong = 4;
inline constexpr int kReportOutOfMemory = 5;
inline constexpr int kReportUsage = 64;
inline constexpr int kReportCannotWrite = 74;

// Runs the report the command line asks for and returns the exit status, or nothing when the
// command line asks for the window. Call it before any application object exists: a report
// chooses the offscreen platform unless QT_QPA_PLATFORM names one, so it needs no display.
std::optional<int> RunReportMode(int& argc, char** argv);

// The report itself, inside a running QApplication; messages and progress go to pErr.
int RunReport(const CReportOptions& options, std::FILE* pErr);
