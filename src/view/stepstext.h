// The texts of a test program's steps, as the steps window, its Copy button, the command line
// and the report sheet show them: times, numbers and deviations as the statistics print them.
#pragma once

#include "analysis/programsteps.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// The words in the tables' cells.
struct CStepWords
{
    QString strDwell, strRamp, strTemp, strHumi, strPass, strFail, strNever;
};
// The command line's and the report sheet's, in English whatever the interface language.
CStepWords EnglishStepWords();
// The interface language's.
CStepWords LocalStepWords();

// Seconds as H:MM:SS; the hours grow as they need.
QString FormatDuration(std::int64_t nSeconds);
QString FormatVerdict(EVerdict verdict, const CStepWords& words);

// The cells of the row of step nStep's curve nCurve, and of excursion nExcursion, in the
// columns of the headings.
QStringList StepRowCells(const CProgramAnalysis& analysis, std::size_t nStep, int nCurve,
                         std::uint32_t tFirst, const CStepWords& words);
QStringList ExcursionRowCells(const CProgramAnalysis& analysis, std::size_t nExcursion,
                              std::uint32_t tFirst, const CStepWords& words);

// What --steps prints: the step table, a blank line, the excursions, a blank line and the
// verdict, tab-separated under their English headings. Each line is handed over as it is made,
// so that millions of excursions are never held at once; false once fnLine refused one.
bool ForEachStepReportLine(const CProgramAnalysis& analysis, std::uint32_t tFirst,
                           const std::function<bool(const QString&)>& fnLine);
// The same lines, all at once.
QStringList StepReportLines(const CProgramAnalysis& analysis, std::uint32_t tFirst);

// The options kept in the settings, with the statistics' tolerances.
CStepOptions ReadStoredStepOptions();
// Stores the minimum dwell, the settle window and the excursion delay (the tolerances are the
// statistics' and stored with them).
void StoreStepOptions(const CStepOptions& options);
bool ReadStoredMarkSteps();
void StoreMarkSteps(bool bOn);

// A whole number typed into a box or given as an option, nMin to nMax: digits only, blanks
// around them allowed; nothing for anything else.
std::optional<std::int64_t> ParseStepNumber(const QString& strText, std::int64_t nMin,
                                            std::int64_t nMax);
