// Copy in the steps window as a user drives it, and what a run of the analysis hands over when
// the analysis throws.
#include "view/childview.h"
#include "view/stepsanalyser.h"
#include "view/stepswnd.h"

#include "res/resource.h"

#include "../guitest.h"
#include "../recorder/tzguard.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <new>
#include <stdexcept>

namespace {

TEST(StepsRun, AFailureIsHandedOverWithItsCauseAndNothingOfWhatWasFound)
{
    const auto found = [] {
        CProgramAnalysis analysis;
        analysis.excursions.resize(5);
        return analysis;
    };
    const struct
    {
        std::function<CProgramAnalysis()> analyse;
        EStepsStatus status;
        const char* szWhat;
    } cases[] = {
        {found, EStepsStatus::Complete, ""},
        {[&]() -> CProgramAnalysis {
             found();
             throw std::bad_alloc();
         },
         EStepsStatus::OutOfMemory, ""},
        {[&]() -> CProgramAnalysis {
             found();
             throw std::length_error("too long");
         },
         EStepsStatus::Failed, "too long"},
        {[]() -> CProgramAnalysis { throw 42; }, EStepsStatus::Failed, ""},
    };
    for (const auto& c : cases) {
        const CStepsRun run = RunStepsAnalysis(c.analyse);
        EXPECT_EQ(c.status, run.status) << c.szWhat;
        EXPECT_EQ(c.szWhat, run.strWhat.toStdString());
        EXPECT_EQ(c.status == EStepsStatus::Complete ? 5u : 0u, run.pAnalysis->excursions.size());
    }
}

class StepsCopy : public ::testing::Test
{
protected:
    void SetUp() override
    {
        res::ApplyInterfaceLanguage(res::kLangENG);
        SeedSettings();
        m_view.show();
        m_view.OnInitialUpdate();
    }

    // nSeconds of one dwell at SV 25.00 (and 50.00) from 2026-03-01 00:00:00; PV 30.00 (and
    // 60.00) in the seconds bOut names, on target elsewhere. Without bHumi, humidity is off.
    CStepsWnd* OpenAnalysed(int nSeconds, bool bHumi, const std::function<bool(int)>& bOut)
    {
        const QString strPath = m_profile.FilePath(QStringLiteral("run.csv"));
        QFile file(strPath);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        QByteArray text("Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\r\n");
        for (int s = 0; s < nSeconds; ++s) {
            char sz[96];
            std::snprintf(sz, sizeof sz, "2026/03/%02d,%02d:%02d:%02d,%d.00,25.00,%s\r\n",
                          1 + s / 86400, s / 3600 % 24, s / 60 % 60, s % 60, bOut(s) ? 30 : 25,
                          !bHumi    ? "-1.00,-1.00"
                          : bOut(s) ? "60.00,50.00"
                                    : "50.00,50.00");
            text += sz;
        }
        file.write(text);
        file.close();
        EXPECT_TRUE(m_view.OpenRecorderPath(strPath));
        m_view.OnCommand(res::ID_VIEW_PROGRAM_STEPS);
        EXPECT_TRUE(
            QTest::qWaitFor([this] { return m_view.GetStepsAnalyser()->HasResult(); }, 60000));
        Pump();
        return m_view.GetStepsWindow();
    }

    CTzGuard m_tz{"UTC"};
    CIsolatedProfile m_profile;
    CChildView m_view{nullptr};
};

// As the window has always copied them: the verdict, each table after a blank line under its
// headings, a line end after every line.
TEST_F(StepsCopy, CopyPutsTheVerdictAndBothTablesOnTheClipboard)
{
    CStepsWnd* pWnd = OpenAnalysed(3600, false, [](int s) { return s >= 1600 && s < 1660; });
    ASSERT_TRUE(pWnd);
    QTest::mouseClick(pWnd->GetCopyButton(), Qt::LeftButton);
    EXPECT_EQ("Fail: 0 of 1 dwells passed\n\n"
              "Step\tKind\tCurve\tStart\tEnd\tDuration\tFrom\tTo\tRate/min\tSettled after\t"
              "Minimum\tMaximum\tMean\tWithin\tLargest deviation\tExcursions\tVerdict\n"
              "1\tdwell\tTemp\t2026-03-01 00:00:00\t2026-03-01 00:59:59\t1:00:00\t25.00\t25.00\t"
              "-\t0:00:00\t25.00\t30.00\t25.08\t98.33%\t+5.00\t1\tfail\n\n"
              "Excursion\tStep\tCurve\tStart\tEnd\tDuration\tPeak\n"
              "1\t1\tTemp\t2026-03-01 00:26:40\t2026-03-01 00:27:39\t0:01:00\t+5.00\n",
              QGuiApplication::clipboard()->text().toStdString());
}

// Over a million excursions take long enough that the progress window shows.
TEST_F(StepsCopy, CancelledCopyLeavesTheClipboardAsItWas)
{
    CStepsWnd* pWnd = OpenAnalysed(14 * 86400, true, [](int s) { return s >= 600 && s % 2; });
    ASSERT_TRUE(pWnd);
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

} // namespace
