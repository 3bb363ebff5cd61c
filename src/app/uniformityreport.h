// --uniformity of a report run: several recordings of one chamber mapped together, each file
// its own recording placed by its clock time, and their uniformity figures over the seconds
// they all cover as tab-separated lines on stdout; with --print-pdf also on a report sheet
// that names every file and its SHA-256.
#pragma once

#include <cstdio>

struct CReportOptions;

// The run, inside a running application; messages go to pErr. Returns the exit status.
int RunUniformityReport(const CReportOptions& options, std::FILE* pErr);
