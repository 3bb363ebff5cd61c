// Report runs over several files of one run: read together, joined into one recording where
// they follow one another, else reported side by side.
#pragma once

#include "recorder/recorderreader.h"
#include "recording/recording.h"

#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct CLayout;
struct CReportOptions;

struct CReportFiles
{
    // The recording reported on: the joined one, or of recordings side by side the first
    // with set values (the first where none has).
    std::shared_ptr<const CRecording> pMain;
    // Side by side: every recording, in the order of their first times; empty when joined.
    std::vector<std::shared_ptr<const CRecording>> sideBySide;
    // How the first file that stopped at a faulty line stopped.
    std::optional<CLoadResult::EStatus> eStopped;
};

// Reads options.files by pLayout, or recognising each; says on pErr what stopped a file,
// naming it, and fnProgress how far the reading has come. The exit status when nothing can be
// reported (also --export of files that do not join).
std::optional<int> LoadReportFiles(const CReportOptions& options, const CLayout* pLayout,
                                   const std::function<void(const QString&)>& fnProgress,
                                   std::FILE* pErr, CReportFiles& files);

// --statistics of recordings side by side: a column each, over --from and --to of each; the
// exit status when one of the times lies outside a recording.
std::optional<int>
SideBySideReport(const CReportOptions& options,
                 const std::vector<std::shared_ptr<const CRecording>>& recordings,
                 QStringList& lines, std::FILE* pErr);

// Recordings shown side by side: every figure of their report lines (each recording's own
// StatisticsReportLines) in a line of its own, a column per recording, under a header line
// naming them; "-" where a recording has not the row.
QStringList SideBySideStatistics(const QStringList& names, const std::vector<QStringList>& reports);
