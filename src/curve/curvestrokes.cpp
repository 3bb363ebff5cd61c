#include "curve/curvestrokes.h"

#include "curve/columnextremes.h"
#include "curve/samplecursor.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

namespace {

// Keeps points far outside the plot within what the rasteriser handles; such points only
// give the direction of a line leaving the plot.
constexpr int kCoordLimit = 1 << 20;

QPoint ClampedPoint(int x, int y)
{
    return QPoint(std::clamp(x, -kCoordLimit, kCoordLimit),
                  std::clamp(y, -kCoordLimit, kCoordLimit));
}

// Per-paint factors in single precision, evaluated in this order: the pictures depend on
// where the rounding falls.
struct CPlotScale
{
    CPlotScale(const CCurve& curve, int nWidth, int nHeight)
        : fH(static_cast<float>(nHeight)), sy(fH / (curve.m_fVertMax - curve.m_fVertMin)),
          sx(static_cast<float>(nWidth) / (curve.m_fHorzMax - curve.m_fHorzMin)),
          ox(curve.m_fHorzMin * sx), oy(curve.m_fVertMin * sy)
    {
    }

    float X(std::int64_t i) const { return static_cast<float>(i + 1) * sx - ox; }
    int Y(float v) const { return TruncToInt(fH - v * sy + oy); }

    float fH, sy, sx, ox, oy;
};

// Polylines in the making: a lifted pen ends the current one.
class CStrokeBuilder
{
public:
    explicit CStrokeBuilder(std::vector<QPolygon>& strokes) : m_strokes(strokes) {}
    ~CStrokeBuilder() { Lift(); }
    CStrokeBuilder(const CStrokeBuilder&) = delete;
    CStrokeBuilder& operator=(const CStrokeBuilder&) = delete;

    void Lift()
    {
        if (m_run.size() >= 2)
            m_strokes.push_back(m_run);
        m_run.clear();
    }
    QPolygon& Run() { return m_run; }

private:
    std::vector<QPolygon>& m_strokes;
    QPolygon m_run;
};

// At most one sample per pixel column: every sample is drawn.
void AddSampleStrokes(const CCurve& curve, CSampleCursor& samples, const CPlotScale& sc, int nWidth,
                      std::vector<QPolygon>& strokes)
{
    const std::int64_t n = samples.GetSize();
    auto xOf = [&](std::int64_t i) { return TruncToInt(sc.X(i)); };
    CStrokeBuilder builder(strokes);
    QPolygon& run = builder.Run();

    std::int64_t i = 0;
    const int x0 = xOf(0);
    if (x0 >= 0 || sc.sx < 0.0f) {
        // A recording placed later on a common time line begins where its first sample is.
        run << ClampedPoint(curve.m_bEnterFromEdge ? -1 : x0, sc.Y(samples.Value(0)));
        if (x0 >= nWidth)
            return;
        i = 1;
    } else {
        // Later window: start from the last sample left of the plot instead of scanning every
        // sample from 0.
        const float fFirst = std::floor(curve.m_fHorzMin - 1.0f);
        std::int64_t c = fFirst <= 0.0f                    ? 0
                         : fFirst >= static_cast<float>(n) ? n - 1
                                                           : static_cast<std::int64_t>(fFirst);
        c = std::min(c, n - 1);
        while (c > 0 && xOf(c) >= 0)
            --c;
        while (c + 1 < n && xOf(c + 1) < 0)
            ++c;
        if (xOf(c) >= 0) // cannot happen with x(0) < 0, kept for safety
            c = 0;
        run << ClampedPoint(xOf(c), sc.Y(samples.Value(c)));
        i = c + 1;
    }

    for (; i < n; ++i) {
        const float v = samples.Value(i);
        const int x = xOf(i);
        const QPoint pt = ClampedPoint(x, sc.Y(v));
        if (v < 0.0f && curve.m_bSkipNegative) {
            builder.Lift();
            run << pt;
        } else if (x >= 0) {
            run << pt;
        }
        if (x >= nWidth)
            break;
    }
}

// Rows of one pixel column, each unlike the one before.
struct CColumnRows
{
    void Add(int y)
    {
        if (nCount == 0 || arrY[nCount - 1] != y)
            arrY[nCount++] = y;
    }

