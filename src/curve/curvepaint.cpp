// The painting side of CCurveCtrl: background, grid, cross-hair and curves, and the pointer
// tracking that moves the cross-hair.
#include "curve/curvectrl.h"
#include "curve/curvestrokes.h"
#include "res/colorref.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// Beyond this a pen only fills the plot; the cap keeps a hand-edited width from stalling.
constexpr int kMaxPenWidth = 4096;

// Lines per piece of a wide curve drawn in pieces; 16 to 64 measure about alike.
constexpr qsizetype kPieceSegments = 32;

// A pen as the classic line styles draw it: 0 solid, 1 dash, 2 dot, 3 dash-dot,
// 4 dash-dot-dot, 5 none. A pen wider than one pixel is solid whatever its style, with round
// ends and joins. A one-pixel pen leaves out the end point of a line, so consecutive lines
// do not paint their shared points twice.
QPen MakePen(int nStyle, int nWidth, std::uint32_t crColor)
{
    QPen pen(ColorFromRef(crColor));
    if (nStyle == 5)
        return QPen(Qt::NoPen);
    if (nWidth > 1) {
        pen.setWidth(std::min(nWidth, kMaxPenWidth));
        pen.setStyle(Qt::SolidLine);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        return pen;
    }
    pen.setWidth(1);
    pen.setCapStyle(Qt::FlatCap);
    switch (nStyle) {
    case 1:
        pen.setDashPattern({18, 6});
        break;
    case 2:
        pen.setDashPattern({3, 3});
        break;
    case 3:
        pen.setDashPattern({9, 6, 3, 6});
        break;
    case 4:
        pen.setDashPattern({9, 3, 3, 3, 3, 3});
        break;
    default:
        break;
    }
    return pen;
}

// A wide pen's outline is filled as one shape per polyline, at a cost that grows faster than
// its length. Pieces that share their end points give the same picture (their round ends make
// up the round joins) at a fraction of the cost.
void DrawPolylineInPieces(QPainter& painter, const QPoint* pPoints, qsizetype nPoints)
{
    for (qsizetype i = 0; i + 1 < nPoints; i += kPieceSegments)
        painter.drawPolyline(pPoints + i,
                             static_cast<int>(std::min(kPieceSegments + 1, nPoints - i)));
}

// Widest pen whose columns are filled from its footprint; a wider one draws its lines.
constexpr int kMaxFootprintPen = 64;

