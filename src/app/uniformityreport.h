// --uniformity of a report run: several recordings of one chamber mapped together, each file
// its own recording placed by its clock time, and their uniformity figures over the seconds
// they all cover as tab-separated lines on stdout; with --print-pdf also on a report sheet
// that names every file and its SHA-256.
#pragma once

#include <QList>

#include <cstdio>

class QCommandLineOption;
class QCommandLineParser;
struct CReportOptions;

inline constexpr const char* kOptionUniformity = "uniformity";
inline constexpr const char* kOptionSetTemp = "set-temp";
inline constexpr const char* kOptionSetHumi = "set-humi";

// The options the report parser adds for it.
QList<QCommandLineOption> UniformityOptions();

// Reads --uniformity (every positional argument is then one of its files), --set-temp and
// --set-humi into options; false, with options.strError, when they are wrong or are given
// with an option that reads one recording.
bool ReadUniformityOptions(const QCommandLineParser& parser, CReportOptions& options);

// The run, inside a running application; messages go to pErr. Returns the exit status.
int RunUniformityReport(const CReportOptions& options, std::FILE* pErr);
