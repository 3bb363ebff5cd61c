// The steps window as a user drives it.
#include "view/childview.h"
#include "view/statisticswnd.h"
#include "view/stepsanalyser.h"
#include "view/stepstext.h"
#include "view/stepswnd.h"

#include "res/resource.h"
#include "settings/layoutstore.h"

#include "../guitest.h"
#include "../recorder/tzguard.h"

#include <gtest/gtest.h>

#include <cstring>

#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <functional>
#include <vector>

namespace {

class StepsWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        res::ApplyInterfaceLanguage(res::kLangENG);
        SeedSettings();
        m_view.show();
        m_view.OnInitialUpdate();
    }

    // Five pages at one second a pixel from 2026-03-01 00:00:00, one dwell at 25.00 with no
    // humidity control; Temp PV 30.00 from 00:26:40 to 00:27:39, on page 3.
    QString WriteRecording() const
    {
        const QString strPath = m_profile.FilePath(QStringLiteral("run.csv"));
        QFile file(strPath);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\r\n");
        for (int s = 0; s < 5 * 720; ++s) {
            char sz[96];
            std::snprintf(sz, sizeof sz, "2026/03/01,%02d:%02d:%02d,%d.00,25.00,-1.00,-1.00\r\n",
                          s / 3600, s / 60 % 60, s % 60, s >= 1600 && s < 1660 ? 30 : 25);
            file.write(sz);
        }
        return strPath;
    }

    bool WaitForAnalysis() const
    {
        return QTest::qWaitFor([this] { return m_view.GetStepsAnalyser()->HasResult(); }, 10000);
    }

    CTzGuard m_tz{"UTC"};
    CIsolatedProfile m_profile;
    CChildView m_view{nullptr};
};

TEST_F(StepsWindow, ChoosingAnExcursionPagesTheViewAndMarksLeaveNoTraceWhenOff)
{
    ASSERT_TRUE(m_view.OpenRecorderPath(WriteRecording()));
    Pump();
    const QImage plain = m_view.TakePicture();
    ASSERT_TRUE(m_view.OnCommand(res::ID_VIEW_PROGRAM_STEPS));
    CStepsWnd* pWnd = m_view.GetStepsWindow();
    ASSERT_TRUE(pWnd && pWnd->isVisible());
    ASSERT_TRUE(WaitForAnalysis());
    Pump();
    EXPECT_EQ("Fail: 0 of 1 dwells passed", pWnd->GetVerdictLabel()->text());
    QTableView* pExcursions = pWnd->GetExcursionTable();
    ASSERT_EQ(1, pExcursions->model()->rowCount());
    EXPECT_EQ("2026-03-01 00:26:40", pExcursions->model()->index(0, 3).data().toString());

    // A double click as the window system delivers it: a click, then the second press.
    const QPoint ptRow = pExcursions->visualRect(pExcursions->model()->index(0, 1)).center();
    QTest::mouseClick(pExcursions->viewport(), Qt::LeftButton, {}, ptRow);
    QTest::mouseDClick(pExcursions->viewport(), Qt::LeftButton, {}, ptRow);
    EXPECT_EQ("3", m_view.GetPageBox()->text());
    QTableView* pSteps = pWnd->GetStepTable();
    pSteps->setCurrentIndex(pSteps->model()->index(0, 0));
    QTest::keyClick(pSteps, Qt::Key_Return);
    EXPECT_EQ("1", m_view.GetPageBox()->text()) << "Enter on the dwell shows its first page";

    // A box that is out of range is named, and its stored value comes back.
    QLineEdit* pBox = pWnd->GetMinDwellBox();
    pBox->selectAll();
    QTest::keyClicks(pBox, QStringLiteral("0"));
    QTest::keyClick(pBox, Qt::Key_Return);
    EXPECT_EQ("10", pBox->text());
    EXPECT_TRUE(pWnd->GetMessageLabel()->text().startsWith("Minimum dwell:"));

    // The band under the excursion is on page 3 only while Mark Steps is on.
    m_view.SetPageText(QStringLiteral("3"));
    const QImage page3 = m_view.TakePicture();
    m_view.OnCommand(res::ID_VIEW_MARK_STEPS);
    ASSERT_TRUE(WaitForAnalysis());
    const QImage marked = m_view.TakePicture();
    EXPECT_NE(page3, marked);
    // A file opened again with the marks on: its first picture waits for them.
    ASSERT_TRUE(m_view.OpenRecorderPath(WriteRecording()));
    m_view.SetPageText(QStringLiteral("3"));
    EXPECT_EQ(marked, m_view.TakePicture());
    m_view.OnCommand(res::ID_VIEW_MARK_STEPS);
    EXPECT_EQ(page3, m_view.TakePicture());
    m_view.SetPageText(QStringLiteral("1"));
    EXPECT_EQ(plain, m_view.TakePicture());

    m_view.OnCommand(res::ID_FILE_CLOSE);
    EXPECT_EQ(0, pSteps->model()->rowCount());
    EXPECT_EQ(0, pExcursions->model()->rowCount());
}

