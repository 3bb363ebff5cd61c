// --steps of a report run: the program steps as tab-separated lines on stdout, and as sheets
// after the printed pages that also say which file they judge.
#pragma once

#include "analysis/programsteps.h"

#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>

class CRecording;
class QPainter;
class QRect;
struct CReportOptions;

// The stored options with the command line's own over them.
CStepOptions StepOptionsOf(const CReportOptions& options);

// What --steps and the sheets say of a recording without set values instead of a verdict, in
// English as they say everything else: there is no test program to read.
QString NoSetValuesLine();

// What the sheets say before the tables: the stretch judged (samples nBegin to nEnd, in the
// interface language) and then a "name<TAB>value" line each: the recording's file name, size
// and SHA-256, its first and last record, the options and the verdict (NoSetValuesLine for a
// recording without set values). Empty, with the reason
// in strError, when the file cannot be read again as it was read.
QStringList StepSheetFacts(const CRecording& recording, const CStepOptions& options,
                           const CProgramAnalysis& analysis, std::int64_t nBegin, std::int64_t nEnd,
                           QString& strError);

// A joined recording's files, one "file<TAB>A.csv<TAB>size bytes<TAB>SHA-256" line each, every
// file read afresh for its SHA-256. Empty, with the reason in strError, when one cannot be
// read again as it was read.
QStringList SourceFileLines(const CRecording& recording, QString& strError);

// Hands each of a report's lines to its argument, in order, until that returns false.
using CStepLineSource = std::function<void(const std::function<bool(const QString&)>&)>;

// Draws the facts and then the lines (blocks of tab-separated rows apart by empty lines, each
// block's first row its heading) as aligned tables under strHeading, over as many sheets as
// they need: fnNewSheet starts the next one and returns false when it cannot. The heading
// row is repeated at the top of a sheet a table continues on. The lines are asked for more
// than once and never kept. Returns the sheets drawn, or nothing when a sheet could not be
// started and the tables were cut.
std::optional<int> DrawStepSheets(QPainter& painter, const QRect& rcArea, const QString& strHeading,
                                  const QStringList& facts, const CStepLineSource& lines,
                                  const std::function<bool()>& fnNewSheet);
