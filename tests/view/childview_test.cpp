#include "view/childview.h"

#include "curve/curvectrl.h"
#include "curve/curvestrokes.h"
#include "res/resource.h"
#include "skin/statictext.h"
#include "view/commandui.h"

#include "../guitest.h"
#include "../recorder/tzguard.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWheelEvent>

#include <fstream>
#include <functional>
#include <map>

namespace {

class CFakeMenu : public ICommandUi
{
public:
    bool IsCommandChecked(int nId) const override
    {
        const auto it = m_checked.find(nId);
        return it != m_checked.end() && it->second;
    }
    void SetCommandChecked(int nId, bool bChecked) override { m_checked[nId] = bChecked; }
    void SetButtonChecked(int nId, bool bChecked) override { m_pressed[nId] = bChecked; }

    std::map<int, bool> m_checked;
    std::map<int, bool> m_pressed;
};

// A recorder file of nSeconds records, one a second, from 2026-03-01 00:00:00; record i has
// Temp PV i, Temp SV i + 0.5, Humi PV 50, Humi SV 60.
std::string WriteSeconds(const CIsolatedProfile& profile, const char* szName, int nSeconds)
{
    const std::string path = profile.FilePath(QString::fromLatin1(szName)).toStdString();
    std::ofstream out(path, std::ios::binary);
    out << "Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\r\n";
    for (int i = 0; i < nSeconds; ++i) {
        const int t = i;
        char sz[96];
        std::snprintf(sz, sizeof sz, "2026/03/%02d,%02d:%02d:%02d,%d,%d.5,50,60\r\n", 1 + t / 86400,
                      t / 3600 % 24, t / 60 % 60, t % 60, i, i);
        out << sz;
    }
    return path;
}

// Answers the open-file dialog with a path, the way a user would pick a file.
class COpeningView : public CChildView
{
public:
    using CChildView::CChildView;
    QString m_strAnswer; // empty: the dialog is cancelled
    QStringList m_filtersSeen;

protected:
    int ExecOpenDialog(QFileDialog& dlg) override
    {
        m_filtersSeen = dlg.nameFilters();
        if (m_strAnswer.isEmpty())
            return QDialog::Rejected;
        dlg.selectFile(m_strAnswer);
        return QDialog::Accepted;
    }
};

// The rectangle of a part of the scale bar (thumb, arrows), as its style lays it out.
QRect PartOf(QScrollBar* pBar, QStyle::SubControl ePart)
{
    QStyleOptionSlider opt;
    opt.initFrom(pBar);
    opt.orientation = pBar->orientation();
    opt.minimum = pBar->minimum();
    opt.maximum = pBar->maximum();
    opt.sliderPosition = pBar->sliderPosition();
    opt.sliderValue = pBar->value();
    opt.singleStep = pBar->singleStep();
    opt.pageStep = pBar->pageStep();
    opt.subControls = QStyle::SC_All;
    return pBar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, ePart, pBar);
}

QRect ThumbRect(QScrollBar* pBar)
{
    return PartOf(pBar, QStyle::SC_ScrollBarSlider);
}

class ChildView : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SeedSettings();
        m_pView = std::make_unique<COpeningView>(&m_menu);
        m_pView->show();
        m_pView->OnInitialUpdate();
    }

    QString Text(int nId) const { return m_pView->GetLabel(nId)->text(); }
    CCurve* Curve(const char* szKey) const { return m_pView->GetPlot()->FindCurve(szKey); }
    std::int64_t Samples() const { return Curve("!100")->m_arrValues.GetSize(); }

    // Opens a file through File Open, answering its dialog with path.
    void OpenThroughDialog(const std::string& path)
    {
        CModalWatcher watcher;
        m_pView->m_strAnswer = QString::fromStdString(path);
        m_pView->OnCommand(res::ID_FILE_OPEN);
        Pump();
        m_strMessages += watcher.GetMessages();
        EXPECT_TRUE(m_pView->m_filtersSeen.join(';').contains("Curve Files (*.csv)"));
    }

    void Click(int nButtonId)
    {
        QWidget* pButton = m_pView->GetControl(nButtonId);
        ASSERT_NE(nullptr, pButton);
        QTest::mouseClick(pButton, Qt::LeftButton);
    }

    void MovePointer(int x) { m_pView->ShowCursorValues(x, 100); }

    CTzGuard m_tz{"UTC"};
    CIsolatedProfile m_profile;
    CFakeMenu m_menu;
    std::unique_ptr<COpeningView> m_pView;
    QString m_strMessages;
};

