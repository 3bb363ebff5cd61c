// Several recordings side by side in the main view, driven as a user would: File > Add
// Recording, an offset typed into its dialog, the legend and the readout under the pointer.
#include "view/childview.h"

#include "curve/curvectrl.h"
#include "res/colorref.h"
#include "res/resource.h"
#include "res/resources.h"
#include "skin/statictext.h"
#include "view/colorfamily.h"
#include "view/commandui.h"
#include "view/offsetdlg.h"
#include "view/statisticswnd.h"

#include "../guitest.h"
#include "../recorder/localeguard.h"
#include "../recorder/tzguard.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDialogButtonBox>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <cstdio>
#include <fstream>
#include <map>

namespace {

class CNoMenu : public ICommandUi
{
public:
    bool IsCommandChecked(int nId) const override
    {
        return m_checked.count(nId) && m_checked.at(nId);
    }
    void SetCommandChecked(int nId, bool bChecked) override { m_checked[nId] = bChecked; }
    void SetButtonChecked(int, bool) override {}
    void ShowReadLayout(const QString& strText) override { m_strStatus = strText; }
    QString m_strStatus;
    std::map<int, bool> m_checked;
};

// A recorder file of nSeconds records from 2026-03-01 00:00:00 plus nStart seconds; record i
// has Temp PV nBase + i, Temp SV nBase + i + 0.5, Humi PV 50, Humi SV 60.
std::string WriteRun(const CIsolatedProfile& profile, const char* szName, int nStart, int nSeconds,
                     int nBase)
{
    const std::string path = profile.FilePath(QString::fromLatin1(szName)).toStdString();
    std::ofstream out(path, std::ios::binary);
    out << "Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\r\n";
    for (int i = 0; i < nSeconds; ++i) {
        const int t = nStart + i;
        char sz[96];
        std::snprintf(sz, sizeof sz, "2026/03/%02d,%02d:%02d:%02d,%d,%d.5,50,60\r\n", 1 + t / 86400,
                      t / 3600 % 24, t / 60 % 60, t % 60, nBase + i, nBase + i);
        out << sz;
    }
    return path;
}

// Answers the file dialog with a path and types into the offset dialog, one text per OK.
class CSideView : public CChildView
{
public:
    using CChildView::CChildView;
    QString m_strAnswer;
    QStringList m_typed;

protected:
    int ExecOpenDialog(QFileDialog& dlg) override
    {
        dlg.selectFile(m_strAnswer);
        return QDialog::Accepted;
    }
    int ExecOffsetDialog(COffsetDlg& dlg) override
    {
        dlg.show();
        for (const QString& strText : m_typed) {
            dlg.GetBox()->selectAll();
            QTest::keyClick(dlg.GetBox(), Qt::Key_Backspace);
            QTest::keyClicks(dlg.GetBox(), strText);
            QTest::mouseClick(dlg.GetButtons()->button(QDialogButtonBox::Ok), Qt::LeftButton);
            Pump(); // the message box about a bad text is answered here
        }
        return dlg.result();
    }
};

class SideBySide : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SeedSettings();
        m_pView = std::make_unique<CSideView>(&m_menu);
        m_pView->show();
        m_pView->OnInitialUpdate();
    }

    void RunCommand(int nId, const std::string& path)
    {
        CModalWatcher watcher;
        m_pView->m_strAnswer = QString::fromStdString(path);
        m_pView->OnCommand(nId);
        Pump();
        m_strMessages += watcher.GetMessages();
    }

    const std::vector<CLegendEntry>& Legend() const
    {
        return m_pView->GetPlot()->m_legend.GetEntries();
    }

    CTzGuard m_tz{"UTC"};
    CLocaleGuard m_locale;
    CIsolatedProfile m_profile;
    CNoMenu m_menu;
    std::unique_ptr<CSideView> m_pView;
    QString m_strMessages;
};

