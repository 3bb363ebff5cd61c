// The texts of a run's figures, as the statistics window, its Copy button and the report run
// show them: two decimals with '.', times as the time labels show them, "-" where a figure
// has no sample to come from.
#pragma once

#include "analysis/runstatistics.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

class CRecording;

// "%.2f" of a value, with '.' whatever the user's locale.
QString FormatFigure(double dValue);
// A deviation with its sign: "+7.94", "-4.27".
QString FormatDeviation(double dValue);
// Sample nIndex's time, "YYYY-MM-DD HH:MM:SS" in local time; "-" for no sample.
QString FormatFigureTime(std::uint32_t tFirst, std::int64_t nIndex);
// A tolerance in hundredths: "2.00".
QString FormatTolerance(int nHundredths);
// "93.61%", or "-" when no second was compared.
QString FormatWithin(const CDeviationFigures& figures);

// A tolerance typed by the user: a number from 0 to 999.99 with at most two decimals after a
// '.'; nothing for anything else.
std::optional<int> ParseTolerance(const QString& strText);
inline constexpr int kMaxTolerance = 99999;

// The tolerances kept in the settings; defaults ±2.00 °C and ±5.00 %RH.
CTolerances ReadStoredTolerances();
void StoreTolerances(const CTolerances& tolerances);

// Which set values a recording's figures speak of. A file without a Temp SV or Humi SV column
// holds a made-up value in its place at every second: neither its figures nor the deviation
// from it mean anything. A file without humidity at all shows its humidity rows as a recorder
// without a humidity sensor does, each figure a dash.
struct CStatisticsRows
{
    bool bTempSV = true; // the Temp SV row and the Temp deviation row
    bool bHumiSV = true; // the Humi SV row and the Humi deviation row
};
// All rows for no recording.
CStatisticsRows StatisticsRowsOf(const CRecording* pRecording);

// The table the report run prints, one tab-separated line each: a heading, the four curves
// (minimum, its time, maximum, its time, mean), then Temp and Humi against their set values;
// the rows of a set value the recording has not are left out.
QStringList StatisticsReportLines(const CRunStatistics& stats, std::uint32_t tFirst,
                                  const CTolerances& tolerances,
                                  const CStatisticsRows& rows = CStatisticsRows());

// Which files a recording joined from several was read from and where they meet, one
// tab-separated line each, in English: "file<TAB>A.csv<TAB>first<TAB>last" for every file in
// time order, then "gap<TAB>first<TAB>last<TAB>B.csv" or "overlap<TAB>first<TAB>last<TAB>B.csv"
// for every border (B.csv the later file; times as FormatFigureTime gives them, both
// included). Nothing for a recording of one file.
QStringList JoinReportLines(const CRecording& recording);

// The stretch a report judged, samples nBegin to nEnd (exclusive) of nCount, as the last line
// of --statistics and --steps: "judged: 2026-03-01 00:10:00 – 2026-03-01 00:19:59", or
// "judged: the whole recording".
QString JudgedStretchLine(std::uint32_t tFirst, std::int64_t nBegin, std::int64_t nEnd,
                          std::int64_t nCount);
// The same in the interface language, as the report sheets say it.
QString LocalJudgedStretchLine(std::uint32_t tFirst, std::int64_t nBegin, std::int64_t nEnd,
                               std::int64_t nCount);
