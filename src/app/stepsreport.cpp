#include "app/stepsreport.h"

#include "app/reportoptions.h"
#include "recording/recording.h"
#include "res/resource.h"
#include "res/resources.h"
#include "view/statisticstext.h"
#include "view/stepstext.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A table's column widths in the font of the sheet, its rows and its heading row.
struct CTableShape
{
    std::vector<int> widths;
    std::size_t nRows = 0;
    QStringList heading;
};

using CRowFn = std::function<bool(std::size_t nTable, std::size_t nRow, const QStringList& cells)>;

// Hands over the rows of the facts and then of the lines, numbered by table: rows apart by
// empty lines are tables of their own, and the lines start a table of their own after the
// facts. Returns the number of tables the facts make, or nothing once fnRow refused a row.
std::optional<std::size_t> WalkRows(const QStringList& facts, const CStepLineSource& lines,
                                    const CRowFn& fnRow)
{
    std::size_t nTable = 0;
    std::size_t nRow = 0;
    bool bGoOn = true;
    const auto feed = [&](const QString& strLine) {
        if (strLine.isEmpty()) {
            if (nRow > 0) {
                ++nTable;
                nRow = 0;
            }
            return true;
        }
        bGoOn = fnRow(nTable, nRow++, strLine.split(QLatin1Char('\t')));
        return bGoOn;
    };
    for (const QString& strFact : facts)
        if (!feed(strFact))
            return std::nullopt;
    feed(QString());
    const std::size_t nFactTables = nTable;
    lines(feed);
    if (!bGoOn)
        return std::nullopt;
    return nFactTables;
}

// The shape of every table in the font of the metrics.
std::vector<CTableShape> MeasureTables(const QStringList& facts, const CStepLineSource& lines,
                                       const QFontMetrics& metrics)
{
    std::vector<CTableShape> tables;
    WalkRows(facts, lines, [&](std::size_t nTable, std::size_t nRow, const QStringList& cells) {
        if (tables.size() <= nTable)
            tables.resize(nTable + 1);
        CTableShape& table = tables[nTable];
        if (nRow == 0)
            table.heading = cells;
        ++table.nRows;
        table.widths.resize(std::max(table.widths.size(), static_cast<std::size_t>(cells.size())));
        for (qsizetype c = 0; c < cells.size(); ++c)
            table.widths[static_cast<std::size_t>(c)] = std::max(
                table.widths[static_cast<std::size_t>(c)], metrics.horizontalAdvance(cells[c]));
        return true;
    });
    return tables;
}

int WidestTable(const std::vector<CTableShape>& tables, int nGap)
{
    int nWidest = 0;
    for (const CTableShape& table : tables) {
        int n = 0;
        for (const int w : table.widths)
            n += w + nGap;
        nWidest = std::max(nWidest, n);
    }
    return nWidest;
}

void DrawCells(QPainter& painter, int x, int y, const QStringList& cells,
               const std::vector<int>& widths, int nGap)
{
    for (qsizetype c = 0; c < cells.size(); ++c) {
        painter.drawText(QPoint(x, y), cells[c]);
        x += widths[static_cast<std::size_t>(c)] + nGap;
    }
}

} // namespace

CStepOptions StepOptionsOf(const CReportOptions& options)
{
    CStepOptions steps = ReadStoredStepOptions();
    if (options.nMinDwell >= 0)
        steps.nMinDwell = static_cast<std::int64_t>(options.nMinDwell) * 60;
    if (options.nSettleWindow >= 0)
        steps.nSettleWindow = static_cast<std::int64_t>(options.nSettleWindow) * 60;
    if (options.nExcursionDelay >= 0)
        steps.nExcursionDelay = options.nExcursionDelay;
    if (options.nToleranceTemp >= 0)
        steps.tolerances.nTemp = options.nToleranceTemp;
    if (options.nToleranceHumi >= 0)
        steps.tolerances.nHumi = options.nToleranceHumi;
    return steps;
}

QString NoSetValuesLine()
{
    return res::LoadString(res::IDS_STEPS_NO_SET_VALUES, res::kLangENG);
}

