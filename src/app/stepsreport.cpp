#include "app/stepsreport.h"

#include "app/reportoptions.h"
#include "view/childview.h"
#include "view/statisticstext.h"
#include "view/stepstext.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <vector>

namespace {

using CTable = std::vector<QStringList>;

std::vector<CTable> SplitBlocks(const QStringList& lines)
{
    std::vector<CTable> blocks(1);
    for (const QString& strLine : lines) {
        if (strLine.isEmpty()) {
            if (!blocks.back().empty())
                blocks.emplace_back();
            continue;
        }
        blocks.back().push_back(strLine.split(QLatin1Char('\t')));
    }
    if (blocks.back().empty())
        blocks.pop_back();
    return blocks;
}

std::vector<int> ColumnWidths(const CTable& table, const QFontMetrics& metrics)
{
    std::vector<int> widths;
    for (const QStringList& cells : table) {
        widths.resize(std::max(widths.size(), static_cast<std::size_t>(cells.size())));
        for (qsizetype c = 0; c < cells.size(); ++c)
            widths[static_cast<std::size_t>(c)] =
                std::max(widths[static_cast<std::size_t>(c)], metrics.horizontalAdvance(cells[c]));
    }
    return widths;
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

QStringList StepSheetFacts(const QString& strFile, const CChildView& view,
                           const CStepOptions& options, const CProgramAnalysis& analysis,
                           QString& strError)
{
    QFile file(strFile);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file)) {
        strError = file.errorString();
        return {};
    }
    const std::int64_t nCount = PlotSamples(*view.GetPlot()).nCount;
    const std::uint32_t tFirst = view.m_tFirstSample;
    QString strVerdict = QStringLiteral("-");
    if (analysis.verdict != EVerdict::None)
        strVerdict = FormatVerdict(analysis.verdict, EnglishStepWords()) + QStringLiteral(", ") +
                     QString::number(analysis.nDwellsPassed) + QStringLiteral(" of ") +
                     QString::number(analysis.nDwells) + QStringLiteral(" dwells passed");
    return {
        QStringLiteral("file\t") + QFileInfo(strFile).fileName(),
        QStringLiteral("size\t") + QString::number(file.size()) + QStringLiteral(" bytes"),
        QStringLiteral("SHA-256\t") + QString::fromLatin1(hash.result().toHex()),
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
}

int DrawStepSheets(QPainter& painter, const QRect& rcArea, const QString& strHeading,
                   const QStringList& facts, const QStringList& lines,
                   const std::function<bool()>& fnNewSheet)
{
    std::vector<CTable> blocks = SplitBlocks(facts);
    // The facts have no heading row.
    const std::size_t nFactBlocks = blocks.size();
    for (CTable& table : SplitBlocks(lines))
        blocks.push_back(std::move(table));

    painter.save();
    // A margin of a twentieth of the sheet, as the statistics sheet leaves.
    const int nLeft = rcArea.left() + rcArea.width() / 20;
    const int nWidth = rcArea.width() - 2 * (rcArea.width() / 20);
    const int nTop = rcArea.top() + rcArea.height() / 20;
    const int nBottom = rcArea.bottom() - rcArea.height() / 20;
    // The widest table sets the size of the text: the step table has seventeen columns.
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(10.0);
    int nWidest = 0;
    {
        const QFontMetrics metrics(font, painter.device());
        const int nGap = metrics.horizontalAdvance(QStringLiteral("MM"));
        for (const CTable& table : blocks) {
            const std::vector<int> widths = ColumnWidths(table, metrics);
            int n = 0;
            for (const int w : widths)
                n += w + nGap;
            nWidest = std::max(nWidest, n);
        }
    }
    if (nWidest > nWidth)
        font.setPointSizeF(std::max(4.0, 10.0 * nWidth / nWidest));
    const QFontMetrics metrics(font, painter.device());
    const int nGap = metrics.horizontalAdvance(QStringLiteral("MM"));
    const int nLine = metrics.lineSpacing() * 4 / 3;

    int nSheets = 1;
    int y = nTop + nLine;
    QFont headingFont = font;
    headingFont.setBold(true);
    headingFont.setPointSizeF(font.pointSizeF() * 1.4);
    painter.setFont(headingFont);
    painter.drawText(QPoint(nLeft, y), strHeading);
    y += 2 * nLine;
    bool bGoOn = true;
    for (std::size_t b = 0; b < blocks.size() && bGoOn; ++b) {
        const CTable& table = blocks[b];
        const std::vector<int> widths = ColumnWidths(table, metrics);
        for (std::size_t r = 0; r < table.size() && bGoOn; ++r) {
            const bool bHeading = r == 0 && b >= nFactBlocks && table.size() > 1;
            // A heading is not left alone at the foot of a sheet.
            const int nNeeded = bHeading ? 2 * nLine : nLine;
            if (y + nNeeded > nBottom) {
                if (!fnNewSheet || !fnNewSheet()) {
                    bGoOn = false;
                    break;
                }
                ++nSheets;
                y = nTop + nLine;
                if (!bHeading && b >= nFactBlocks && table.size() > 1) {
                    QFont bold = font;
                    bold.setBold(true);
                    painter.setFont(bold);
                    int x = nLeft;
                    for (std::size_t c = 0; c < static_cast<std::size_t>(table[0].size()); ++c) {
                        painter.drawText(QPoint(x, y), table[0][static_cast<qsizetype>(c)]);
                        x += widths[c] + nGap;
                    }
                    y += nLine;
                }
            }
            QFont rowFont = font;
            rowFont.setBold(bHeading);
            painter.setFont(rowFont);
            int x = nLeft;
            const QStringList& cells = table[r];
            for (qsizetype c = 0; c < cells.size(); ++c) {
                painter.drawText(QPoint(x, y), cells[c]);
                x += widths[static_cast<std::size_t>(c)] + nGap;
            }
            y += nLine;
        }
        y += nLine;
    }
    painter.restore();
    return nSheets;
}