TEST_F(SideBySide, AddedRecordingIsDrawnNamedAndReadOutAtItsOffset)
{
    RunCommand(res::ID_FILE_OPEN, WriteRun(m_profile, "run A.csv", 0, 2000, 0));
    EXPECT_TRUE(Legend().empty()) << "no legend for one recording";
    // Run B starts ten minutes after run A.
    RunCommand(res::ID_FILE_ADD_RECORDING, WriteRun(m_profile, "run B.csv", 600, 1000, 5000));
    ASSERT_EQ(2u, m_pView->RecordingSet().GetCount());
    ASSERT_EQ(2u, Legend().size());
    EXPECT_EQ("run A.csv", Legend()[0].strName);
    EXPECT_EQ("run B.csv", Legend()[1].strName);
    EXPECT_EQ(8, m_pView->GetPlot()->GetCurveCount());
    EXPECT_EQ("run A", m_pView->GetLabel(res::IDC_FILENAME)->text());

    // The offset through the legend's menu: a bad text first, then five minutes earlier.
    m_pView->m_typed = {QStringLiteral("5 min"), QStringLiteral("-300")};
    {
        CModalWatcher watcher;
        QMenu menu;
        m_pView->FillLegendMenu(menu, 1);
        for (QAction* pAction : menu.actions())
            if (pAction->text() == res::LoadString(res::IDS_SIDE_OFFSET))
                pAction->trigger();
        m_strMessages += watcher.GetMessages();
    }
    EXPECT_TRUE(m_strMessages.contains("Offset (seconds)")) << m_strMessages.toStdString();
    EXPECT_TRUE(m_strMessages.contains("5 min")) << m_strMessages.toStdString();
    EXPECT_EQ(-300, m_pView->RecordingSet()[1].nOffset);

    // At 1 s a pixel page 1 starts with run A: column 400 is its second 400 and run B's 100.
    QTest::mouseMove(m_pView->GetPlot(), QPoint(400, 100));
    Pump(10);
    EXPECT_EQ("T 400.00 / 400.50   H 50.00 / 60.00", Legend()[0].strReadout);
    EXPECT_EQ("T 5100.00 / 5100.50   H 50.00 / 60.00", Legend()[1].strReadout);
    EXPECT_EQ("400.00", m_pView->GetLabel(res::IDC_TEMP_PV)->text());
    // Before run B begins it has nothing to read out.
    QTest::mouseMove(m_pView->GetPlot(), QPoint(100, 100));
    Pump(10);
    EXPECT_EQ("T 100.00 / 100.50   H 50.00 / 60.00", Legend()[0].strReadout);
    EXPECT_EQ(res::LoadString(res::IDS_SIDE_NO_SAMPLE), Legend()[1].strReadout);

    // The picture holds the legend: run B's swatch in its own family's colour.
    const QImage picture = m_pView->TakePicture();
    ASSERT_FALSE(picture.isNull());
    const QRect rcPlot = m_pView->GetPlot()->geometry();
    const QColor crSwatch = ColorFromRef(FamilyColor(0x0000FF, 1));
    int nSwatch = 0;
    for (int y = rcPlot.top(); y < rcPlot.top() + 60; ++y)
        for (int x = rcPlot.left(); x < rcPlot.left() + 40; ++x)
            nSwatch += picture.pixelColor(x, y) == crSwatch;
    EXPECT_GT(nSwatch, 20);
    // Run B's humidity lies over run A's, from where run B begins (column 300) on only.
    const QColor crHumiB = ColorFromRef(FamilyColor(0xFF0000, 1));
    int nBefore = 0, nAfter = 0;
    for (int y = rcPlot.top() + 60; y < rcPlot.bottom(); ++y)
        for (int x = 0; x < 700; ++x)
            (x < 290 ? nBefore : nAfter) += picture.pixelColor(rcPlot.left() + x, y) == crHumiB;
    EXPECT_EQ(0, nBefore);
    EXPECT_GT(nAfter, 300);

    // The statistics window gives run B a column of its own.
    EXPECT_EQ(2u, m_pView->GetShown()->Set().GetCount());
    m_pView->OnStatistics();
    QTableWidget* pTable = m_pView->GetStatisticsWindow()->GetTable();
    ASSERT_EQ(CStatisticsWnd::kFirstMemberColumn + 1, pTable->columnCount());
    EXPECT_EQ("run B.csv",
              pTable->horizontalHeaderItem(CStatisticsWnd::kFirstMemberColumn)->text());
    EXPECT_EQ("5999.00", pTable->item(2, CStatisticsWnd::kFirstMemberColumn)->text());

    // Aligned by their starts run B begins with run A, offset and all, and the choice stays.
    {
        QMenu menu;
        m_pView->FillLegendMenu(menu, 0);
        for (QAction* pAction : menu.actions())
            if (pAction->text() == res::LoadString(res::IDS_SIDE_ALIGN_STARTS))
                pAction->trigger();
    }
    EXPECT_EQ(EAlignment::Starts, m_pView->RecordingSet().GetAlignment());
    EXPECT_EQ(1, ReadSettingInt("", "Alignment", 0));
    EXPECT_EQ(m_pView->RecordingSet().StartOf(0) - 300, m_pView->RecordingSet().StartOf(1));

    // Closing run A leaves run B alone, as with one file.
    m_pView->CloseRecording(0);
    EXPECT_EQ(1u, m_pView->RecordingSet().GetCount());
    EXPECT_TRUE(Legend().empty());
    EXPECT_EQ(4, m_pView->GetPlot()->GetCurveCount());
    EXPECT_EQ("run B", m_pView->GetLabel(res::IDC_FILENAME)->text());
    EXPECT_EQ(CStatisticsWnd::kFirstMemberColumn, pTable->columnCount());
}

