// Program steps worked out by hand from the definitions, for generated programs, against the
// lines --steps prints; and the steps window as a user drives it.
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

// Four curves a second at a time: n seconds of these values.
struct CProgram
{
    std::vector<float> tempPV, tempSV, humiPV, humiSV;

    void Hold(int n, float fTempSV, float fTempPV, float fHumiSV = -1.0f, float fHumiPV = -1.0f)
    {
        tempSV.insert(tempSV.end(), n, fTempSV);
        tempPV.insert(tempPV.end(), n, fTempPV);
        humiSV.insert(humiSV.end(), n, fHumiSV);
        humiPV.insert(humiPV.end(), n, fHumiPV);
    }
    CSeriesSamples Samples() const
    {
        return {tempPV.data(), tempSV.data(), humiPV.data(), humiSV.data(),
                static_cast<std::int64_t>(tempPV.size())};
    }
};

constexpr std::uint32_t kMay4 = 1777885200;  // 2026-05-04 09:00:00 UTC
constexpr std::uint32_t kMar29 = 1774740600; // 2026-03-29 00:30:00 CET, summer time at 02:00

const char* const kStepHeading = "step\tkind\tcurve\tstart\tend\tduration\tfrom\tto\trate/min\t"
                                 "settled after\tminimum\tmaximum\tmean\twithin\t"
                                 "largest deviation\texcursions\tverdict";
const char* const kExcursionHeading = "excursion\tstep\tcurve\tstart\tend\tduration\tpeak";

struct CStepCase
{
    const char* szName;
    std::function<void(CProgram&)> build;
    std::int64_t nDelay;
    const char* szZone;
    std::uint32_t tFirst;
    std::vector<const char*> steps;      // after the heading
    std::vector<const char*> excursions; // after the heading
    const char* szVerdict;
};

