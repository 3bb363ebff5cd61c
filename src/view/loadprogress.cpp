#include "view/loadprogress.h"

#include "res/resource.h"
#include "res/resources.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <atomic>
#include <memory>
#include <system_error>
#include <thread>

namespace {

// How often the progress window takes the worker's count: well above ten repaints a second.
constexpr int kProgressTickMs = 50;
// How often the user-interface thread looks whether the worker has finished.
constexpr int kPollMs = 10;
constexpr int kProgressSteps = 1000;
// How long a cancelled load may take to return before the window goes on without it.
constexpr int kCancelWaitMs = 150;

// What the worker and the user-interface thread share. The worker holds it too, so that a
// load left behind (a read blocked on a pipe or a stalled share) still has it when it returns;
// its result is then freed with it.
struct CLoadState
{
    RecorderLoad load;
    std::atomic<bool> bCancel{false};
    std::atomic<bool> bDone{false};
    std::atomic<std::uint64_t> nDone{0};
    std::atomic<std::uint64_t> nTotal{0};
    CLoadResult result;

    void Run()
    {
        try {
            result = load([this](std::uint64_t nNowDone, std::uint64_t nNowTotal) {
                nDone.store(nNowDone, std::memory_order_relaxed);
                nTotal.store(nNowTotal, std::memory_order_relaxed);
                return !bCancel.load(std::memory_order_relaxed);
            });
        } catch (...) {
            // Nothing may leave the worker; whatever the load threw, memory is what ran out.
            result = CLoadResult();
            result.status = CLoadResult::EStatus::OutOfMemory;
            result.strMessage = "Memory ran out while reading the file.";
        }
        bDone.store(true, std::memory_order_release);
    }
};

// Runs the event loop until the load is done, a stop is requested or loop is quit otherwise.
void RunUntilDone(QEventLoop& loop, const CLoadState& state,
                  const std::function<bool()>& stopRequested,
                  QEventLoop::ProcessEventsFlags flags = QEventLoop::AllEvents)
{
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (state.bDone.load(std::memory_order_acquire) || (stopRequested && stopRequested()))
            loop.quit();
    });
    poll.start(kPollMs);
    if (!state.bDone.load(std::memory_order_acquire))
        loop.exec(flags);
}

} // namespace

bool RunRecorderLoad(QWidget* pParent, const QString& strLabel, const RecorderLoad& load,
                     CLoadResult& result, int nDelayMs, const std::function<bool()>& stopRequested)
{
    const auto state = std::make_shared<CLoadState>();
    state->load = load;
    std::thread worker;
    try {
        worker = std::thread([state] { state->Run(); });
    } catch (const std::system_error&) {
        state->Run(); // no thread to be had: read here, as in one piece
        if (state->result.status == CLoadResult::EStatus::Cancelled)
            return false;
        result = std::move(state->result);
        return true;
    }

    // A short load shows no window; until the window shows, the user's clicks and keys wait.
    {
        QEventLoop loop;
        QTimer::singleShot(nDelayMs, &loop, [&loop] { loop.quit(); });
        RunUntilDone(loop, *state, stopRequested, QEventLoop::ExcludeUserInputEvents);
    }

    if (!state->bDone.load(std::memory_order_acquire) && !(stopRequested && stopRequested())) {
        // Modal: while it shows, no menu, button or key reaches the window behind it.
        QEventLoop loop;
        QProgressDialog progress(pParent);
        progress.setWindowModality(Qt::ApplicationModal);
        progress.setWindowTitle(res::LoadString(res::IDR_MAINFRAME));
        progress.setLabelText(strLabel);
        progress.setAutoClose(false);
        progress.setAutoReset(false);
        progress.setMinimumDuration(0);
        int nShown = 0;
        const auto update = [&] {
            // setValue would show a cancelled window again.
            if (progress.wasCanceled() || state->bCancel)
                return;
            const std::uint64_t nNowTotal = state->nTotal.load(std::memory_order_relaxed);
            if (nNowTotal == 0) {
                progress.setRange(0, 0); // a pipe or device: its size is not known
                return;
            }
            const std::uint64_t nNowDone =
                std::min(state->nDone.load(std::memory_order_relaxed), nNowTotal);
            nShown = std::max(nShown, static_cast<int>(nNowDone * kProgressSteps / nNowTotal));
            progress.setRange(0, kProgressSteps);
            progress.setValue(nShown);
        };
        QObject::connect(&progress, &QProgressDialog::canceled, &loop, [&] {
            state->bCancel = true;
            loop.quit();
        });
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, &progress, update);
        update();
        progress.show();
        ticker.start(kProgressTickMs);
        RunUntilDone(loop, *state, stopRequested);
        ticker.stop();
        progress.hide();
    }
    // Cancelled, stopped, or the application is quitting: the load stops at its next step. A read
    // that blocks (a pipe, a device, a stalled share) is left to end on its own.
    if (!state->bDone.load(std::memory_order_acquire)) {
        state->bCancel = true;
        QElapsedTimer waited;
        waited.start();
        while (!state->bDone.load(std::memory_order_acquire) && waited.elapsed() < kCancelWaitMs)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        if (!state->bDone.load(std::memory_order_acquire)) {
            worker.detach();
            return false;
        }
    }
    worker.join();
    if (state->bCancel || state->result.status == CLoadResult::EStatus::Cancelled)
        return false;
    result = std::move(state->result);
    return true;
}