TEST_F(ChildView, StartsOnPageOneOfOneWithTheStoredLimits)
{
    EXPECT_EQ("-40", Text(res::IDC_TEMP_AXIS0));
    EXPECT_EQ("160", Text(res::IDC_TEMP_AXIS0 + 10));
    EXPECT_EQ("20", Text(res::IDC_TEMP_AXIS0 + 3));
    EXPECT_EQ("0", Text(res::IDC_HUMI_AXIS0));
    EXPECT_EQ("100", Text(res::IDC_HUMI_AXIS0 + 10));
    EXPECT_EQ(0x0000FFu, m_pView->GetLabel(res::IDC_TEMP_AXIS0)->m_crText);
    EXPECT_EQ(0xFF0000u, m_pView->GetLabel(res::IDC_HUMI_AXIS0)->m_crText);
    EXPECT_EQ("1", m_pView->GetPageBox()->text());
    EXPECT_EQ("1", m_pView->GetTotalPagesBox()->text());
    EXPECT_EQ(0, m_pView->GetScaleChoice()->currentIndex());
    EXPECT_EQ(8, m_pView->GetScaleChoice()->count());
    EXPECT_TRUE(m_pView->GetLabel(res::IDC_TITLE)->isVisibleTo(m_pView.get()));
    EXPECT_FALSE(m_menu.IsCommandChecked(res::ID_SET_HIDE_TITLE));
    // Before a file the time labels stay empty and the pointer changes no readout.
    EXPECT_EQ("", Text(res::IDC_TIME_LABEL0));
    const QString strBefore = Text(res::IDC_DATE);
    MovePointer(100);
    EXPECT_EQ(strBefore, Text(res::IDC_DATE));
}

TEST_F(ChildView, InitialUpdateTwiceGivesTheSameView)
{
    m_pView->OnInitialUpdate();
    EXPECT_EQ(4, m_pView->GetPlot()->GetCurveCount());
    EXPECT_EQ(8, m_pView->GetScaleChoice()->count());
    EXPECT_EQ("160", Text(res::IDC_TEMP_AXIS0 + 10));
}

TEST_F(ChildView, OpenShowsTheFileFromItsFirstPage)
{
    OpenThroughDialog(WriteSeconds(m_profile, "run 1.csv", 2000));
    EXPECT_EQ(2000, Samples());
    EXPECT_EQ("run 1", Text(res::IDC_FILENAME));
    EXPECT_EQ("2026-03-01", Text(res::IDC_DATE));
    EXPECT_EQ("00:00:00", Text(res::IDC_TIME));
    EXPECT_EQ("3", m_pView->GetTotalPagesBox()->text());
    EXPECT_EQ(1, Curve("!200")->m_bSkipNegative);
    EXPECT_EQ(-40.0f, Curve("!100")->m_fVertMin);
    EXPECT_EQ(100.0f, Curve("!201")->m_fVertMax);
    EXPECT_EQ("00:02:00", Text(res::IDC_TIME_LABEL0 + 1));
}

// Opening a file whose first record lies outside 1970-2106 shows that record's own time.
class ChildViewOpenTime : public ChildView
{
protected:
    void ExpectOpenShows(const char* szRecord, const char* szDate, const char* szTime,
                         const char* szLabel)
    {
        SCOPED_TRACE(szRecord);
        const std::string path = m_profile.FilePath("t.csv").toStdString();
        std::ofstream(path) << "h\n" << szRecord << ",20,21,50,60\n";
        ASSERT_TRUE(m_pView->OpenRecorderPath(QString::fromStdString(path)));
        EXPECT_EQ(szDate, Text(res::IDC_DATE));
        EXPECT_EQ(szTime, Text(res::IDC_TIME));
        Pump();
        // The first time label counts from the low 32 bits.
        EXPECT_EQ(szLabel, Text(res::IDC_TIME_LABEL0));
    }
};