QStringList StepSheetFacts(const CRecording& recording, const CStepOptions& options,
                           const CProgramAnalysis& analysis, std::int64_t nBegin, std::int64_t nEnd,
                           QString& strError)
{
    std::string strWhy;
    const std::string strSha256 = recording.SourceSha256(strWhy);
    if (strSha256.empty()) {
        strError = QString::fromStdString(strWhy);
        return {};
    }
    const std::int64_t nCount = recording.GetCount();
    const auto tFirst = static_cast<std::uint32_t>(recording.GetFirstTime());
    QString strVerdict = QStringLiteral("-");
    if (!recording.HasSetValues())
        strVerdict = NoSetValuesLine();
    else if (analysis.verdict != EVerdict::None)
        strVerdict = FormatVerdict(analysis.verdict, EnglishStepWords()) + QStringLiteral(", ") +
                     QString::number(analysis.nDwellsPassed) + QStringLiteral(" of ") +
                     QString::number(analysis.nDwells) + QStringLiteral(" dwells passed");
    QStringList facts = {
        LocalJudgedStretchLine(tFirst, nBegin, nEnd, nCount),
        QString(),
        QStringLiteral("file\t") + QString::fromStdString(recording.GetSourceName()),
        QStringLiteral("size\t") + QString::number(recording.GetSource().nSize) +
            QStringLiteral(" bytes"),
        QStringLiteral("SHA-256\t") + QString::fromStdString(strSha256),
        QStringLiteral("first record\t") + FormatFigureTime(tFirst, nCount > 0 ? 0 : -1),
        QStringLiteral("last record\t") + FormatFigureTime(tFirst, nCount - 1),
        QStringLiteral("minimum dwell\t") + QString::number(options.nMinDwell / 60) +
            QStringLiteral(" min"),
        QStringLiteral("settle window\t") + QString::number(options.nSettleWindow / 60) +
            QStringLiteral(" min"),
        QStringLiteral("excursion delay\t") + QString::number(options.nExcursionDelay) +
            QStringLiteral(" s"),
        QStringLiteral("tolerance Temp\t\u00B1") + FormatTolerance(options.tolerances.nTemp) +
            QStringLiteral(" \u00B0C"),
        QStringLiteral("tolerance Humi\t\u00B1") + FormatTolerance(options.tolerances.nHumi) +
            QStringLiteral(" %RH"),
        QStringLiteral("verdict\t") + strVerdict,
    };
    if (recording.IsJoined()) {
        // Every file instead of the one file's name, size and SHA-256.
        const QStringList files = SourceFileLines(recording, strError);
        if (files.isEmpty())
            return {};
        facts.remove(2, 3);
        for (qsizetype i = 0; i < files.size(); ++i)
            facts.insert(2 + i, files[i]);
    }
    return facts;
}

QStringList SourceFileLines(const CRecording& recording, QString& strError)
{
    QStringList lines;
    for (std::size_t i = 0; i < recording.GetSources().size(); ++i) {
        std::string strWhy;
        const std::string strSha256 = recording.SourceSha256(i, strWhy);
        if (strSha256.empty()) {
            strError = QString::fromStdString(recording.SourceName(i) + ": " + strWhy);
            return {};
        }
        lines.append(QStringLiteral("file\t") + QString::fromStdString(recording.SourceName(i)) +
                     u'\t' + QString::number(recording.GetSources()[i].nSize) +
                     QStringLiteral(" bytes\t") + QString::fromStdString(strSha256));
    }
    return lines;
}

std::optional<int> DrawStepSheets(QPainter& painter, const QRect& rcArea, const QString& strHeading,
                                  const QStringList& facts, const CStepLineSource& lines,
                                  const std::function<bool()>& fnNewSheet)
{
    painter.save();
    // A margin of a twentieth of the sheet, as the statistics sheet leaves.
    const int nLeft = rcArea.left() + rcArea.width() / 20;
    const int nWidth = rcArea.width() - 2 * (rcArea.width() / 20);
    const int nTop = rcArea.top() + rcArea.height() / 20;
    const int nBottom = rcArea.bottom() - rcArea.height() / 20;
    // The widest table sets the size of the text: the step table has seventeen columns. The
    // lines are made again for each pass rather than kept: there may be millions.
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(10.0);
    std::vector<CTableShape> tables =
        MeasureTables(facts, lines, QFontMetrics(font, painter.device()));
    const int nWidest = WidestTable(
        tables, QFontMetrics(font, painter.device()).horizontalAdvance(QStringLiteral("MM")));
    if (nWidest > nWidth) {
        font.setPointSizeF(std::max(4.0, 10.0 * nWidth / nWidest));
        tables = MeasureTables(facts, lines, QFontMetrics(font, painter.device()));
    }
    const QFontMetrics metrics(font, painter.device());
    const int nGap = metrics.horizontalAdvance(QStringLiteral("MM"));
    const int nLine = metrics.lineSpacing() * 4 / 3;
    QFont boldFont = font;
    boldFont.setBold(true);

    int nSheets = 1;
    int y = nTop + nLine;
    QFont headingFont = boldFont;
    headingFont.setPointSizeF(font.pointSizeF() * 1.4);
    painter.setFont(headingFont);
    painter.drawText(QPoint(nLeft, y), strHeading);
    y += 2 * nLine;
    // The facts have no heading row; their tables come first.
    const std::size_t nFactTables =
        WalkRows(
            facts, [](const auto&) {},
            [](std::size_t, std::size_t, const QStringList&) { return true; })
            .value_or(0);
    std::size_t nLastTable = 0;
    const std::optional<std::size_t> drawn =
        WalkRows(facts, lines, [&](std::size_t nTable, std::size_t nRow, const QStringList& cells) {
            if (nTable != nLastTable) {
                y += nLine;
                nLastTable = nTable;
            }
            const CTableShape& table = tables[nTable];
            const bool bTable = nTable >= nFactTables && table.nRows > 1;
            const bool bHeading = nRow == 0 && bTable;
            // A heading is not left alone at the foot of a sheet.
            if (y + (bHeading ? 2 * nLine : nLine) > nBottom) {
                if (!fnNewSheet || !fnNewSheet())
                    return false;
                ++nSheets;
                y = nTop + nLine;
                if (!bHeading && bTable) {
                    painter.setFont(boldFont);
                    DrawCells(painter, nLeft, y, table.heading, table.widths, nGap);
                    y += nLine;
                }
            }
            painter.setFont(bHeading ? boldFont : font);
            DrawCells(painter, nLeft, y, cells, table.widths, nGap);
            y += nLine;
            return true;
        });
    painter.restore();
    if (!drawn)
        return std::nullopt;
    return nSheets;
}
