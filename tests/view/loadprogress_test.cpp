// Reading a file off the user-interface thread: the progress window, Cancel, and a view that
// refuses to change while a file is read.
#include "view/childview.h"

#include "curve/curvectrl.h"
#include "res/resource.h"
#include "skin/statictext.h"
#include "view/loadprogress.h"

#include "../fifowriter.h"
#include "../guitest.h"
#include "../recorder/tzguard.h"

#include <gtest/gtest.h>

#include <QDropEvent>
#include <QFileDialog>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>

#include <chrono>
#include <fstream>
#include <thread>

namespace {

const std::string kFile = "Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\n"
                          "2026/03/01,00:00:00,20,21,50,60\n"
                          "2026/03/01,00:00:09,22,21,50,60\n";

QProgressDialog* ShownProgress()
{
    auto* p = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
    return p && p->isVisible() ? p : nullptr;
}

class FileLoad : public ::testing::Test
{
protected:
    FileLoad()
    {
        SeedSettings();
        m_view.show();
        m_view.OnInitialUpdate();
    }

    std::int64_t SampleCount() const
    {
        return m_view.GetPlot()->FindCurve("!100")->m_arrValues.GetSize();
    }

    CTzGuard m_tz{"UTC"};
    CIsolatedProfile m_profile;
    CChildView m_view{nullptr};
};

TEST_F(FileLoad, CancelStopsTheLoadAndKeepsTheRecording)
{
    const QString strGood = m_profile.FilePath("good.csv");
    std::ofstream(strGood.toStdString()) << kFile;
    ASSERT_TRUE(m_view.OpenRecorderPath(strGood));
    Pump();

    CFifoWriter fifo(m_profile.FilePath("slow.csv"));
    ASSERT_FIFO_MADE(fifo);
    QString strLabel;
    bool bModal = false;
    bool bClicked = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!bClicked) {
            QProgressDialog* pProgress = ShownProgress();
            if (!pProgress)
                return;
            strLabel = pProgress->labelText();
            bModal = pProgress->isModal();
            QPushButton* pCancel = pProgress->findChild<QPushButton*>();
            ASSERT_NE(nullptr, pCancel);
            QTest::mouseClick(pCancel, Qt::LeftButton);
            bClicked = true;
        }
        // The reader waits for the pipe's first bytes; ending the pipe lets it return.
        if (fifo.TryOpen()) {
            fifo.Write(kFile);
            fifo.Close();
            poll.stop();
        }
    });
    poll.start(20);
    CModalWatcher watcher;
    EXPECT_FALSE(m_view.OpenRecorderPath(m_profile.FilePath("slow.csv")));
    Pump();
    EXPECT_EQ("Reading slow.csv", strLabel.toStdString());
    EXPECT_TRUE(bModal);
    EXPECT_EQ(0, watcher.GetSeen()) << watcher.GetMessages().toStdString();
    EXPECT_EQ(10, SampleCount());
    EXPECT_EQ("good", m_view.GetLabel(res::IDC_FILENAME)->text().toStdString());
    EXPECT_FALSE(m_view.IsLoading());
}

// A pipe whose writer stalls: Cancel frees the window at once, the progress window stays
// away, and File > Open works again while the read is still blocked.
TEST_F(FileLoad, CancelOnAStalledPipeFreesTheWindowAtOnce)
{
    CFifoWriter fifo(m_profile.FilePath("stalled.csv"));
    ASSERT_FIFO_MADE(fifo);
    bool bClicked = false;
    int nShownAfterCancel = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (fifo.TryOpen())
            fifo.Write(kFile); // and then nothing more, with the pipe left open
        if (bClicked) {
            nShownAfterCancel += ShownProgress() != nullptr;
            return;
        }
        if (QProgressDialog* pProgress = ShownProgress()) {
            QTest::mouseClick(pProgress->findChild<QPushButton*>(), Qt::LeftButton);
            bClicked = true;
        }
    });
    poll.start(20);
    EXPECT_FALSE(m_view.OpenRecorderPath(m_profile.FilePath("stalled.csv")));
    EXPECT_TRUE(bClicked);
    EXPECT_FALSE(m_view.IsLoading());
    Pump(300);
    EXPECT_EQ(0, nShownAfterCancel);

    bool bFileDialog = false;
    CModalWatcher watcher([&](QWidget* p) {
        bFileDialog = bFileDialog || qobject_cast<QFileDialog*>(p) != nullptr;
        p->close();
    });
    m_view.OnCommand(res::ID_FILE_OPEN);
    EXPECT_TRUE(bFileDialog);
    poll.stop();
    fifo.Close(); // the read left behind ends now
}