TEST_F(ChildViewOpenTime, From2106On)
{
    ExpectOpenShows("2110/01/02,03:04:05", "2110-01-02", "03:04:05", "20:35:49");
    ExpectOpenShows("2026/03/01,08:00:00", "2026-03-01", "08:00:00", "08:00:00");
}

TEST_F(ChildViewOpenTime, Before1970)
{
#if defined(_WIN32)
    GTEST_SKIP() << "Windows' C library converts no time before 1970";
#endif
    ExpectOpenShows("1965/06/01,12:00:00", "1965-06-01", "12:00:00", "18:28:16");
}

TEST_F(ChildView, PagesAndTimeLabels)
{
    OpenThroughDialog(WriteSeconds(m_profile, "a.csv", 2000));
    m_pView->GetPageBox()->setText("3");
    EXPECT_EQ(1440.0f, Curve("!201")->m_fHorzMin);
    EXPECT_EQ("00:24:00", Text(res::IDC_TIME_LABEL0));     // T0 + 1,440 s
    EXPECT_EQ("00:36:00", Text(res::IDC_TIME_LABEL0 + 6)); // T0 + 2,160 s
    EXPECT_EQ("2026-03-01", Text(res::IDC_DATE_LABEL0 + 6));

    Click(res::IDC_FIRST_PAGE);
    EXPECT_EQ("1", m_pView->GetPageBox()->text());
    Click(res::IDC_PREV_PAGE); // nothing below page 1
    EXPECT_EQ("1", m_pView->GetPageBox()->text());
    Click(res::IDC_LAST_PAGE);
    EXPECT_EQ("3", m_pView->GetPageBox()->text());
    Click(res::IDC_PREV_PAGE);
    EXPECT_EQ("2", m_pView->GetPageBox()->text());
    Click(res::IDC_NEXT_PAGE);
    Click(res::IDC_NEXT_PAGE); // past the last page: an empty plot
    EXPECT_EQ("4", m_pView->GetPageBox()->text());
    EXPECT_TRUE(CurveStrokes(*Curve("!100"), 720, 400).empty());

    m_pView->GetPageBox()->setText("abc"); // shows page 1, keeps the letters
    EXPECT_EQ(0.0f, Curve("!100")->m_fHorzMin);
    EXPECT_EQ("abc", m_pView->GetPageBox()->text());
    m_pView->OnPageBoxLostFocus();
    EXPECT_EQ("1", m_pView->GetPageBox()->text());
    m_pView->GetPageBox()->setText("-2"); // a negative page reads like text
    EXPECT_EQ(0.0f, Curve("!100")->m_fHorzMin);
}

TEST_F(ChildView, ScaleChoiceAndScaleBar)
{
    OpenThroughDialog(WriteSeconds(m_profile, "day.csv", 86401));
    m_pView->GetPageBox()->setText("3");
    QTest::keyClick(m_pView->GetScaleChoice(), Qt::Key_End); // 1Month: 3600 s per pixel
    EXPECT_EQ(3600, m_pView->GetScaleBar()->value());
    EXPECT_EQ("1", m_pView->GetPageBox()->text());
    m_pView->GetPageBox()->setText("3");
    QTest::keyClick(m_pView->GetScaleChoice(), Qt::Key_Up);
    QTest::keyClick(m_pView->GetScaleChoice(), Qt::Key_Up); // 1Day: 120 s per pixel
    EXPECT_EQ(5, m_pView->GetScaleChoice()->currentIndex());
    EXPECT_EQ(120, m_pView->GetScaleBar()->value());
    EXPECT_EQ("1", m_pView->GetPageBox()->text());
    EXPECT_EQ("2", m_pView->GetTotalPagesBox()->text());
    MovePointer(10);
    EXPECT_EQ("00:20:00", Text(res::IDC_TIME)); // sample 1,200
    EXPECT_EQ("1200.00", Text(res::IDC_TEMP_PV));

    m_pView->GetPageBox()->setText("2");
    QTest::mouseClick(m_pView->GetScaleBar(), Qt::LeftButton, {},
                      PartOf(m_pView->GetScaleBar(), QStyle::SC_ScrollBarSubLine).center());
    EXPECT_EQ(119, m_pView->GetScaleBar()->value());
    EXPECT_EQ("1", m_pView->GetPageBox()->text());
    EXPECT_EQ(0, m_pView->GetScaleChoice()->currentIndex());
    m_pView->OnScaleBarScroll(CChildView::kThumbPosition, 0); // clamped to 1
    EXPECT_EQ(1, m_pView->GetScaleBar()->value());
    m_pView->OnScaleBarScroll(CChildView::kLineLeft, 0);
    EXPECT_EQ(1, m_pView->GetScaleBar()->value());
    m_pView->OnScaleBarScroll(CChildView::kThumbTrack, 500); // dragging changes nothing yet
    EXPECT_EQ(1, m_pView->GetScaleBar()->value());
}

