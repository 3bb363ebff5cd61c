// Report runs: the pages of a recording printed to a PDF file or saved as pictures from the
// command line, drawn by the main view exactly as its Print and Save as commands draw them,
// with no window shown and no setting written.
#pragma once

#include "app/reportstatus.h"

#include <cstdio>
#include <optional>

class QString;

struct CReportOptions;

// Runs the report the command line asks for and returns the exit status, or nothing when the
// command line asks for the window. Call it before any application object exists: a report
// chooses the offscreen platform unless QT_QPA_PLATFORM names one, so it needs no display.
std::optional<int> RunReportMode(int& argc, char** argv);

// Where --save-pages writes page nPage: the recording's title taken literally, inside the
// folder whatever the title holds, "Sensor%1A" giving "Sensor%1A-p0003.png".
QString ReportPicturePath(const QString& strFolder, const QString& strTitle, int nPage,
                          const QString& strFormat);

// The report itself, inside a running QApplication; messages and progress go to pErr.
int RunReport(const CReportOptions& options, std::FILE* pErr);
