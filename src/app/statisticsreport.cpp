#include "app/statisticsreport.h"

#include "analysis/runstatistics.h"
#include "app/reportoptions.h"
#include "recording/recording.h"
#include "view/statisticstext.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <vector>

QStringList StatisticsReportOf(const CRecording& recording, const CReportOptions& options,
                               std::int64_t nBegin, std::int64_t nEnd)
{
    CTolerances tolerances = ReadStoredTolerances();
    if (options.nToleranceTemp >= 0)
        tolerances.nTemp = options.nToleranceTemp;
    if (options.nToleranceHumi >= 0)
        tolerances.nHumi = options.nToleranceHumi;
    return StatisticsReportLines(ComputeRunStatistics(recording.View(), nBegin, nEnd, tolerances),
                                 static_cast<std::uint32_t>(recording.GetFirstTime()), tolerances,
                                 StatisticsRowsOf(&recording));
}

bool WriteReportLine(const QString& strLine, std::FILE* pOut)
{
    const QByteArray line = strLine.toUtf8() + '\n';
    return std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), pOut) ==
           static_cast<std::size_t>(line.size());
}

bool WriteStatisticsReport(const QStringList& lines, std::FILE* pOut)
{
    for (const QString& strLine : lines) {
        if (!WriteReportLine(strLine, pOut))
            return false;
    }
    return std::fflush(pOut) == 0 && !std::ferror(pOut);
}

void DrawStatisticsSheet(QPainter& painter, const QRect& rcArea, const QString& strHeading,
                         const QString& strJudged, const QStringList& lines)
{
    painter.save();
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(11.0);
    painter.setFont(font);
    const QFontMetrics metrics(font, painter.device());
    std::vector<QStringList> rows;
    std::vector<int> widths;
    for (const QString& strLine : lines) {
        rows.push_back(strLine.split(QLatin1Char('\t')));
        const QStringList& cells = rows.back();
        widths.resize(std::max<std::size_t>(widths.size(), static_cast<std::size_t>(cells.size())));
        for (qsizetype c = 0; c < cells.size(); ++c)
            widths[static_cast<std::size_t>(c)] =
                std::max(widths[static_cast<std::size_t>(c)], metrics.horizontalAdvance(cells[c]));
    }
    const int nGap = metrics.horizontalAdvance(QStringLiteral("MM"));
    const int nLine = metrics.lineSpacing() * 3 / 2;
    // A margin of a twentieth of the sheet, as the pages' pictures leave about.
    const int nLeft = rcArea.left() + rcArea.width() / 20;
    int y = rcArea.top() + rcArea.height() / 20 + nLine;
    QFont headingFont = font;
    headingFont.setBold(true);
    headingFont.setPointSizeF(14.0);
    painter.setFont(headingFont);
    painter.drawText(QPoint(nLeft, y), strHeading);
    painter.setFont(font);
    y += nLine;
    painter.drawText(QPoint(nLeft, y), strJudged);
    y += 2 * nLine;
    for (const QStringList& cells : rows) {
        int x = nLeft;
        for (qsizetype c = 0; c < cells.size(); ++c) {
            painter.drawText(QPoint(x, y), cells[c]);
            x += widths[static_cast<std::size_t>(c)] + nGap;
        }
        y += nLine;
    }
    painter.restore();
}
