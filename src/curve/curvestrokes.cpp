#include "curve/curvestrokes.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// Keeps points far outside the plot within what the rasteriser handles; such points only
// give the direction of a line leaving the plot.
constexpr int kCoordLimit = 1 << 20;

QPoint ClampedPoint(int x, int y)
{
    return QPoint(std::clamp(x, -kCoordLimit, kCoordLimit), std::clamp(y, -kCoordLimit, kCoordLimit));
}

} // namespace

int TruncToInt(float f)
{
    if (!(f > -2147483648.0f && f < 2147483648.0f))
        return INT_MIN;
    return static_cast<int>(f);
}

std::int64_t CurveStride(float fHorzSpan, int nWidth)
{
    const float fStep = fHorzSpan / static_cast<float>(nWidth);
    if (!(fStep > 1.0f))
        return 1;
    if (fStep >= 9.2e18f)
        return INT64_MAX / 4;
    return static_cast<std::int64_t>(fStep);
}

std::vector<QPolygon> CurveStrokes(const CCurve& curve, int nWidth, int nHeight)
{
    std::vector<QPolygon> strokes;
    const std::int64_t n = curve.m_arrValues.GetSize();
    const float fVertSpan = curve.m_fVertMax - curve.m_fVertMin;
    const float fHorzSpan = curve.m_fHorzMax - curve.m_fHorzMin;
    if (n == 0 || nWidth <= 0 || nHeight <= 0 || fVertSpan == 0.0f || fHorzSpan == 0.0f)
        return strokes;

    // Per-paint factors in single precision, evaluated in this order.
    const float fH = static_cast<float>(nHeight);
    const float sy = fH / fVertSpan;
    const float sx = static_cast<float>(nWidth) / fHorzSpan;
    const float ox = curve.m_fHorzMin * sx;
    const float oy = curve.m_fVertMin * sy;
    const std::int64_t s = CurveStride(fHorzSpan, nWidth);
    const float* const pValues = curve.m_arrValues.GetData();
    auto xOf = [&](std::int64_t i) { return TruncToInt(static_cast<float>(i + 1) * sx - ox); };
    auto yOf = [&](float v) { return TruncToInt(fH - v * sy + oy); };

    QPolygon run;
    auto flush = [&] {
        if (run.size() >= 2)
            strokes.push_back(run);
        run.clear();
    };

    std::int64_t i = 0;
    const int x0 = xOf(0);
    if (x0 >= 0 || sx < 0.0f) {
        run << ClampedPoint(-1, yOf(pValues[0]));
        if (x0 >= nWidth)
            return strokes;
        i = s;
    } else {
        // Later window: start from the last stride sample left of the plot instead of
        // scanning every sample from 0.
        const float fFirst = std::floor((curve.m_fHorzMin - 1.0f) / static_cast<float>(s));
        std::int64_t c = fFirst <= 0.0f ? 0
                         : fFirst >= static_cast<float>(n) ? (n - 1) / s * s
                                                           : static_cast<std::int64_t>(fFirst) * s;
        c = std::min(c, (n - 1) / s * s);
        while (c > 0 && xOf(c) >= 0)
            c -= s;
        while (c + s < n && xOf(c + s) < 0)
            c += s;
        if (xOf(c) >= 0) // cannot happen with x(0) < 0, kept for safety
            c = 0;
        run << ClampedPoint(xOf(c), yOf(pValues[c]));
        i = c + s;
    }

    for (; i < n; i += s) {
        const float v = pValues[i];
        const int x = xOf(i);
        const QPoint pt = ClampedPoint(x, yOf(v));
        if (v < 0.0f && curve.m_bSkipNegative) {
            flush();
            run << pt;
        } else if (x >= 0) {
            run << pt;
        }
        if (x >= nWidth)
            break;
    }
    flush();
    return strokes;
}
