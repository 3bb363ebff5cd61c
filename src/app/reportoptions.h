// The command line of a report run: trendora --print-pdf OUT.pdf and --save-pages FOLDER write
// the pages of a recording without opening a window.
#pragma once

#include "app/uniformityoptions.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

struct CReportOptions
{
    QString strPdf;           // --print-pdf: the sheets File > Print prints, as a PDF file
    QString strFolder;        // --save-pages: one picture per page, as File > Save as writes
    QString strFormat;        // --format: the pictures' suffix, png, jpg or bmp
    int nSecondsPerPixel = 0; // --scale; 0 leaves the scale as opening the file sets it
    int nFrom = 0;            // --pages; 0 for every page
    int nTo = 0;
    bool bStatistics = false; // --statistics: the whole recording's figures to stdout
    int nToleranceTemp = -1;  // --tolerance-temp, in hundredths; -1 for the stored one
    int nToleranceHumi = -1;  // --tolerance-humi
    // --steps: the program steps, their excursions and the verdict to stdout; the options
    // are -1 for the stored values.
    bool bSteps = false;
    int nMinDwell = -1;       // --min-dwell, in minutes
    int nSettleWindow = -1;   // --settle-window, in minutes
    int nExcursionDelay = -1; // --excursion-delay, in seconds
    // A stretch of the recording: --from and --to restrict --statistics (and what else reads
    // figures) to those seconds; --export writes them as a recorder file.
    QString strExport;                 // --export: the recorder file to write
    int nInterval = 1;                 // --interval: seconds between exported records
    std::optional<std::int64_t> tFrom; // --from: seconds since 1970-01-01 00:00 UTC
    std::optional<std::int64_t> tTo;   // --to: the last second taken in

    CUniformityOptions uniformity; // --uniformity, --set-temp, --set-humi

    QString strLayout;  // --layout: a layout file to read the files by, instead of recognising
                        // them
    QStringList files;  // the recorder files: one, or several of one run
    bool bHelp = false; // --help: print the usage and write nothing
    QString strError;   // why the command line cannot be run; empty when it can
};

// Whether the arguments ask for a report rather than the window. Looks only at the option
// names, so it can run before the application object exists.
bool IsReportCommandLine(int argc, const char* const* argv);

// Whether they ask for pictures of the pages (--print-pdf, --save-pages), which need the GUI;
// also before the application object exists.
bool DrawsPictures(int argc, const char* const* argv);

// Reads the arguments (the program name first).
CReportOptions ParseReportOptions(const QStringList& args);

// A scale choice's name in any interface language ("Auto", "1Day", "1天"), compared without
// regard to case, or a number of seconds per pixel from 1 to 3600.
std::optional<int> ScaleSecondsPerPixel(const QString& strScale);

// "A-B" or "A", with 1 <= A <= B.
std::optional<std::pair<int, int>> ParsePageRange(const QString& strPages);

// "YYYY-MM-DD HH:MM:SS" as local time; nothing for a text of another form or a time the
// local clock never shows (a day past the month's end, an hour the clock skips in spring).
std::optional<std::int64_t> ParseLocalTime(const QString& strText);

// The samples [nBegin, nEnd) that --from and --to ask for in a recording of nCount samples
// from tFirst on: all of them without either. Nothing, with the reason in strError, when one
// of the times lies outside the recording.
struct CSampleRange
{
    std::int64_t nBegin = 0;
    std::int64_t nEnd = 0;
};
std::optional<CSampleRange> ResolveSampleRange(const CReportOptions& options, std::int64_t tFirst,
                                               std::int64_t nCount, QString& strError);

// What --help prints.
QString ReportUsage();
