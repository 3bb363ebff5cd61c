// Report runs: the pages of a recording printed to a PDF file or saved as pictures from the
// command line, drawn by the main view exactly as its Print and Save as commands draw them,
// with no window shown and no setting written.
#pragma once

#include "recorder/recorderreader.h"

#include <cstdio>
#include <optional>

class QString;

struct CReportOptions;

// Exit statuses of report runs and of trendora-series alike. After 1, 4 and 5 the pages (or
// samples) of the records read before the line that stopped the reading are written.
inline constexpr int kReportInvalidRecord = 1;
inline constexpr int kReportCannotOpen = 2;
inline constexpr int kReportTooFewLines = 3;
inline constexpr int kReportSpanTooLong = 4; // a record's gap would make the series too long
inline constexpr int kReportOutOfMemory = 5; // memory ran out while reading
inline constexpr int kReportStepsFailed = 6; // --steps: a dwell did not pass
inline constexpr int kReportUsage = 64;
// The file's layout is in doubt or unknown and no --layout was given: nothing is written.
inline constexpr int kReportLayoutInDoubt = 65;
inline constexpr int kReportCannotWrite = 74;

// Runs the report the command line asks for and returns the exit status, or nothing when the
// command line asks for the window. Call it before any application object exists: a report
// chooses the offscreen platform unless QT_QPA_PLATFORM names one, so it needs no display.
std::optional<int> RunReportMode(int& argc, char** argv);

// Qt reads a name that starts with ':' as a resource; this one names the file in the folder.
QString ReportLocalPath(const QString& strPath);

// Where --save-pages writes page nPage: the recording's title taken literally, inside the
// folder whatever the title holds, "Sensor%1A" giving "Sensor%1A-p0003.png".
QString ReportPicturePath(const QString& strFolder, const QString& strTitle, int nPage,
                          const QString& strFormat);

// Writes "trendora: " and strText on pErr, UTF-8, with a line end.
void Say(std::FILE* pErr, const QString& strText);
// A path as the system writes it, for messages.
QString Native(const QString& strPath);
// The exit status after a reading that stopped with eStatus.
int StoppedStatus(CLoadResult::EStatus eStatus);

// The report itself, inside a running QApplication; messages and progress go to pErr.
int RunReport(const CReportOptions& options, std::FILE* pErr);
