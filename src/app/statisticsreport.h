// --statistics of a report run: the whole recording's figures as tab-separated lines on
// stdout, and as a last sheet after the printed pages.
#pragma once

#include <QStringList>

#include <cstdint>
#include <cstdio>

class CRecording;
class QPainter;
class QRect;
struct CReportOptions;

// The lines for samples nBegin to nEnd (exclusive) of the recording, with the stored
// tolerances or the options' own.
QStringList StatisticsReportOf(const CRecording& recording, const CReportOptions& options,
                               std::int64_t nBegin, std::int64_t nEnd);

// Writes the line and a line end, UTF-8; false when the stream would not take it.
bool WriteReportLine(const QString& strLine, std::FILE* pOut);

// Writes the lines; false when the stream would not take them.
bool WriteStatisticsReport(const QStringList& lines, std::FILE* pOut);

// The lines as a table with aligned columns, under strHeading and the line that names the
// stretch judged, at the top left of rcArea.
void DrawStatisticsSheet(QPainter& painter, const QRect& rcArea, const QString& strHeading,
                         const QString& strJudged, const QStringList& lines);
