// The painting side of CCurveCtrl: background, grid, cross-hair and curves, and the pointer
// tracking that moves the cross-hair.
#include "curve/curvectrl.h"
#include "curve/curvestrokes.h"
#include "res/colorref.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

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
    painter.setPen(MakePen(curve.m_nPenStyle, curve.m_nPenWidth, curve.m_crColor));
    // Drawn through column extremes a curve zigzags, where a wide pen costs far more per line
    // in one long polyline than in short ones. A one-pixel pen keeps whole polylines: its dots
    // run on across the joins. At most a sample a column the polylines are drawn whole, as
    // they always were.
    const bool bInPieces = curve.m_nPenWidth > 1 && CurveDrawsColumns(curve, size.width());
    for (const QPolygon& stroke : strokes) {
        if (bInPieces)
            DrawPolylineInPieces(painter, stroke.constData(), stroke.size());
        else
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
        if (pCurve->m_bVisible && !pCurve->m_arrValues.IsEmpty())
            DrawCurve(painter, size, *pCurve);
    DrawStepMarks(painter, size);
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
    auto band = std::lower_bound(
        m_arrStepBands.begin(), m_arrStepBands.end(), nFirst,
        [](const std::pair<std::int64_t, std::int64_t>& b, std::int64_t n) { return b.second < n; });
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
                                      static_cast<std::uint64_t>(size.height()),
                                      m_nDataGeneration};
    for (const auto& p : m_arrCurves) {
        sig.insert(sig.end(),
                   {static_cast<std::uint64_t>(p->m_bVisible != 0),
                    reinterpret_cast<std::uintptr_t>(p->m_arrValues.GetData()),
                    static_cast<std::uint64_t>(p->m_arrValues.GetSize()), p->m_crColor,
                    static_cast<std::uint64_t>(p->m_nPenStyle),
                    static_cast<std::uint64_t>(p->m_nPenWidth),
                    static_cast<std::uint64_t>(p->m_bSkipNegative != 0),
                    FloatBits(p->m_fHorzMin), FloatBits(p->m_fHorzMax),
                    FloatBits(p->m_fVertMin), FloatBits(p->m_fVertMax)});
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
            if (pCurve->m_bVisible && !pCurve->m_arrValues.IsEmpty())
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
