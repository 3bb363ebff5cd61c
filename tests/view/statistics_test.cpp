// The statistics window as a user drives it: opened from the View menu's command, it follows
// the page, takes a tolerance and copies its table.
#include "view/childview.h"
#include "view/statisticswnd.h"

#include "res/resource.h"
#include "settings/settingkeys.h"

#include "../guitest.h"
#include "../recorder/tzguard.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <cstdio>

namespace {

// Rows of the table.
constexpr int kTempPVMin = 0, kTempPVMinAt = 1, kTempPVMax = 2, kTempPVMaxAt = 3, kTempPVMean = 4;
constexpr int kHumiPVMin = 10, kTempWithin = 20, kTempLargest = 21, kTempLargestAt = 22;

class StatisticsWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        res::ApplyInterfaceLanguage(res::kLangENG);
        SeedSettings();
        m_view.show();
        m_view.OnInitialUpdate();
    }

    // Three pages at one second a pixel from 2026-03-01 00:00:00: Temp PV 25.00 but -5.00
    // at 00:01:40; no records from 00:11:40 to 00:12:39, so the record at 00:12:40, 90.00,
    // holds through the gap and into page 2. No humidity sensor for the first ten seconds.
    QString WriteRecording() const
    {
        const QString strPath = m_profile.FilePath(QStringLiteral("run.csv"));
        QFile file(strPath);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\r\n");
        for (int s = 0; s < 3 * 720; ++s) {
            if (s >= 700 && s < 760)
                continue;
            // Whole numbers: "%.2f" would follow the test machine's decimal separator.
            const int nTemp = s == 100 ? -5 : s == 760 ? 90 : 25;
            const int nHumi = s < 10 ? -1 : 50;
            char sz[96];
            std::snprintf(sz, sizeof sz, "2026/03/01,%02d:%02d:%02d,%d.00,25.00,%d.00,%d.00\r\n",
                          s / 3600, s / 60 % 60, s % 60, nTemp, nHumi, nHumi);
            file.write(sz);
        }
        return strPath;
    }

    QString Cell(int nRow, int nColumn) const
    {
        return m_view.GetStatisticsWindow()->GetTable()->item(nRow, nColumn)->text();
    }
    QString Whole(int nRow) const { return Cell(nRow, CStatisticsWnd::kWholeColumn); }
    QString Page(int nRow) const { return Cell(nRow, CStatisticsWnd::kPageColumn); }

    CTzGuard m_tz{"UTC"};
    CIsolatedProfile m_profile;
    CChildView m_view{nullptr};
};

TEST_F(StatisticsWindow, FollowsThePagesTakesAToleranceAndCopiesItsTable)
{
    ASSERT_TRUE(m_view.OpenRecorderPath(WriteRecording()));
    Pump();
    ASSERT_TRUE(m_view.OnCommand(res::ID_VIEW_STATISTICS));
    CStatisticsWnd* pWnd = m_view.GetStatisticsWindow();
    ASSERT_NE(nullptr, pWnd);
    EXPECT_TRUE(pWnd->isVisible());
    EXPECT_EQ(nullptr, QApplication::activeModalWidget()) << "the window must not block paging";

    // A value held through a gap counts from the gap's first second.
    EXPECT_EQ("-5.00", Whole(kTempPVMin));
    EXPECT_EQ("2026-03-01 00:01:40", Whole(kTempPVMinAt));
    EXPECT_EQ("90.00", Whole(kTempPVMax));
    EXPECT_EQ("2026-03-01 00:11:40", Whole(kTempPVMaxAt));
    EXPECT_EQ("26.82", Whole(kTempPVMean)); // (2098 x 25 - 5 + 61 x 90) / 2160
    EXPECT_EQ("50.00", Whole(kHumiPVMin)) << "a humidity of -1 means no sensor";
    EXPECT_EQ("+65.00", Whole(kTempLargest));
    EXPECT_EQ("97.13%", Whole(kTempWithin)); // all but 62 of 2160 seconds
    EXPECT_EQ(Whole(kTempPVMaxAt), Page(kTempPVMaxAt));

    // Page 2 starts in the gap.
    QTest::mouseClick(qobject_cast<QPushButton*>(m_view.GetControl(res::IDC_NEXT_PAGE)),
                      Qt::LeftButton);
    EXPECT_EQ("2026-03-01 00:12:00", Page(kTempPVMaxAt));
    EXPECT_EQ("25.00", Page(kTempPVMin));
    EXPECT_EQ("2026-03-01 00:12:41", Page(kTempPVMinAt));
    EXPECT_EQ("2026-03-01 00:12:00", Page(kTempLargestAt));
    EXPECT_EQ("-5.00", Whole(kTempPVMin));

    // A tolerance of 65 takes in every second; it is kept for the next time.
    QLineEdit* pBox = pWnd->GetTempToleranceBox();
    pBox->selectAll();
    QTest::keyClicks(pBox, QStringLiteral("65"));
    QTest::keyClick(pBox, Qt::Key_Return);
    EXPECT_EQ("65.00", pBox->text());
    EXPECT_EQ("100.00%", Whole(kTempWithin));
    EXPECT_EQ(QString::fromUtf8("Within \u00B165.00 of SV"), Cell(kTempWithin, 1));
    EXPECT_EQ(6500, ReadSettingInt(settings::kSectionStatistics, settings::kEntryToleranceTemp, 0));
    pBox->selectAll();
    QTest::keyClicks(pBox, QStringLiteral("1,5"));
    QTest::keyClick(pBox, Qt::Key_Return);
    EXPECT_EQ("65.00", pBox->text()) << "a number with a comma is refused";

    QTest::mouseClick(pWnd->GetCopyButton(), Qt::LeftButton);
    const QString strCopied = QApplication::clipboard()->text();
    EXPECT_EQ(pWnd->TableText(), strCopied);
    EXPECT_TRUE(strCopied.startsWith("Curve\tFigure\tWhole recording\tThis page\tSelection\n"));
    EXPECT_TRUE(strCopied.contains("Temp PV\tMinimum\t-5.00\t25.00\t-\n"));

    m_view.OnCommand(res::ID_FILE_CLOSE);
    for (const int nRow : {kTempPVMin, kTempPVMaxAt, kTempWithin, kTempLargest}) {
        EXPECT_EQ("-", Whole(nRow)) << nRow;
        EXPECT_EQ("-", Page(nRow)) << nRow;
    }
}

} // namespace