// As the window has always copied them: the verdict, each table after a blank line under its
// headings, a line end after every line.
TEST_F(StepsWindow, CopyPutsTheVerdictAndBothTablesOnTheClipboard)
{
    ASSERT_TRUE(m_view.OpenRecorderPath(WriteRecording()));
    ASSERT_TRUE(m_view.OnCommand(res::ID_VIEW_PROGRAM_STEPS));
    ASSERT_TRUE(WaitForAnalysis());
    Pump();
    QTest::mouseClick(m_view.GetStepsWindow()->GetCopyButton(), Qt::LeftButton);
    EXPECT_EQ("Fail: 0 of 1 dwells passed\n\n"
              "Step\tKind\tCurve\tStart\tEnd\tDuration\tFrom\tTo\tRate/min\tSettled after\t"
              "Minimum\tMaximum\tMean\tWithin\tLargest deviation\tExcursions\tVerdict\n"
              "1\tdwell\tTemp\t2026-03-01 00:00:00\t2026-03-01 00:59:59\t1:00:00\t25.00\t25.00\t"
              "-\t0:00:00\t25.00\t30.00\t25.08\t98.33%\t+5.00\t1\tfail\n\n"
              "Excursion\tStep\tCurve\tStart\tEnd\tDuration\tPeak\n"
              "1\t1\tTemp\t2026-03-01 00:26:40\t2026-03-01 00:27:39\t0:01:00\t+5.00\n",
              QGuiApplication::clipboard()->text().toStdString());
}

// Over a million excursions (both PVs out every other second for two weeks) take long enough
// that the progress window shows; its Cancel leaves the clipboard as it was.
TEST_F(StepsWindow, CancelledCopyLeavesTheClipboardAsItWas)
{
    QByteArray text("Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\r\n");
    for (int s = 0; s < 14 * 86400; ++s) {
        char sz[64];
        std::snprintf(sz, sizeof sz, "2026/03/%02d,%02d:%02d:%02d,%s\r\n", 1 + s / 86400,
                      s / 3600 % 24, s / 60 % 60, s % 60,
                      s >= 600 && s % 2 ? "30.00,25.00,60.00,50.00" : "25.00,25.00,50.00,50.00");
        text += sz;
    }
    QFile file(m_profile.FilePath(QStringLiteral("chatter.csv")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    file.close();
    ASSERT_TRUE(m_view.OpenRecorderPath(file.fileName()));
    ASSERT_TRUE(m_view.OnCommand(res::ID_VIEW_PROGRAM_STEPS));
    ASSERT_TRUE(WaitForAnalysis());
    Pump();
    CStepsWnd* pWnd = m_view.GetStepsWindow();
    QGuiApplication::clipboard()->setText(QStringLiteral("as it was"));
    bool bCancelled = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* pProgress = pWnd->findChild<QProgressDialog*>();
        if (!bCancelled && pProgress && pProgress->isVisible()) {
            QTest::mouseClick(pProgress->findChild<QPushButton*>(), Qt::LeftButton);
            bCancelled = true;
        }
    });
    watch.start(10);
    QTest::mouseClick(pWnd->GetCopyButton(), Qt::LeftButton);
    EXPECT_TRUE(bCancelled) << "the progress window did not show";
    EXPECT_EQ("as it was", QGuiApplication::clipboard()->text());
}

// A file of another logger without set values: nothing is analysed, the window says why, and
// the statistics leave out the set values' rows.
TEST_F(StepsWindow, RecordingWithoutSetValuesSaysItsStepsCannotBeJudged)
{
    struct CLayoutsAside
    {
        explicit CLayoutsAside(const QString& strFolder) { SetLayoutFolder(strFolder); }
        ~CLayoutsAside() { SetLayoutFolder(QString()); }
    } layouts(m_profile.FilePath(QStringLiteral("layouts")));
    QFile file(m_profile.FilePath(QStringLiteral("plain.csv")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Date,Time,Temperature,Humidity\r\n");
    for (int s = 0; s < 1200; ++s) {
        char sz[64];
        std::snprintf(sz, sizeof sz, "2026-03-01,%02d:%02d:%02d,25.00,50.00\r\n", s / 3600,
                      s / 60 % 60, s % 60);
        file.write(sz);
    }
    file.close();
    ASSERT_TRUE(m_view.OpenRecorderPath(file.fileName()));
    ASSERT_FALSE(m_view.GetRecording()->HasSetValues());
    m_view.OnCommand(res::ID_VIEW_MARK_STEPS);
    ASSERT_TRUE(m_view.OnCommand(res::ID_VIEW_PROGRAM_STEPS));
    CStepsWnd* pWnd = m_view.GetStepsWindow();
    EXPECT_FALSE(m_view.GetStepsAnalyser()->IsRunning());
    EXPECT_EQ("This recording has no set values: its program steps cannot be judged.",
              pWnd->GetVerdictLabel()->text());
    EXPECT_EQ(0, pWnd->GetStepTable()->model()->rowCount());
    m_view.OnCommand(res::ID_VIEW_MARK_STEPS);

    ASSERT_TRUE(m_view.OnCommand(res::ID_VIEW_STATISTICS));
    const QString strTable = m_view.GetStatisticsWindow()->TableText();
    EXPECT_TRUE(strTable.contains("\nTemp PV\t")) << strTable.toStdString();
    EXPECT_FALSE(strTable.contains("SV")) << strTable.toStdString();
}

} // namespace