TEST_F(FileLoad, CommandsDropsAndASecondOpenWaitForTheLoad)
{
    const QString strOther = m_profile.FilePath("other.csv");
    std::ofstream(strOther.toStdString()) << kFile;
    CFifoWriter fifo(m_profile.FilePath("slow.csv"));
    ASSERT_FIFO_MADE(fifo);
    bool bTried = false;
    fifo.WhenReaderArrives([&] {
        bTried = true;
        EXPECT_TRUE(m_view.IsLoading());
        EXPECT_FALSE(m_view.OpenRecorderPath(strOther));
        m_view.OnCommand(res::ID_FILE_CLOSE);
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(strOther)});
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&m_view, &drop);
        EXPECT_FALSE(drop.isAccepted());
        fifo.Write("Date,Time\n2026/03/02,00:00:00,1,2,3,4\n");
        fifo.Close();
    });
    CModalWatcher watcher;
    EXPECT_TRUE(m_view.OpenRecorderPath(m_profile.FilePath("slow.csv")));
    Pump();
    EXPECT_TRUE(bTried);
    EXPECT_EQ(0, watcher.GetSeen()) << watcher.GetMessages().toStdString();
    EXPECT_EQ("slow", m_view.GetLabel(res::IDC_FILENAME)->text().toStdString());
    EXPECT_EQ("2026-03-02", m_view.GetLabel(res::IDC_DATE)->text().toStdString());
    EXPECT_EQ(1, SampleCount());
}

TEST(LoadRun, AQuickLoadShowsNoWindowAndACancelledOneGivesNoResult)
{
    QWidget parent;
    CLoadResult result;
    int nWindows = 0;
    bool bClicked = false;
    // Counts the progress windows, and presses Cancel in each as the user would.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QProgressDialog* pProgress = ShownProgress();
        if (!pProgress)
            return;
        ++nWindows;
        QPushButton* pCancel = pProgress->findChild<QPushButton*>();
        ASSERT_NE(nullptr, pCancel);
        QTest::mouseClick(pCancel, Qt::LeftButton);
        bClicked = true;
    });
    poll.start(5);
    const auto quick = [](const LoadProgress&) {
        CLoadResult r;
        r.status = CLoadResult::EStatus::Loaded;
        r.nLine = 7;
        return r;
    };
    EXPECT_TRUE(RunRecorderLoad(&parent, QStringLiteral("quick"), quick, result));
    EXPECT_EQ(7, result.nLine);
    EXPECT_EQ(0, nWindows);

    // A load that goes on until it is told to stop, for a minute at most.
    bool bToldToStop = false;
    const auto slow = [&](const LoadProgress& progress) {
        CLoadResult r;
        r.status = CLoadResult::EStatus::Loaded;
        for (int i = 0; i < 60000; ++i) {
            if (!progress(static_cast<std::uint64_t>(i), 60000)) {
                bToldToStop = true;
                r.status = CLoadResult::EStatus::Cancelled;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return r;
    };
    result.nLine = 3;
    EXPECT_FALSE(RunRecorderLoad(&parent, QStringLiteral("slow"), slow, result, 0));
    EXPECT_TRUE(bClicked);
    EXPECT_TRUE(bToldToStop);
    EXPECT_EQ(3, result.nLine) << "a cancelled load leaves the result alone";
}

} // namespace
