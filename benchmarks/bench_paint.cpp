// Painting a 720 x 400 plot with the four curves of a month at one sample a second, on the
// first and on the last page, at 1 and at 3600 seconds per pixel. A paint should cost in
// proportion to what is visible, so the last page must not cost more than the first.
//
// At more than one sample per pixel the curves are drawn through each column's first, lowest,
// highest and last sample. The baseline of that is the stride drawing the plot had before
// (every s-th sample, which hides what lies between), kept in this file only: the same page,
// scale, pens and background. A page of a year is measured too, where sample positions no
// longer fit a float exactly.
#include "benchsupport.h"

#include "curve/curvectrl.h"
#include "curve/curvestrokes.h"
#include "res/colorref.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kWidth = 720;
constexpr int kHeight = 400;
constexpr std::int64_t kMonthSamples = 31LL * 86400;
constexpr std::int64_t kYearSamples = 365LL * 86400;

// The four curves of a recording at one sample a second, with the program's pens; fnValue,
// when given, sets every curve's samples instead of the smooth ones, and the curves skip
// negative samples as humidity does.
CCurveCtrl* NewPlot(std::int64_t nSamples, float (*fnValue)(std::int64_t) = nullptr)
{
    auto* p = new CCurveCtrl;
    p->m_nGridRows = 10;
    p->m_nGridCols = 6;
    p->m_brBack = QBrush(Qt::white);
    const struct
    {
        const char* szKey;
        std::uint32_t crColor;
        int nStyle, nWidth, nAxis;
        float fBase, fSwing;
    } curves[] = {{"!100", 0x0000FF, 0, 3, 0, 40.0f, 30.0f},
                  {"!200", 0xFF0000, 0, 3, 1, 80.0f, 15.0f},
                  {"!101", 0xFF80FF, 2, 1, 0, 40.0f, 31.0f},
                  {"!201", 0xFFFF00, 2, 1, 1, 80.0f, 16.0f}};
    for (const auto& c : curves) {
        CCurve* pCurve = p->AddCurve(c.szKey, c.crColor, c.nStyle, c.nWidth);
        pCurve->m_nAxis = c.nAxis;
        p->ResetCurve(pCurve);
        CFloatArray values;
        values.ReserveMore(nSamples);
        for (std::int64_t i = 0; i < nSamples; ++i)
            values.AddRepeated(fnValue ? fnValue(i)
                                       : c.fBase +
                                             c.fSwing * std::sin(static_cast<float>(i) / 5000.0f) +
                                             static_cast<float>(i % 7) * 0.1f,
                               1);
        pCurve->m_bSkipNegative = fnValue != nullptr;
        p->SwapValues(pCurve, values);
        if (c.nAxis)
            p->SetVertRange(pCurve, 0.0f, 100.0f);
        else
            p->SetVertRange(pCurve, -40.0f, 160.0f);
    }
    return p;
}

CCurveCtrl& MonthPlot()
{
    static CCurveCtrl* pCtrl = NewPlot(kMonthSamples);
    return *pCtrl;
}

CCurveCtrl& YearPlot()
{
    static CCurveCtrl* pCtrl = NewPlot(kYearSamples);
    return *pCtrl;
}

// Months whose samples make the column drawing work hardest.
CCurveCtrl& NanMonthPlot() // every other sample NaN
{
    static CCurveCtrl* pCtrl = NewPlot(kMonthSamples, [](std::int64_t i) {
        return i % 2 ? NAN : 40.0f + static_cast<float>(i % 1000) * 0.01f;
    });
    return *pCtrl;
}

CCurveCtrl& NegativeMonthPlot() // all negative, skipped: every column only lifts the pen
{
    static CCurveCtrl* pCtrl =
        NewPlot(kMonthSamples, [](std::int64_t i) { return -1.0f - static_cast<float>(i % 3); });
    return *pCtrl;
}

CCurveCtrl& SpikeMonthPlot() // a spike across the plot at every second sample
{
    static CCurveCtrl* pCtrl =
        NewPlot(kMonthSamples, [](std::int64_t i) { return i % 2 ? 150.0f : 5.0f; });
    return *pCtrl;
}

CCurveCtrl& SawtoothMonthPlot() // lowest and highest in either order, column by column
{
    static CCurveCtrl* pCtrl = NewPlot(kMonthSamples, [](std::int64_t i) {
        return static_cast<float>((i * 37) % 101) + static_cast<float>(i / 7 % 2) * 10.0f;
    });
    return *pCtrl;
}