// The pixels a wide round pen paints about a vertical line, row by row, as filled spans: the
// rows above its top end, one span for every row from the top end to the row before the
// bottom end, and the rows from the bottom end down. Taken from the pen itself, so that a
// column filled from it is what the pen would have painted, at a small part of the cost of
// stroking round ends. Rows of one span are merged into rectangles.
class CColumnFootprint
{
public:
    explicit CColumnFootprint(const QPen& pen)
    {
        const int w = pen.width();
        if (w < 2 || w > kMaxFootprintPen || pen.capStyle() != Qt::RoundCap)
            return;
        // Room for a cap above and below a line long enough to show the rows between.
        const int m = w + 2;
        const int nLength = 6;
        QImage img(2 * m + 1, 2 * m + nLength + 1, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        {
            QPainter p(&img);
            p.setRenderHint(QPainter::Antialiasing, false);
            QPen probe(pen);
            probe.setColor(Qt::black);
            p.setPen(probe);
            p.drawLine(m, m, m, m + nLength);
        }
        std::vector<QRect> arrRows; // one row each, relative to the line's top end
        for (int y = 0; y < img.height(); ++y) {
            const QRgb* pRow = reinterpret_cast<const QRgb*>(img.constScanLine(y));
            int x0 = -1, x1 = -1, nRuns = 0;
            for (int x = 0; x < img.width(); ++x) {
                if (qAlpha(pRow[x]) == 0)
                    continue;
                if (x1 != x - 1)
                    ++nRuns;
                if (x0 < 0)
                    x0 = x;
                x1 = x;
            }
            if (nRuns > 1)
                return; // not the convex shape the spans describe
            if (x0 < 0)
                continue;
            if (x0 == 0 || x1 == img.width() - 1 || y == 0 || y == img.height() - 1)
                return; // the shape may go on beyond the image
            arrRows.push_back(QRect(QPoint(x0 - m, y - m), QPoint(x1 - m, y - m)));
        }
        // The rows between the ends must all have one span.
        int nBetween = 0;
        for (const QRect& rc : arrRows) {
            if (rc.top() < 0 || rc.top() >= nLength)
                continue;
            if (nBetween++ == 0) {
                m_nLeft = rc.left();
                m_nRight = rc.right();
            } else if (rc.left() != m_nLeft || rc.right() != m_nRight) {
                return;
            }
        }
        if (nBetween != nLength)
            return;
        for (const QRect& rc : arrRows) {
            if (rc.top() < 0)
                AddRow(m_arrTop, rc);
            else if (rc.top() >= nLength)
                AddRow(m_arrBottom, rc.translated(0, -nLength));
        }
        m_bValid = true;
    }

    bool IsValid() const { return m_bValid; }

    // Adds the rectangles that paint a vertical line at x from row y0 to row y1 (y0 <= y1).
    void Add(int x, int y0, int y1, std::vector<QRect>& arrRects) const
    {
        for (const QRect& rc : m_arrTop)
            arrRects.push_back(rc.translated(x, y0));
        if (y1 > y0)
            arrRects.push_back(QRect(QPoint(x + m_nLeft, y0), QPoint(x + m_nRight, y1 - 1)));
        for (const QRect& rc : m_arrBottom)
            arrRects.push_back(rc.translated(x, y1));
    }

private:
    static void AddRow(std::vector<QRect>& arrRects, const QRect& rcRow)
    {
        if (!arrRects.empty() && arrRects.back().left() == rcRow.left() &&
            arrRects.back().right() == rcRow.right() && arrRects.back().bottom() + 1 == rcRow.top())
            arrRects.back().setBottom(rcRow.bottom());
        else
            arrRects.push_back(rcRow);
    }

    std::vector<QRect> m_arrTop;    // rows above the top end
    std::vector<QRect> m_arrBottom; // rows from the bottom end down
    int m_nLeft = 0, m_nRight = 0;  // the span of the rows between
    bool m_bValid = false;
};

// The part of the line from p1 to p2 within rc; false if none is. A line to a sample far off
// the plot (a NaN or a huge value) is cut to what can reach the plot before it is drawn.
bool ClipLine(QPointF& p1, QPointF& p2, const QRectF& rc)
{
    double t0 = 0.0, t1 = 1.0;
    const double dx = p2.x() - p1.x();
    const double dy = p2.y() - p1.y();
    const double arrP[4] = {-dx, dx, -dy, dy};
    const double arrQ[4] = {p1.x() - rc.left(), rc.right() - p1.x(), p1.y() - rc.top(),
                            rc.bottom() - p1.y()};
    for (int k = 0; k < 4; ++k) {
        if (arrP[k] == 0.0) {
            if (arrQ[k] < 0.0)
                return false;
            continue;
        }
        const double t = arrQ[k] / arrP[k];
        if (arrP[k] < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (t0 > t1)
        return false;
    const QPointF a = p1;
    p1 = QPointF(a.x() + t0 * dx, a.y() + t0 * dy);
    p2 = QPointF(a.x() + t1 * dx, a.y() + t1 * dy);
    return true;
}

// A wide round pen along polylines whose points come a pixel column at a time: the points
// that share a column lie on one vertical line, filled from the pen's footprint from its
// highest to its lowest point, and the lines from one column to the next are stroked with
// flat ends, which the filled columns cover. The shape of the polylines drawn with the pen,
// without stroking a round end or join at every point; only pixels whose centres lie on a
// line's edge may come out otherwise.
void DrawColumnsByFootprint(QPainter& painter, const QPen& pen, const CColumnFootprint& footprint,
                            const std::vector<QPolygon>& strokes, const QSize& size)
{
    // Beyond this margin a flat end, square to its line, no longer reaches the plot.
    const double dMargin = pen.width() + 2.0;
    const QRectF rcClip(-dMargin, -dMargin, size.width() + 2.0 * dMargin,
                        size.height() + 2.0 * dMargin);
    std::vector<QRect> arrRects;
    std::vector<QLineF> arrLines;
    for (const QPolygon& stroke : strokes) {
        const QPoint* p = stroke.constData();
        const qsizetype n = stroke.size();
        for (qsizetype i = 0; i < n;) {
            int y0 = p[i].y(), y1 = y0;
            qsizetype j = i + 1;
            for (; j < n && p[j].x() == p[i].x(); ++j) {
                y0 = std::min(y0, p[j].y());
                y1 = std::max(y1, p[j].y());
            }
            footprint.Add(p[i].x(), y0, y1, arrRects);
            QPointF p1 = p[j - 1], p2 = j < n ? QPointF(p[j]) : p1;
            if (j < n && ClipLine(p1, p2, rcClip))
                arrLines.emplace_back(p1, p2);
            i = j;
        }
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(pen.color());
    painter.drawRects(arrRects.data(), static_cast<int>(arrRects.size()));
    QPen flat(pen);
    flat.setCapStyle(Qt::FlatCap);
    painter.setPen(flat);
    painter.drawLines(arrLines.data(), static_cast<int>(arrLines.size()));
}

std::uint64_t FloatBits(float f)
{
    std::uint32_t n;
    std::memcpy(&n, &f, sizeof n);
    return n;
}

} // namespace

void CCurveCtrl::DrawBackground(QPainter& painter, const QSize& size) const
{
    painter.fillRect(QRect(QPoint(0, 0), size), m_brBack);
}

void CCurveCtrl::DrawGrid(QPainter& painter, const QSize& size) const
{
    const int w = size.width();
    const int h = size.height();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(MakePen(m_nGridStyle, m_nGridWidth, m_crGrid));
    if (m_nGridRows >= 1) {
        const double r = static_cast<double>(h) / m_nGridRows;
        for (int i = 0; i < m_nGridRows; ++i) {
            const int y = static_cast<int>(i * r);
            painter.drawLine(0, y, w, y);
        }
    }
    painter.drawLine(0, h - 1, w, h - 1);
    if (m_nGridCols >= 1) {
        const double c = static_cast<double>(w) / m_nGridCols;
        for (int i = 0; i <= m_nGridCols; ++i) {
            const int x = static_cast<int>(i * c);
            painter.drawLine(x, 0, x, h);
        }
    }
    painter.drawLine(w - 1, 0, w - 1, h - 1);
    painter.restore();
}

void CCurveCtrl::DrawCrossHair(QPainter& painter, const QSize& size, const QPoint& pt) const
{
    if (!QRect(QPoint(0, 0), size).contains(pt))
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(MakePen(0, 1, m_crCrossHair));
    painter.drawLine(0, pt.y(), size.width(), pt.y());
    painter.drawLine(pt.x(), 0, pt.x(), size.height());
    painter.restore();
}

void CCurveCtrl::DrawCurve(QPainter& painter, const QSize& size, const CCurve& curve) const
{
    const std::vector<QPolygon> strokes = CurveStrokes(curve, size.width(), size.height());
    if (strokes.empty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBackgroundMode(Qt::TransparentMode); // the gaps of a dotted pen show the grid
    const QPen pen = MakePen(curve.m_nPenStyle, curve.m_nPenWidth, curve.m_crColor);
    painter.setPen(pen);
    // Drawn through column extremes a curve zigzags, where a wide pen costs far more per line
    // in one long polyline than in short ones. A one-pixel pen keeps whole polylines: its dots
    // run on across the joins. At most a sample a column the polylines are drawn whole, as
    // they always were.
    const bool bColumns = curve.m_nPenWidth > 1 && CurveDrawsColumns(curve, size.width());
    if (bColumns) {
        const CColumnFootprint footprint(pen);
        if (footprint.IsValid())
            DrawColumnsByFootprint(painter, pen, footprint, strokes, size);
        else
            for (const QPolygon& stroke : strokes)
                DrawPolylineInPieces(painter, stroke.constData(), stroke.size());
    } else {
        for (const QPolygon& stroke : strokes)
            painter.drawPolyline(stroke);
    }
    painter.restore();
}

void CCurveCtrl::DrawPlot(QPainter& painter, const QSize& size, const QPoint* pCrossHair) const
{
    DrawBackground(painter, size);
    if (m_nGridRows >= 1 || m_nGridCols >= 1)
        DrawGrid(painter, size);
    if (pCrossHair)
        DrawCrossHair(painter, size, *pCrossHair);
    for (const auto& pCurve : m_arrCurves)
        if (pCurve->m_bVisible && pCurve->m_arrValues.IsPresent() && !pCurve->m_arrValues.IsEmpty())
            DrawCurve(painter, size, *pCurve);
    DrawStepMarks(painter, size);
    m_legend.Draw(painter, false);
}

void CCurveCtrl::SetStepMarks(std::vector<std::int64_t> arrStarts,
                              std::vector<std::pair<std::int64_t, std::int64_t>> arrBands)
{
    m_arrStepStarts = std::move(arrStarts);
    m_arrStepBands = std::move(arrBands);
    update();
}

void CCurveCtrl::DrawStepMarks(QPainter& painter, const QSize& size) const
{
    if ((m_arrStepStarts.empty() && m_arrStepBands.empty()) || m_arrCurves.empty())
        return;
    // Where the curves put a sample: x = (i + 1 - m_fHorzMin) * W / span, truncated.
    const CCurve& curve = *m_arrCurves.front();
    const float fSpan = curve.m_fHorzMax - curve.m_fHorzMin;
    const int w = size.width();
    const int h = size.height();
    if (fSpan <= 0.0f || w <= 0 || h <= 0)
        return;
    const float sx = static_cast<float>(w) / fSpan;
    const float ox = curve.m_fHorzMin * sx;
    // Truncated as the curves are; a sample far off the page stays just beside it.
    auto xOf = [&](std::int64_t i) {
        const float x = static_cast<float>(i + 1) * sx - ox;
        return x <= -1.0f ? -1 : x >= static_cast<float>(w) ? w : static_cast<int>(x);
    };
    // Only what lies on the page is looked at: from the last sample left of it.
    const std::int64_t nFirst =
        static_cast<std::int64_t>(std::max(0.0f, std::floor(curve.m_fHorzMin) - 2.0f));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor(0x50, 0x50, 0x50), 1));
    for (auto it = std::lower_bound(m_arrStepStarts.begin(), m_arrStepStarts.end(), nFirst);
         it != m_arrStepStarts.end(); ++it) {
        const int x = xOf(*it);
        if (x >= w)
            break;
        if (x >= 0)
            painter.drawLine(x, 0, x, h - 1);
    }
    const int nBand = std::max(3, h / 80);
    auto band = std::lower_bound(m_arrStepBands.begin(), m_arrStepBands.end(), nFirst,
                                 [](const std::pair<std::int64_t, std::int64_t>& b,
                                    std::int64_t n) { return b.second < n; });
    for (; band != m_arrStepBands.end(); ++band) {
        const int x0 = std::max(xOf(band->first), 0);
        if (x0 >= w)
            break;
        const int x1 = std::min(xOf(band->second - 1), w - 1);
        if (x1 >= 0)
            painter.fillRect(QRect(x0, h - nBand, std::max(x1 - x0 + 1, 1), nBand),
                             QColor(0xE0, 0x00, 0x00));
    }
    painter.restore();
}

std::vector<std::uint64_t> CCurveCtrl::BaseSignature(const QSize& size) const
{
    return {static_cast<std::uint64_t>(size.width()),
            static_cast<std::uint64_t>(size.height()),
            static_cast<std::uint64_t>(m_brBack.style()),
            m_brBack.color().rgba(),
            m_crGrid,
            static_cast<std::uint64_t>(m_nGridStyle),
            static_cast<std::uint64_t>(m_nGridWidth),
            static_cast<std::uint64_t>(m_nGridRows),
            static_cast<std::uint64_t>(m_nGridCols)};
}

std::vector<std::uint64_t> CCurveCtrl::CurvesSignature(const QSize& size) const
{
    std::vector<std::uint64_t> sig = {static_cast<std::uint64_t>(size.width()),
                                      static_cast<std::uint64_t>(size.height()), m_nDataGeneration};
    for (const auto& p : m_arrCurves) {
        sig.insert(sig.end(),
                   {static_cast<std::uint64_t>(p->m_bVisible != 0),
                    reinterpret_cast<std::uintptr_t>(p->m_arrValues.GetSource()),
                    static_cast<std::uint64_t>(p->m_arrValues.GetSize()), p->m_crColor,
                    static_cast<std::uint64_t>(p->m_nPenStyle),
                    static_cast<std::uint64_t>(p->m_nPenWidth),
                    static_cast<std::uint64_t>(p->m_bSkipNegative != 0),
                    static_cast<std::uint64_t>(p->m_bEnterFromEdge != 0), FloatBits(p->m_fHorzMin),
                    FloatBits(p->m_fHorzMax), FloatBits(p->m_fVertMin), FloatBits(p->m_fVertMax)});
    }
    return sig;
}

void CCurveCtrl::paintEvent(QPaintEvent*)
{
    const QSize sz = size();
    if (sz.isEmpty())
        return;
    std::vector<std::uint64_t> baseSignature = BaseSignature(sz);
    if (baseSignature != m_baseSignature) {
        m_imgBase = QImage(sz, QImage::Format_RGB32);
        QPainter p(&m_imgBase);
        DrawBackground(p, sz);
        if (m_nGridRows >= 1 || m_nGridCols >= 1)
            DrawGrid(p, sz);
        m_baseSignature = std::move(baseSignature);
    }
    std::vector<std::uint64_t> curvesSignature = CurvesSignature(sz);
    if (curvesSignature != m_curvesSignature) {
        m_imgCurves = QImage(sz, QImage::Format_ARGB32_Premultiplied);
        m_imgCurves.fill(Qt::transparent);
        QPainter p(&m_imgCurves);
        for (const auto& pCurve : m_arrCurves)
            if (pCurve->m_bVisible && pCurve->m_arrValues.IsPresent() &&
                !pCurve->m_arrValues.IsEmpty())
                DrawCurve(p, sz, *pCurve);
        m_curvesSignature = std::move(curvesSignature);
    }
    QPainter painter(this);
    painter.drawImage(0, 0, m_imgBase);
    if (m_bCrossHair && m_bPointerInside)
        DrawCrossHair(painter, sz, m_ptPointer);
    painter.drawImage(0, 0, m_imgCurves);
    DrawStepMarks(painter, sz);
    DrawBand(painter, sz);
    m_legend.Draw(painter, m_bCrossHair && m_bPointerInside);
}

int CCurveCtrl::LegendEntryAt(const QPoint& pt) const
{
    return m_legend.EntryAt(fontMetrics(), pt, m_bCrossHair && m_bPointerInside);
}

void CCurveCtrl::DrawBand(QPainter& painter, const QSize& size) const
{
    if (m_nBandFirst > m_nBandLast || m_arrCurves.empty())
        return;
    const CCurve& curve = *m_arrCurves.front();
    const double dSpan = static_cast<double>(curve.m_fHorzMax) - curve.m_fHorzMin;
    if (!(dSpan > 0.0))
        return;
    // Second s covers the columns from s to s + 1 in the window's scale; a band at least a
    // column wide stays visible at any scale.
    const double dPerSample = size.width() / dSpan;
    const double x0 = (static_cast<double>(m_nBandFirst) - curve.m_fHorzMin) * dPerSample;
    const double x1 = (static_cast<double>(m_nBandLast) + 1.0 - curve.m_fHorzMin) * dPerSample;
    if (x1 <= 0.0 || x0 >= size.width())
        return;
    const int nLeft = static_cast<int>(std::floor(std::max(x0, 0.0)));
    const int nRight =
        std::max(nLeft + 1, static_cast<int>(std::ceil(std::min(x1, double(size.width())))));
    painter.fillRect(QRect(nLeft, 0, nRight - nLeft, size.height()), QColor(0, 120, 215, 64));
}

void CCurveCtrl::mouseMoveEvent(QMouseEvent* pEvent)
{
    m_bPointerInside = true;
    m_ptPointer = pEvent->position().toPoint();
    update();
    QWidget::mouseMoveEvent(pEvent);
}

void CCurveCtrl::leaveEvent(QEvent* pEvent)
{
    m_bPointerInside = false;
    update();
    QWidget::leaveEvent(pEvent);
}