    int arrY[4] = {};
    int nCount = 0;
};

// The rows a column's line passes through: its first, lowest, highest and last sample's.
// The strokes within the column lie on one vertical and cover the rows from its lowest to its
// highest point whichever of the two comes first, so the two come in the order that leaves
// out a point where the first or last sample shares a row with one of them, and in time order
// otherwise.
CColumnRows ColumnRows(const CColumnPicks& picks, const CPlotScale& sc)
{
    CColumnRows inTime;
    for (int k = 0; k < picks.nCount; ++k)
        inTime.Add(sc.Y(picks.arrValue[k]));
    if (inTime.nCount < 3)
        return inTime;
    const int yFirst = inTime.arrY[0];
    const int yLast = inTime.arrY[inTime.nCount - 1];
    const auto [itLow, itHigh] = std::minmax_element(inTime.arrY, inTime.arrY + inTime.nCount);
    CColumnRows best = inTime;
    for (const auto& [y1, y2] : {std::pair(*itLow, *itHigh), std::pair(*itHigh, *itLow)}) {
        CColumnRows rows;
        for (const int y : {yFirst, y1, y2, yLast})
            rows.Add(y);
        if (rows.nCount < best.nCount)
            best = rows;
    }
    return best;
}

// More samples than pixel columns: each column is drawn through its first, lowest, highest
// and last sample, so that no extreme falls between two drawn samples.
void AddColumnStrokes(const CCurve& curve, CSampleCursor& samples, const CPlotScale& sc, int nWidth,
                      std::vector<QPolygon>& strokes)
{
    const std::int64_t n = samples.GetSize();
    const bool bSkip = curve.m_bSkipNegative != 0;
    if (!(sc.sx > 0.0f) || !std::isfinite(sc.ox))
        return;
    // Sample i's column; unlike TruncToInt it keeps growing with i beyond the int range,
    // which the searches below rely on.
    auto colOf = [&](std::int64_t i) {
        const float x = sc.X(i);
        return x >= 2147483648.0f ? INT_MAX : TruncToInt(x);
    };
    // The first sample of [lo, hi) whose column lies right of x; hi when none does.
    auto firstRightOf = [&](std::int64_t lo, std::int64_t hi, int x) {
        while (lo < hi) {
            const std::int64_t mid = lo + (hi - lo) / 2;
            if (colOf(mid) > x)
                hi = mid;
            else
                lo = mid + 1;
        }
        return lo;
    };
    // The end of column x, which starts at sample b: looked for a few samples around where
    // the column's width puts it, and over all the rest only if rounding put it elsewhere.
    auto columnEnd = [&](std::int64_t b, int x) {
        const double dGuess = std::ceil((static_cast<double>(x) + 1.0 + sc.ox) / sc.sx) - 1.0;
        const std::int64_t nGuess = dGuess < static_cast<double>(b) ? b
                                    : dGuess > static_cast<double>(n)
                                        ? n
                                        : static_cast<std::int64_t>(dGuess);
        std::int64_t lo = std::clamp<std::int64_t>(nGuess - 8, b + 1, n);
        std::int64_t hi = std::clamp<std::int64_t>(nGuess + 8, b + 1, n);
        if (colOf(lo - 1) > x)
            lo = b + 1;
        if (hi < n && colOf(hi) <= x)
            hi = n;
        return firstRightOf(lo, hi, x);
    };

    CStrokeBuilder builder(strokes);
    QPolygon& run = builder.Run();
    std::int64_t b = 0;
    const int x0 = colOf(0);
    if (x0 >= 0) {
        if (x0 >= nWidth)
            return;
        if (curve.m_bEnterFromEdge)
            run << ClampedPoint(-1, sc.Y(samples.Value(0)));
    } else {
        // Later window: enter from the last sample drawn in the last column left of the plot,
        // so the curve comes in at its true height.
        b = firstRightOf(0, n, -1);
        if (b == n)
            return;
        const int xEntry = colOf(b - 1);
        const std::int64_t bEntry = xEntry == INT_MIN ? 0 : firstRightOf(0, b - 1, xEntry - 1);
        const CColumnPicks entry = samples.Column(bEntry, b, bSkip);
        run << ClampedPoint(xEntry, sc.Y(entry.arrValue[entry.nCount - 1]));
    }

    while (b < n) {
        const int x = colOf(b);
        const std::int64_t e = columnEnd(b, x);
        const CColumnPicks picks = samples.Column(b, e, bSkip);
        const float fFirst = picks.arrValue[0];
        if (picks.nCount == 1 && bSkip && fFirst < 0.0f) {
            builder.Lift();
            run << ClampedPoint(x, sc.Y(fFirst));
        } else if (x >= nWidth) {
            run << ClampedPoint(x, sc.Y(fFirst));
        } else {
            const CColumnRows rows = ColumnRows(picks, sc);
            for (int k = 0; k < rows.nCount; ++k) {
                // A wide pen costs in proportion to its segments.
                const QPoint pt = ClampedPoint(x, rows.arrY[k]);
                if (run.isEmpty() || run.back() != pt)
                    run << pt;
            }
        }
        // The scan stops after the first point at or beyond the right edge.
        if (x >= nWidth)
            break;
        b = e;
    }
}

} // namespace

int TruncToInt(float f)
{
    if (!(f > -2147483648.0f && f < 2147483648.0f))
        return INT_MIN;
    return static_cast<int>(f);
}

bool CurveDrawsColumns(const CCurve& curve, int nWidth)
{
    return (curve.m_fHorzMax - curve.m_fHorzMin) / static_cast<float>(nWidth) > 1.0f;
}

std::vector<QPolygon> CurveStrokes(const CCurve& curve, int nWidth, int nHeight)
{
    CSampleCursor samples(curve.m_arrValues);
    return CurveStrokes(curve, samples, nWidth, nHeight);
}

std::vector<QPolygon> CurveStrokes(const CCurve& curve, CSampleCursor& samples, int nWidth,
                                   int nHeight)
{
    std::vector<QPolygon> strokes;
    const std::int64_t n = samples.GetSize();
    const float fVertSpan = curve.m_fVertMax - curve.m_fVertMin;
    const float fHorzSpan = curve.m_fHorzMax - curve.m_fHorzMin;
    if (n == 0 || nWidth <= 0 || nHeight <= 0 || fVertSpan == 0.0f || fHorzSpan == 0.0f)
        return strokes;
    // A page this wide (no range set yet) reaches no second sample: nothing is drawn.
    if (fHorzSpan / static_cast<float>(nWidth) >= 9.2e18f)
        return strokes;
    const CPlotScale sc(curve, nWidth, nHeight);
    if (CurveDrawsColumns(curve, nWidth))
        AddColumnStrokes(curve, samples, sc, nWidth, strokes);
    else
        AddSampleStrokes(curve, samples, sc, nWidth, strokes);
    return strokes;
}
