// One pointer move over the plot of a month at one record a second: the readout of the six
// labels plus a repaint of the plot, rendered into an image as the screen would get it.
#include "benchsupport.h"

#include "curve/curvectrl.h"
#include "res/resources.h"
#include "view/childview.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>

#include <cstdio>

namespace {

CChildView& MonthView()
{
    static CChildView* pView = [] {
        auto* p = new CChildView(nullptr);
        p->show();
        p->OnInitialUpdate();
        if (!p->OpenRecorderPath(QString::fromStdString(BenchmarkMonthFile().string())))
            std::fprintf(stderr, "the month file did not load completely\n");
        QApplication::processEvents(); // the paging reset that File Open queues
        return p;
    }();
    return *pView;
}

void BM_PointerMove(benchmark::State& state, bool bLastPage)
{
    CChildView& view = MonthView();
    view.OnFirstPage();
    if (bLastPage)
        view.OnLastPage();
    CCurveCtrl* pPlot = view.GetPlot();
    QImage image(pPlot->size(), QImage::Format_RGB32);
    int x = 0;
    for (auto _ : state) {
        x = (x + 37) % pPlot->width();
        const QPointF pt(x, 150);
        QMouseEvent move(QEvent::MouseMove, pt, pPlot->mapToGlobal(pt), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(pPlot, &move);
        pPlot->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

BENCHMARK_CAPTURE(BM_PointerMove, FirstPage, false)->Name("BM_PointerMove/FirstPage");
BENCHMARK_CAPTURE(BM_PointerMove, LastPage, true)->Name("BM_PointerMove/LastPage");

} // namespace