// Files dropped together: those that follow one another join, others stand side by side.
TEST_F(SideBySide, DroppedFilesJoinOrStandSideBySide)
{
    const QString strA = QString::fromStdString(WriteRun(m_profile, "run A.csv", 0, 2000, 0));
    const QString strB = QString::fromStdString(WriteRun(m_profile, "run B.csv", 600, 1000, 0));
    const QString strC = QString::fromStdString(WriteRun(m_profile, "run C.csv", 2300, 500, 0));
    const struct
    {
        QStringList paths;
        std::size_t nShown;
        std::int64_t nFirstSamples;
        const char* szStatus;
    } cases[] = {
        {{strC, strA},
         1,
         2800,
         "Joined run A.csv, run C.csv; gap before run C.csv: "
         "2026-03-01 00:33:20 – 2026-03-01 00:38:19"},
        {{strA, strB}, 2, 2000, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.paths.join(' ').toStdString());
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString& strPath : c.paths)
            urls << QUrl::fromLocalFile(strPath);
        mime.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(m_pView.get(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_pView.get(), &drop);
        CModalWatcher watcher;
        Pump();
        EXPECT_EQ("", watcher.GetMessages().toStdString());
        EXPECT_EQ(c.nShown, m_pView->RecordingSet().GetCount());
        EXPECT_EQ(c.nFirstSamples, m_pView->RecordedSeconds());
        EXPECT_EQ(c.szStatus, m_menu.m_strStatus.toStdString());
        // The statistics window names the gap below the figures.
        m_pView->OnStatistics();
        const auto* pJoin = m_pView->GetStatisticsWindow()->findChild<QLabel*>("joinLines");
        ASSERT_NE(nullptr, pJoin);
        EXPECT_EQ(c.nShown == 1, pJoin->text().contains(
                                     "gap   2026-03-01 00:33:20   2026-03-01 00:38:19   run C.csv"))
            << pJoin->text().toStdString();
        if (c.nShown != 1)
            continue;
        // In another language the lines' first words follow it; the times and names stay.
        struct CEnglishAgain
        {
            ~CEnglishAgain() { res::ApplyInterfaceLanguage(res::kLangENG); }
        } english;
        res::ApplyInterfaceLanguage(res::kLangCHT);
        m_pView->GetStatisticsWindow()->close(); // and deleted, to be made anew
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_pView->OnStatistics();
        const auto* pChinese = m_pView->GetStatisticsWindow()->findChild<QLabel*>("joinLines");
        ASSERT_NE(nullptr, pChinese);
        EXPECT_TRUE(pChinese->text().contains(
            u"空白   2026-03-01 00:33:20   2026-03-01 00:38:19   run C.csv"))
            << pChinese->text().toStdString();
        EXPECT_TRUE(pChinese->text().contains(u"檔案   run A.csv")) << pChinese->text().toStdString();
    }
}

TEST(OffsetSeconds, ReadsWholeSecondsOnly)
{
    const struct
    {
        const char* szText;
        std::optional<std::int64_t> nExpected;
    } cases[] = {
        {"0", 0},
        {" -300 ", -300},
        {"+45", 45},
        {"316224000", kMaxOffsetSeconds},
        {"316224001", std::nullopt},
        {"99999999999999999999999", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"1.5", std::nullopt},
        {"5 min", std::nullopt},
        {"1e3", std::nullopt},
        {"\xd9\xa3", std::nullopt}, // an Arabic-Indic three
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.nExpected, ParseOffsetSeconds(QString::fromUtf8(c.szText))) << c.szText;
}

} // namespace
