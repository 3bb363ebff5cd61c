#include "view/loadprogress.h"

#include "res/resource.h"
#include "res/resources.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <atomic>
#include <system_error>
#include <thread>

namespace {

// How often the progress window takes the worker's count: well above ten repaints a second.
constexpr int kProgressTickMs = 50;
constexpr int kProgressSteps = 1000;

} // namespace

bool RunRecorderLoad(QWidget* pParent, const QString& strLabel, const RecorderLoad& load,
                     CLoadResult& result, int nDelayMs)
{
    std::atomic<bool> bCancel{false};
    std::atomic<bool> bDone{false};
    std::atomic<std::uint64_t> nDone{0};
    std::atomic<std::uint64_t> nTotal{0};
    QEventLoop loop;
    CLoadResult loaded;
    const auto run = [&] {
        loaded = load([&](std::uint64_t nNowDone, std::uint64_t nNowTotal) {
            nDone.store(nNowDone, std::memory_order_relaxed);
            nTotal.store(nNowTotal, std::memory_order_relaxed);
            return !bCancel.load(std::memory_order_relaxed);
        });
        bDone = true;
    };
    std::thread worker;
    try {
        worker = std::thread([&] {
            run();
            QMetaObject::invokeMethod(
                &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        run(); // no thread to be had: read here, as in one piece
        result = std::move(loaded);
        return result.status != CLoadResult::EStatus::Cancelled;
    }

    // A short load shows no window; until the window shows, the user's clicks and keys wait.
    QTimer::singleShot(nDelayMs, &loop, [&loop] { loop.quit(); });
    loop.exec(QEventLoop::ExcludeUserInputEvents);

    if (!bDone) {
        // Modal: while it shows, no menu, button or key reaches the window behind it.
        QProgressDialog progress(pParent);
        progress.setWindowModality(Qt::ApplicationModal);
        progress.setWindowTitle(res::LoadString(res::IDR_MAINFRAME));
        progress.setLabelText(strLabel);
        progress.setAutoClose(false);
        progress.setAutoReset(false);
        progress.setMinimumDuration(0);
        const auto update = [&] {
            const std::uint64_t nNowTotal = nTotal.load(std::memory_order_relaxed);
            if (nNowTotal == 0) {
                progress.setRange(0, 0); // a pipe or device: its size is not known
                return;
            }
            const std::uint64_t nNowDone =
                std::min(nDone.load(std::memory_order_relaxed), nNowTotal);
            progress.setRange(0, kProgressSteps);
            progress.setValue(static_cast<int>(nNowDone * kProgressSteps / nNowTotal));
        };
        QObject::connect(&progress, &QProgressDialog::canceled, [&] { bCancel = true; });
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, &progress, update);
        update();
        progress.show();
        ticker.start(kProgressTickMs);
        if (!bDone)
            loop.exec();
        ticker.stop();
    }
    // The loop also ends when the application quits: the load then stops at its next step.
    if (!bDone)
        bCancel = true;
    worker.join();
    if (bCancel || loaded.status == CLoadResult::EStatus::Cancelled)
        return false;
    result = std::move(loaded);
    return true;
}
