// The steps window as a user drives it.
#include "view/childview.h"
#include "view/stepsanalyser.h"
#include "view/stepstext.h"
#include "view/stepswnd.h"

#include "res/resource.h"

#include "../guitest.h"
#include "../recorder/tzguard.h"

#include <gtest/gtest.h>

#include <cstring>

#include <QFile>
#include <QLabel>
#include <QLineEdit>
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

} // namespace
