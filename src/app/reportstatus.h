// What every report run shares: its exit statuses, its messages on stderr and the paths it
// is given.
#pragma once

#include "recorder/recorderreader.h"

#include <cstdio>
#include <optional>

class QString;
struct CLayout;
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

// Qt reads a name that starts with ':' as a resource; this one names the file in the folder.
QString ReportLocalPath(const QString& strPath);

// Writes "trendora: " and strText on pErr, UTF-8, with a line end.
void Say(std::FILE* pErr, const QString& strText);
// A path as the system writes it, for messages.
QString Native(const QString& strPath);
// The exit status after a reading that stopped with eStatus.
int StoppedStatus(CLoadResult::EStatus eStatus);

// The layout --layout names, read into layout; nothing when none is named or it reads, else the
// exit status, with what is wrong on pErr.
std::optional<int> ReadReportLayout(const CReportOptions& options, CLayout& layout,
                                    std::FILE* pErr);