// The stride drawing as the plot had it: every s-th sample, s = samples per pixel truncated.
std::vector<QPolygon> StrideStrokes(const CCurve& curve, int nWidth, int nHeight)
{
    std::vector<QPolygon> strokes;
    const std::int64_t n = curve.m_arrValues.GetSize();
    const float fVertSpan = curve.m_fVertMax - curve.m_fVertMin;
    const float fHorzSpan = curve.m_fHorzMax - curve.m_fHorzMin;
    if (n == 0 || nWidth <= 0 || nHeight <= 0 || fVertSpan == 0.0f || fHorzSpan == 0.0f)
        return strokes;
    const float fH = static_cast<float>(nHeight);
    const float sy = fH / fVertSpan;
    const float sx = static_cast<float>(nWidth) / fHorzSpan;
    const float ox = curve.m_fHorzMin * sx;
    const float oy = curve.m_fVertMin * sy;
    const float fStep = fHorzSpan / static_cast<float>(nWidth);
    const std::int64_t s = !(fStep > 1.0f)    ? 1
                           : fStep >= 9.2e18f ? INT64_MAX / 4
                                              : static_cast<std::int64_t>(fStep);
    const float* const pValues = curve.m_arrValues.GetData();
    auto xOf = [&](std::int64_t i) { return TruncToInt(static_cast<float>(i + 1) * sx - ox); };
    auto yOf = [&](float v) { return TruncToInt(fH - v * sy + oy); };
    auto pointOf = [](int x, int y) {
        return QPoint(std::clamp(x, -(1 << 20), 1 << 20), std::clamp(y, -(1 << 20), 1 << 20));
    };

    QPolygon run;
    auto flush = [&] {
        if (run.size() >= 2)
            strokes.push_back(run);
        run.clear();
    };
    std::int64_t i = 0;
    const int x0 = xOf(0);
    if (x0 >= 0 || sx < 0.0f) {
        run << pointOf(-1, yOf(pValues[0]));
        if (x0 >= nWidth)
            return strokes;
        i = s;
    } else {
        const float fFirst = std::floor((curve.m_fHorzMin - 1.0f) / static_cast<float>(s));
        std::int64_t c = fFirst <= 0.0f                    ? 0
                         : fFirst >= static_cast<float>(n) ? (n - 1) / s * s
                                                           : static_cast<std::int64_t>(fFirst) * s;
        c = std::min(c, (n - 1) / s * s);
        while (c > 0 && xOf(c) >= 0)
            c -= s;
        while (c + s < n && xOf(c + s) < 0)
            c += s;
        if (xOf(c) >= 0)
            c = 0;
        run << pointOf(xOf(c), yOf(pValues[c]));
        i = c + s;
    }
    for (; i < n; i += s) {
        const float v = pValues[i];
        const int x = xOf(i);
        const QPoint pt = pointOf(x, yOf(v));
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

// The plot's pens for the two kinds of curve here: three pixels solid, one pixel dotted.
QPen CurvePen(const CCurve& curve)
{
    QPen pen(ColorFromRef(curve.m_crColor));
    pen.setWidth(curve.m_nPenWidth);
    if (curve.m_nPenWidth > 1) {
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
    } else {
        pen.setCapStyle(Qt::FlatCap);
        pen.setDashPattern({3, 3});
    }
    return pen;
}

// The whole plot as DrawPlot paints it, with the curves drawn by StrideStrokes.
void DrawPlotByStride(CCurveCtrl& ctrl, QPainter& painter, const QSize& size)
{
    for (const auto& pCurve : ctrl.m_arrCurves)
        pCurve->m_bVisible = 0;
    ctrl.DrawPlot(painter, size, nullptr);
    for (const auto& pCurve : ctrl.m_arrCurves) {
        pCurve->m_bVisible = 1;
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setBackgroundMode(Qt::TransparentMode);
        painter.setPen(CurvePen(*pCurve));
        for (const QPolygon& stroke : StrideStrokes(*pCurve, size.width(), size.height()))
            painter.drawPolyline(stroke);
        painter.restore();
    }
}

void BM_Paint(benchmark::State& state, CCurveCtrl& (*fnPlot)(), std::int64_t nPage,
              int nSecondsPerPixel, bool bStride)
{
    CCurveCtrl& ctrl = fnPlot();
    const std::int64_t nPerPage = static_cast<std::int64_t>(kWidth) * nSecondsPerPixel;
    if (nPage == 0) // the last page
        nPage = (ctrl.m_arrCurves.front()->m_arrValues.GetSize() - 1) / nPerPage + 1;
    for (const auto& pCurve : ctrl.m_arrCurves) {
        pCurve->m_fHorzMin = static_cast<float>((nPage - 1) * nPerPage);
        pCurve->m_fHorzMax = static_cast<float>(nPage * nPerPage);
    }
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    double fSeconds = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        QPainter painter(&image);
        if (bStride)
            DrawPlotByStride(ctrl, painter, image.size());
        else
            ctrl.DrawPlot(painter, image.size(), nullptr);
        painter.end();
        fSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["ms_per_paint"] =
        benchmark::Counter(fSeconds * 1000.0, benchmark::Counter::kAvgIterations);
}

double MsPerPaint(const CBenchResults& results, const std::string& strName)
{
    const auto it = results.find(strName);
    return it == results.end() ? -1.0 : it->second.at("ms_per_paint").value;
}

bool RegisterPaint()
{
    for (const int s : {1, 3600}) {
        for (const bool bLast : {false, true}) {
            const std::string strName =
                std::string("BM_Paint/") + (bLast ? "LastPage/" : "FirstPage/") + std::to_string(s);
            benchmark::RegisterBenchmark(strName.c_str(), [bLast, s](benchmark::State& state) {
                BM_Paint(state, MonthPlot, bLast ? 0 : 1, s, false);
            })->Unit(benchmark::kMillisecond);
        }
        const std::string strFirst = "BM_Paint/FirstPage/" + std::to_string(s);
        const std::string strLast = "BM_Paint/LastPage/" + std::to_string(s);
        AddSummaryLine([strFirst, strLast, s](const CBenchResults& results) -> std::string {
            const double fFirst = MsPerPaint(results, strFirst);
            const double fLast = MsPerPaint(results, strLast);
            if (fFirst < 0.0 || fLast < 0.0)
                return {};
            char sz[200];
            std::snprintf(sz, sizeof sz,
                          "paint at %d s per pixel, last page over first: %.2fx (%.3f ms vs %.3f "
                          "ms; target <= 1.5x)",
                          s, fLast / fFirst, fLast, fFirst);
            return sz;
        });
    }

    // Column extremes against the stride on the same pages: the month's first and last page
    // at each of the view's scales, a late page of a year, and months of hostile samples.
    struct CPage
    {
        const char* szRecording;
        CCurveCtrl& (*fnPlot)();
        std::int64_t nPage; // 0: the last
        int nSecondsPerPixel;
    };
    std::vector<CPage> pages;
    for (const int nScale : {1, 5, 10, 20, 40, 120, 840, 3600}) {
        pages.push_back({"Month", MonthPlot, 1, nScale});
        pages.push_back({"Month", MonthPlot, 0, nScale});
    }
    pages.push_back({"Year", YearPlot, 12, 3600});
    for (const int nScale : {5, 20, 3600}) {
        pages.push_back({"NanMonth", NanMonthPlot, 1, nScale});
        pages.push_back({"NegativeMonth", NegativeMonthPlot, 1, nScale});
        pages.push_back({"SpikeMonth", SpikeMonthPlot, 1, nScale});
        pages.push_back({"SawtoothMonth", SawtoothMonthPlot, 1, nScale});
    }
    for (const CPage& page : pages) {
        const std::string strPage =
            std::string(page.szRecording) + "/" +
            (page.nPage ? "Page" + std::to_string(page.nPage) : "LastPage") + "/" +
            std::to_string(page.nSecondsPerPixel);
        const std::string strStride = "BM_PaintStride/" + strPage;
        const std::string strColumns = "BM_PaintColumns/" + strPage;
        for (const bool bStride : {true, false})
            benchmark::RegisterBenchmark((bStride ? strStride : strColumns).c_str(),
                                         [page, bStride](benchmark::State& state) {
                                             BM_Paint(state, page.fnPlot, page.nPage,
                                                      page.nSecondsPerPixel, bStride);
                                         })
                ->Unit(benchmark::kMillisecond);
        // The hostile months have no target against the stride: it draws a flat line through
        // spikes it skips and next to nothing for negatives; they show the worst cases.
        const bool bTarget =
            page.szRecording == std::string("Month") || page.szRecording == std::string("Year");
        AddSummaryLine([strStride, strColumns, strPage, bTarget](const CBenchResults& results) {
            const double fStride = MsPerPaint(results, strStride);
            const double fColumns = MsPerPaint(results, strColumns);
            if (fStride < 0.0 || fColumns < 0.0)
                return std::string();
            char sz[200];
            std::snprintf(sz, sizeof sz,
                          "paint of %s, column extremes over stride: %.2fx (%.3f ms vs %.3f ms; "
                          "%s)",
                          strPage.c_str(), fColumns / fStride, fColumns, fStride,
                          bTarget ? "target <= 2x" : "worst case, no target");
            return std::string(sz);
        });
    }
    return true;
}

const bool g_bRegistered = RegisterPaint();

} // namespace