// Opens the scale bar's own context menu at x and picks the item named strItem.
void PickFromContextMenu(QScrollBar* pBar, int x, const QString& strItem)
{
    QTimer::singleShot(50, [strItem] {
        auto* pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(nullptr, pMenu);
        for (QAction* pAction : pMenu->actions())
            if (pAction->text() == strItem)
                pMenu->setActiveAction(pAction);
        ASSERT_EQ(strItem, pMenu->activeAction() ? pMenu->activeAction()->text() : QString());
        QTest::keyClick(pMenu, Qt::Key_Return);
    });
    const QPoint pt(x, pBar->height() / 2);
    QContextMenuEvent event(QContextMenuEvent::Mouse, pt, pBar->mapToGlobal(pt));
    QApplication::sendEvent(pBar, &event);
}

void Wheel(QScrollBar* pBar, int nDelta)
{
    const QPointF pt(pBar->width() / 2.0, pBar->height() / 2.0);
    QWheelEvent event(pt, pBar->mapToGlobal(pt), QPoint(), QPoint(0, nDelta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(pBar, &event);
}

TEST_F(ChildView, EveryUseOfTheScaleBarGoesThroughItsHandler)
{
    OpenThroughDialog(WriteSeconds(m_profile, "a.csv", 2000));
    QScrollBar* pBar = m_pView->GetScaleBar();
    struct CCase
    {
        const char* szName;
        int nStartItem; // scale choice: 0 is 1 s per pixel, 1 is 5
        std::function<void()> use;
        int nExpected; // seconds per pixel afterwards; 0: anything above the start
        bool bResets;
    };
    const int nTrough = pBar->width() * 3 / 4;
    const CCase cases[] = {
        {"wheel towards the end", 0, [&] { Wheel(pBar, -120); }, 2, true},
        {"wheel towards the start", 1, [&] { Wheel(pBar, 120); }, 4, true},
        {"right arrow key", 1, [&] { QTest::keyClick(pBar, Qt::Key_Right); }, 6, true},
        {"left arrow key", 1, [&] { QTest::keyClick(pBar, Qt::Key_Left); }, 4, true},
        {"page down key", 1, [&] { QTest::keyClick(pBar, Qt::Key_PageDown); }, 6, true},
        {"home key", 1, [&] { QTest::keyClick(pBar, Qt::Key_Home); }, 5, false},
        {"end key", 1, [&] { QTest::keyClick(pBar, Qt::Key_End); }, 5, false},
        {"trough", 0,
         [&] {
             QTest::mouseClick(pBar, Qt::LeftButton, {}, {nTrough, 5});
         },
         2, true},
        {"scroll here", 1, [&] { PickFromContextMenu(pBar, nTrough, "Scroll here"); }, 0, true},
        {"scroll here on the thumb", 7,
         [&] {
             PickFromContextMenu(pBar, ThumbRect(pBar).left(), "Scroll here");
             Pump();
         },
         3600, true},
        {"left edge", 1, [&] { PickFromContextMenu(pBar, nTrough, "Left edge"); }, 5, false},
        {"right edge", 1, [&] { PickFromContextMenu(pBar, nTrough, "Right edge"); }, 5, false},
        {"drag", 0,
         [&] {
             const QPoint ptThumb = ThumbRect(pBar).center();
             QTest::mousePress(pBar, Qt::LeftButton, {}, ptThumb);
             QMouseEvent move(QEvent::MouseMove, ptThumb + QPoint(200, 0),
                              pBar->mapToGlobal(ptThumb + QPoint(200, 0)), Qt::NoButton,
                              Qt::LeftButton, Qt::NoModifier);
             QApplication::sendEvent(pBar, &move);
             EXPECT_EQ(1, pBar->value()) << "nothing changes before the thumb is released";
             EXPECT_EQ("2", m_pView->GetPageBox()->text());
             QTest::mouseRelease(pBar, Qt::LeftButton, {}, ptThumb + QPoint(200, 0));
         },
         0, true},
    };
    for (const CCase& c : cases) {
        SCOPED_TRACE(c.szName);
        m_pView->GetScaleChoice()->setCurrentIndex(c.nStartItem);
        m_pView->OnScaleChanged(c.nStartItem);
        m_pView->GetPageBox()->setText("2");
        const int nStart = pBar->value();
        c.use();
        const int s = pBar->value();
        if (c.nExpected != 0)
            EXPECT_EQ(c.nExpected, s);
        else
            EXPECT_GT(s, nStart);
        EXPECT_EQ(s, pBar->sliderPosition());
        EXPECT_EQ(c.bResets ? "1" : "2", m_pView->GetPageBox()->text());
        EXPECT_EQ(c.bResets ? 0 : c.nStartItem, m_pView->GetScaleChoice()->currentIndex());
        if (c.bResets) {
            EXPECT_EQ(QString::number((2000 - 1) / (720 * s) + 1),
                      m_pView->GetTotalPagesBox()->text());
            EXPECT_EQ(720.0f * s, Curve("!100")->m_fHorzMax);
        }
    }
}

TEST_F(ChildView, APopupOpeningIsNoLossOfFocusForThePageBox)
{
    OpenThroughDialog(WriteSeconds(m_profile, "a.csv", 2000));
    QLineEdit* pPage = m_pView->GetPageBox();
    const struct
    {
        Qt::FocusReason eReason;
        const char* szBefore;
        const char* szAfter;
    } cases[] = {
        {Qt::PopupFocusReason, "abc", "abc"},    {Qt::MenuBarFocusReason, "", ""},
        {Qt::TabFocusReason, "abc", "1"},        {Qt::MouseFocusReason, "", "1"},
        {Qt::ActiveWindowFocusReason, "0", "1"}, {Qt::TabFocusReason, "3", "3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.eReason);
        pPage->setText(c.szBefore);
        QFocusEvent focusOut(QEvent::FocusOut, c.eReason);
        QApplication::sendEvent(pPage, &focusOut);
        EXPECT_EQ(c.szAfter, pPage->text());
    }

    // Right-click, Paste into the empty box: the context menu takes the focus first.
    pPage->clear();
    QGuiApplication::clipboard()->setText("2");
    const QPoint pt(5, 5);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, pt, pPage->mapToGlobal(pt));
    QApplication::sendEvent(pPage, &menu);
    auto* pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(nullptr, pMenu);
    QFocusEvent focusOut(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(pPage, &focusOut);
    for (QAction* pAction : pMenu->actions())
        if (pAction->text().startsWith("&Paste"))
            pMenu->setActiveAction(pAction);
    ASSERT_NE(nullptr, pMenu->activeAction());
    QTest::keyClick(pMenu, Qt::Key_Return);
    EXPECT_EQ("2", pPage->text());
    EXPECT_EQ(720.0f, Curve("!100")->m_fHorzMin);
}

TEST_F(ChildView, ReadoutAtTheLastColumnAndForMissingHumidity)
{
    const std::string path = m_profile.FilePath("h.csv").toStdString();
    {
        std::ofstream out(path);
        out << "h\n2026/03/01,00:00:00,-5.006,1\n2026/03/01,00:12:00,3,4,0,0\n";
    }
    ASSERT_TRUE(m_pView->OpenRecorderPath(QString::fromStdString(path)));
    Pump();
    MovePointer(0);
    EXPECT_EQ("-5.01", Text(res::IDC_TEMP_PV));
    EXPECT_EQ("", Text(res::IDC_HUMI_PV)); // -1: no sensor
    EXPECT_EQ("", Text(res::IDC_HUMI_SV));
    MovePointer(719);
    EXPECT_EQ("00:12:00", Text(res::IDC_TIME)); // the time of sample 720
    EXPECT_EQ("3.00", Text(res::IDC_TEMP_PV));  // the values of sample 719
    EXPECT_EQ("", Text(res::IDC_HUMI_PV));      // 0 shows empty too
    MovePointer(500);
    EXPECT_EQ("3.00", Text(res::IDC_TEMP_PV));
}

// A file without set-value columns: those curves are neither drawn nor read out.
TEST_F(ChildView, ChannelsTheFileDidNotHaveAreLeftOut)
{
    auto pRecording = std::make_shared<CRecording>();
    for (int i = 0; i < 3000; ++i) {
        const float af[4] = {20.0f, 30.0f + static_cast<float>(i % 7), 60.0f,
                             40.0f + static_cast<float>(i % 5)};
        ASSERT_TRUE(pRecording->AddHeld(af, 1));
    }
    pRecording->SetChannelPresent(EChannel::TempSV, false);
    pRecording->SetChannelPresent(EChannel::HumiSV, false);
    m_pView->ShowRecording(std::shared_ptr<const CRecording>(std::move(pRecording)), "sv");
    Pump();
    MovePointer(100);
    EXPECT_EQ("20.00", Text(res::IDC_TEMP_PV));
    EXPECT_EQ("60.00", Text(res::IDC_HUMI_PV));
    EXPECT_EQ("", Text(res::IDC_TEMP_SV));
    EXPECT_EQ("", Text(res::IDC_HUMI_SV));

    CCurveCtrl* pPlot = m_pView->GetPlot();
    auto picture = [pPlot] {
        QImage img(pPlot->size(), QImage::Format_RGB32);
        QPainter painter(&img);
        pPlot->DrawPlot(painter, img.size(), nullptr);
        return img;
    };
    const QImage imgShown = picture();
    for (const char* szKey : {"!101", "!201"})
        pPlot->ShowCurve(Curve(szKey), false);
    EXPECT_EQ(imgShown, picture());
}

TEST_F(ChildView, OnlyPointerMovesOverThePlotAreReadOut)
{
    ASSERT_TRUE(
        m_pView->OpenRecorderPath(QString::fromStdString(WriteSeconds(m_profile, "a.csv", 2000))));
    Pump();
    CCurveCtrl* pPlot = m_pView->GetPlot();
    ASSERT_EQ(QSize(720, 400), pPlot->size());
    QTest::mousePress(pPlot, Qt::LeftButton, {}, QPoint(100, 100));
    const struct
    {
        QPoint pt;
        const char* szTempPV; // the readout afterwards
        const char* szTime;
    } moves[] = {
        {{200, 100}, "200.00", "00:03:20"}, {{800, 100}, "200.00", "00:03:20"},
        {{-5, 100}, "200.00", "00:03:20"},  {{719, 399}, "719.00", "00:12:00"},
        {{720, 50}, "719.00", "00:12:00"},  {{300, 400}, "719.00", "00:12:00"},
        {{0, 0}, "0.00", "00:00:00"},
    };
    for (const auto& m : moves) {
        SCOPED_TRACE(m.szTempPV);
        QMouseEvent move(QEvent::MouseMove, m.pt, pPlot->mapToGlobal(m.pt), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(pPlot, &move);
        EXPECT_EQ(m.szTempPV, Text(res::IDC_TEMP_PV));
        EXPECT_EQ(m.szTime, Text(res::IDC_TIME));
    }
    QTest::mouseRelease(pPlot, Qt::LeftButton, {}, QPoint(0, 0));
}

TEST_F(ChildView, FilesWithoutRecordsChangeNothing)
{
    ASSERT_TRUE(
        m_pView->OpenRecorderPath(QString::fromStdString(WriteSeconds(m_profile, "a.csv", 10))));
    for (const char* szContent : {"", "header only\n"}) {
        const std::string path = m_profile.FilePath("empty.csv").toStdString();
        std::ofstream(path) << szContent;
        CModalWatcher watcher;
        EXPECT_FALSE(m_pView->OpenRecorderPath(QString::fromStdString(path)));
        EXPECT_EQ(1, watcher.GetSeen()) << "a message explains why";
        EXPECT_EQ(10, Samples());
        EXPECT_EQ("a", Text(res::IDC_FILENAME));
    }
}

TEST_F(ChildView, BlankLineReportsItsLineAndKeepsTheRecordsBefore)
{
    const std::string path = m_profile.FilePath("b.csv").toStdString();
    std::ofstream(path) << "h\n2026/03/01,00:00:00,1,2,3,4\n2026/03/01,00:00:05,1,2,3,4\n\n"
                           "2026/03/01,00:00:09,1,2,3,4\n";
    QString strMessages;
    {
        CModalWatcher watcher;
        EXPECT_FALSE(m_pView->OpenRecorderPath(QString::fromStdString(path)));
        strMessages = watcher.GetMessages();
    }
    EXPECT_TRUE(strMessages.contains("line 4")) << strMessages.toStdString();
    EXPECT_TRUE(strMessages.contains("Line 4 is empty")) << strMessages.toStdString();
    EXPECT_EQ(6, Samples());
    Pump(); // the paging resets once the command has returned
    EXPECT_EQ("1", m_pView->GetTotalPagesBox()->text());
    EXPECT_EQ("00:00:00", Text(res::IDC_TIME_LABEL0));
}

TEST_F(ChildView, CloseEmptiesCurvesAndLabels)
{
    ASSERT_TRUE(
        m_pView->OpenRecorderPath(QString::fromStdString(WriteSeconds(m_profile, "a.csv", 10))));
    m_pView->OnCommand(res::ID_FILE_CLOSE);
    for (const auto& p : m_pView->GetPlot()->m_arrCurves)
        EXPECT_EQ(0, p->m_arrValues.GetSize());
    EXPECT_EQ("", Text(res::IDC_FILENAME));
    EXPECT_EQ("", Text(res::IDC_DATE));
    EXPECT_EQ("", Text(res::IDC_TIME));
}

TEST_F(ChildView, DroppedCsvOpens)
{
    const std::string path = WriteSeconds(m_profile, "dropped.csv", 5);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_pView.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_pView.get(), &drop);
    Pump();
    EXPECT_EQ(5, Samples());
    EXPECT_EQ("dropped", Text(res::IDC_FILENAME));
}

// Qt's own file dialog, driven as a user would: the name typed into its name box. Cancelling
// changes nothing.
TEST_F(ChildView, OpenThroughQtsFileDialog)
{
    const QString path = QString::fromStdString(WriteSeconds(m_profile, "typed.csv", 30));
    CChildView view(&m_menu);
    view.OnInitialUpdate();
    for (const bool bAccept : {false, true}) {
        bool bSawNameBox = false;
        CModalWatcher watcher([&](QWidget* p) {
            auto* pDialog = qobject_cast<QFileDialog*>(p);
            auto* pName =
                pDialog ? pDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
            bSawNameBox = pName != nullptr;
            if (!pName || !bAccept) {
                p->close();
                return;
            }
            pName->setText(path);
            static_cast<QDialog*>(pDialog)->accept();
        });
        view.OnCommand(res::ID_FILE_OPEN);
        EXPECT_TRUE(bSawNameBox);
        EXPECT_EQ(bAccept ? 30 : 0, view.GetPlot()->FindCurve("!100")->m_arrValues.GetSize());
    }
    EXPECT_EQ("typed", view.GetLabel(res::IDC_FILENAME)->text());
}

} // namespace
