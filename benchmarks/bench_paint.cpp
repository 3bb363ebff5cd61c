// Painting a 720 x 400 plot with the four curves of a month at one sample a second, on the
// first and on the last page, at 1 and at 3600 seconds per pixel. A paint should cost in
// proportion to what is visible, so the last page must not cost more than the first.
#include "benchsupport.h"

#include "curve/curvectrl.h"

#include <QImage>
#include <QPainter>

#include <chrono>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kWidth = 720;
constexpr int kHeight = 400;
constexpr std::int64_t kMonthSamples = 31LL * 86400;

CCurveCtrl& MonthPlot()
{
    static CCurveCtrl* pCtrl = [] {
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
            values.ReserveMore(kMonthSamples);
            for (std::int64_t i = 0; i < kMonthSamples; ++i)
                values.AddRepeated(c.fBase + c.fSwing * std::sin(static_cast<float>(i) / 5000.0f) +
                                       static_cast<float>(i % 7) * 0.1f,
                                   1);
            p->SwapValues(pCurve, values);
            if (c.nAxis)
                p->SetVertRange(pCurve, 0.0f, 100.0f);
            else
                p->SetVertRange(pCurve, -40.0f, 160.0f);
        }
        return p;
    }();
    return *pCtrl;
}

void BM_Paint(benchmark::State& state, bool bLastPage, int nSecondsPerPixel)
{
    CCurveCtrl& ctrl = MonthPlot();
    const std::int64_t nPerPage = static_cast<std::int64_t>(kWidth) * nSecondsPerPixel;
    const std::int64_t nPage = bLastPage ? (kMonthSamples - 1) / nPerPage + 1 : 1;
    for (const auto& pCurve : ctrl.m_arrCurves) {
        pCurve->m_fHorzMin = static_cast<float>((nPage - 1) * nPerPage);
        pCurve->m_fHorzMax = static_cast<float>(nPage * nPerPage);
    }
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    double fSeconds = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        QPainter painter(&image);
        ctrl.DrawPlot(painter, image.size(), nullptr);
        painter.end();
        fSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["ms_per_paint"] =
        benchmark::Counter(fSeconds * 1000.0, benchmark::Counter::kAvgIterations);
}

bool RegisterPaint()
{
    for (const int s : {1, 3600}) {
        for (const bool bLast : {false, true}) {
            const std::string strName =
                std::string("BM_Paint/") + (bLast ? "LastPage/" : "FirstPage/") + std::to_string(s);
            benchmark::RegisterBenchmark(strName.c_str(), [bLast, s](benchmark::State& state) {
                BM_Paint(state, bLast, s);
            })->Unit(benchmark::kMillisecond);
        }
        const std::string strFirst = "BM_Paint/FirstPage/" + std::to_string(s);
        const std::string strLast = "BM_Paint/LastPage/" + std::to_string(s);
        AddSummaryLine([strFirst, strLast, s](const CBenchResults& results) -> std::string {
            const auto first = results.find(strFirst);
            const auto last = results.find(strLast);
            if (first == results.end() || last == results.end())
                return {};
            const double fFirst = first->second.at("ms_per_paint");
            const double fLast = last->second.at("ms_per_paint");
            char sz[200];
            std::snprintf(sz, sizeof sz,
                          "paint at %d s per pixel, last page over first: %.2fx (%.3f ms vs %.3f "
                          "ms; target <= 1.5x)",
                          s, fLast / fFirst, fLast, fFirst);
            return sz;
        });
    }
    return true;
}

const bool g_bRegistered = RegisterPaint();

} // namespace
