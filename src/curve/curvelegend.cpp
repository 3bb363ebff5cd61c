#include "curve/curvelegend.h"

#include "res/colorref.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int kMargin = 4;  // between the plot's edge and the legend, and inside it
constexpr int kSwatch = 18; // width of a swatch: two halves, temperature and humidity
constexpr int kGap = 6;     // between swatch, name and readout

QString RowText(const CLegendEntry& entry, bool bReadouts)
{
    if (!bReadouts || entry.strReadout.isEmpty())
        return entry.strName;
    return entry.strName + QStringLiteral("   ") + entry.strReadout;
}

} // namespace

void CCurveLegend::SetReadout(std::size_t i, const QString& strReadout)
{
    if (i < m_arrEntries.size())
        m_arrEntries[i].strReadout = strReadout;
}

std::vector<QRect> CCurveLegend::Rows(const QFontMetrics& metrics, bool bReadouts) const
{
    std::vector<QRect> rows;
    const int nHeight = metrics.height() + 2;
    int nWidth = 0;
    for (const CLegendEntry& entry : m_arrEntries)
        nWidth = std::max(nWidth, metrics.horizontalAdvance(RowText(entry, bReadouts)));
    nWidth += kSwatch + kGap + 2 * kMargin;
    for (std::size_t i = 0; i < m_arrEntries.size(); ++i)
        rows.emplace_back(2 * kMargin, 2 * kMargin + static_cast<int>(i) * nHeight, nWidth,
                          nHeight);
    return rows;
}

int CCurveLegend::EntryAt(const QFontMetrics& metrics, const QPoint& pt, bool bReadouts) const
{
    const std::vector<QRect> rows = Rows(metrics, bReadouts);
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].contains(pt))
            return static_cast<int>(i);
    return -1;
}

void CCurveLegend::Draw(QPainter& painter, bool bReadouts) const
{
    if (m_arrEntries.empty())
        return;
    const QFontMetrics metrics = painter.fontMetrics();
    const std::vector<QRect> rows = Rows(metrics, bReadouts);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    // A light box keeps the names readable over the curves.
    const QRect rcBox = QRect(rows.front().topLeft(), rows.back().bottomRight())
                            .adjusted(-kMargin, -kMargin, kMargin, kMargin);
    painter.fillRect(rcBox, QColor(255, 255, 255, 220));
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawRect(rcBox.adjusted(0, 0, -1, -1));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const QRect& rc = rows[i];
        const CLegendEntry& entry = m_arrEntries[i];
        const int nSwatchTop = rc.top() + (rc.height() - 8) / 2;
        painter.fillRect(QRect(rc.left() + kMargin, nSwatchTop, kSwatch / 2, 8),
                         ColorFromRef(entry.crTemp));
        painter.fillRect(QRect(rc.left() + kMargin + kSwatch / 2, nSwatchTop, kSwatch / 2, 8),
                         ColorFromRef(entry.crHumi));
        painter.setPen(Qt::black);
        painter.drawText(rc.adjusted(kMargin + kSwatch + kGap, 0, 0, 0),
                         Qt::AlignLeft | Qt::AlignVCenter, RowText(entry, bReadouts));
    }
    painter.restore();
}