TEST(ProgramSteps, GeneratedProgramsGiveTheTablesTheDefinitionsGive)
{
    const CStepCase cases[] = {
        {"a jump gives dwell after dwell; the second settles once PV has caught up",
         [](CProgram& p) {
             p.Hold(100, 20, 21, 50, 50);
             p.Hold(600, 20, 20, 50, 50);
             p.Hold(100, 40, 30, 50, 50);
             p.Hold(600, 40, 40, 50, 50);
         },
         0,
         "UTC",
         kMay4,
         {"1\tdwell\tTemp\t2026-05-04 09:00:00\t2026-05-04 09:11:39\t0:11:40\t20.00\t20.00\t-\t"
          "0:00:00\t20.00\t21.00\t20.14\t100.00%\t+1.00\t0\tpass",
          "1\tdwell\tHumi\t2026-05-04 09:00:00\t2026-05-04 09:11:39\t0:11:40\t50.00\t50.00\t-\t"
          "0:00:00\t50.00\t50.00\t50.00\t100.00%\t+0.00\t0\tpass",
          "2\tdwell\tTemp\t2026-05-04 09:11:40\t2026-05-04 09:23:19\t0:11:40\t40.00\t40.00\t-\t"
          "0:01:40\t40.00\t40.00\t40.00\t100.00%\t+0.00\t0\tpass",
          "2\tdwell\tHumi\t2026-05-04 09:11:40\t2026-05-04 09:23:19\t0:11:40\t50.00\t50.00\t-\t"
          "0:00:00\t50.00\t50.00\t50.00\t100.00%\t+0.00\t0\tpass"},
         {},
         "verdict\tpass\t2 of 2 dwells passed"},
        {"a staircase is one ramp; its last stair joins the dwell; humidity off in part of it",
         [](CProgram& p) {
             p.Hold(600, 20, 20, 50, 50);
             for (int k = 1; k <= 30; ++k)
                 p.Hold(10, 20 + 0.5f * k, 20 + 0.5f * k, k <= 15 ? 0 : 50, 50);
             p.Hold(600, 35, 35, 50, 50);
         },
         0,
         "UTC",
         kMay4,
         {"1\tdwell\tTemp\t2026-05-04 09:00:00\t2026-05-04 09:09:59\t0:10:00\t20.00\t20.00\t-\t"
          "0:00:00\t20.00\t20.00\t20.00\t100.00%\t+0.00\t0\tpass",
          "1\tdwell\tHumi\t2026-05-04 09:00:00\t2026-05-04 09:09:59\t0:10:00\t50.00\t50.00\t-\t"
          "0:00:00\t50.00\t50.00\t50.00\t100.00%\t+0.00\t0\tpass",
          "2\tramp\tTemp\t2026-05-04 09:10:00\t2026-05-04 09:14:49\t0:04:50\t20.50\t34.50\t"
          "+2.90\t-\t20.50\t34.50\t27.50\t100.00%\t+0.00\t0\t-",
          "3\tdwell\tTemp\t2026-05-04 09:14:50\t2026-05-04 09:24:59\t0:10:10\t35.00\t35.00\t-\t"
          "0:00:00\t35.00\t35.00\t35.00\t100.00%\t+0.00\t0\tpass",
          "3\tdwell\tHumi\t2026-05-04 09:14:50\t2026-05-04 09:24:59\t0:10:10\t50.00\t50.00\t-\t"
          "0:00:00\t50.00\t50.00\t50.00\t100.00%\t+0.00\t0\tpass"},
         {},
         "verdict\tpass\t2 of 2 dwells passed"},
        {"a dwell that never settles (its last second is out); one that settles in the window "
         "cut at its end",
         [](CProgram& p) {
             for (int i = 0; i < 900; ++i)
                 p.Hold(1, 20, i % 200 == 199 || i == 899 ? 23 : 20);
             p.Hold(500, 30, 25);
             p.Hold(200, 30, 30);
         },
         0,
         "UTC",
         kMay4,
         {"1\tdwell\tTemp\t2026-05-04 09:00:00\t2026-05-04 09:14:59\t0:15:00\t20.00\t20.00\t-\t"
          "never\t20.00\t23.00\t20.02\t-\t-\t0\tfail",
          "2\tdwell\tTemp\t2026-05-04 09:15:00\t2026-05-04 09:26:39\t0:11:40\t30.00\t30.00\t-\t"
          "0:08:20\t30.00\t30.00\t30.00\t100.00%\t+0.00\t0\tpass"},
         {},
         "verdict\tfail\t1 of 2 dwells passed"},
        {"an excursion shorter than the delay is none; two starting together, Temp first",
         [](CProgram& p) {
             p.Hold(600, 20, 20, 50, 50);
             p.Hold(20, 20, 23, 50, 50);
             p.Hold(180, 20, 20, 50, 50);
             p.Hold(20, 20, 16, 50, 60);
             p.Hold(1, 20, 15, 50, 60);
             p.Hold(19, 20, 16, 50, 60);
             p.Hold(360, 20, 20, 50, 50);
         },
         30,
         "UTC",
         kMay4,
         {"1\tdwell\tTemp\t2026-05-04 09:00:00\t2026-05-04 09:19:59\t0:20:00\t20.00\t20.00\t-\t"
          "0:00:00\t15.00\t23.00\t19.92\t95.00%\t-5.00\t1\tfail",
          "1\tdwell\tHumi\t2026-05-04 09:00:00\t2026-05-04 09:19:59\t0:20:00\t50.00\t50.00\t-\t"
          "0:00:00\t50.00\t60.00\t50.33\t96.67%\t+10.00\t1\tfail"},
         {"1\t1\tTemp\t2026-05-04 09:13:20\t2026-05-04 09:13:59\t0:00:40\t-5.00",
          "2\t1\tHumi\t2026-05-04 09:13:20\t2026-05-04 09:13:59\t0:00:40\t+10.00"},
         "verdict\tfail\t0 of 1 dwells passed"},
        {"humidity off (SV 0) is not judged, however far PV lies",
         [](CProgram& p) { p.Hold(700, 25, 25, 0, 80); },
         0,
         "UTC",
         kMay4,
         {"1\tdwell\tTemp\t2026-05-04 09:00:00\t2026-05-04 09:11:39\t0:11:40\t25.00\t25.00\t-\t"
          "0:00:00\t25.00\t25.00\t25.00\t100.00%\t+0.00\t0\tpass"},
         {},
         "verdict\tpass\t1 of 1 dwells passed"},
        {"a dwell over the change to summer time lasts its seconds, not its wall-clock span",
         [](CProgram& p) {
             p.Hold(7200, 20, 20);
             p.Hold(60, 21, 21);
         },
         0,
         "CET-1CEST,M3.5.0,M10.5.0/3",
         kMar29,
         {"1\tdwell\tTemp\t2026-03-29 00:30:00\t2026-03-29 03:29:59\t2:00:00\t20.00\t20.00\t-\t"
          "0:00:00\t20.00\t20.00\t20.00\t100.00%\t+0.00\t0\tpass",
          "2\tramp\tTemp\t2026-03-29 03:30:00\t2026-03-29 03:30:59\t0:01:00\t21.00\t21.00\t"
          "+0.00\t-\t21.00\t21.00\t21.00\t100.00%\t+0.00\t0\t-"},
         {},
         "verdict\tpass\t1 of 1 dwells passed"},
    };
    for (const CStepCase& c : cases) {
#ifdef Q_OS_WIN
        if (std::strchr(c.szZone, ',')) // Windows' C library takes no summer-time rules in TZ
            continue;
#endif
        const CTzGuard tz(c.szZone);
        CProgram program;
        c.build(program);
        CStepOptions options;
        options.nExcursionDelay = c.nDelay;
        const CProgramAnalysis analysis =
            AnalyseProgramSteps(program.Samples(), 0, program.Samples().nCount, options);
        QStringList expected{QString::fromLatin1(kStepHeading)};
        for (const char* sz : c.steps)
            expected << QString::fromUtf8(sz);
        expected << QString() << QString::fromLatin1(kExcursionHeading);
        for (const char* sz : c.excursions)
            expected << QString::fromUtf8(sz);
        expected << QString() << QString::fromLatin1(c.szVerdict);
        EXPECT_EQ(expected.join('\n').toStdString(),
                  StepReportLines(analysis, c.tFirst).join('\n').toStdString())
            << c.szName;
    }
}

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
