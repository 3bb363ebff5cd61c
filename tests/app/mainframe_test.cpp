#include "app/aboutdlg.h"
#include "app/mainframe.h"
#include "app/trendoraapp.h"
#include "curve/curvectrl.h"
#include "res/resource.h"
#include "settings/settingkeys.h"
#include "skin/bitmaptoolbar.h"
#include "skin/statictext.h"
#include "view/childview.h"
#include "view/statisticswnd.h"

#include "../fifowriter.h"
#include "../guitest.h"
#include "../recorder/tzguard.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

namespace {

class MainFrame : public ::testing::Test
{
protected:
    // Starts as the program does; the about box that opens at start is closed and counted.
    void Start()
    {
        CModalWatcher watcher([this](QWidget* p) {
            m_nAboutBoxes += qobject_cast<CAboutDlg*>(p) != nullptr;
            p->close();
        });
        m_pFrame = CTrendoraApp::StartUp();
        ASSERT_NE(nullptr, m_pFrame);
        m_pFrame->show();
        Pump(100);
    }

    QString MenuTitle(int i) const { return m_pFrame->menuBar()->actions().at(i)->text(); }
    QString Tag() const
    {
        return ReadSettingText(QString(), QString::fromLatin1(settings::kEntryLangResourceDll));
    }

    CIsolatedProfile m_profile;
    std::unique_ptr<CMainFrame> m_pFrame;
    int m_nAboutBoxes = 0;
};

TEST_F(MainFrame, FirstStartSeedsAndShowsTheAboutBox)
{
    Start();
    EXPECT_EQ(1, m_nAboutBoxes);
    EXPECT_EQ(0xFFFFFF, ReadSettingInt("", "BkColor", 0));
    EXPECT_EQ(-40, ReadSettingInt("Limit", "MinTemp", 0));
    EXPECT_EQ("", Tag()); // no language stored until the user picks one
    EXPECT_EQ("File(&F)", MenuTitle(0));
    EXPECT_EQ("Trendora", m_pFrame->windowTitle());
    EXPECT_EQ(CChildView::FormSize(), m_pFrame->GetView()->size());
    EXPECT_EQ(QSize(1016, 616), CChildView::FormSize());
    EXPECT_EQ(m_pFrame->minimumSize(), m_pFrame->maximumSize()) << "the frame cannot be resized";
}

TEST_F(MainFrame, CommandsWithoutHandlerAreDisabled)
{
    Start();
    EXPECT_FALSE(m_pFrame->GetMenuAction(res::ID_HELP_FINDER)->isEnabled());
    EXPECT_FALSE(m_pFrame->GetMenuAction(res::ID_HELP_CONTACT)->isEnabled());
    EXPECT_TRUE(m_pFrame->GetMenuAction(res::ID_APP_ABOUT)->isEnabled());
    EXPECT_TRUE(m_pFrame->GetMenuAction(res::ID_FILE_OPEN)->isEnabled());
    EXPECT_TRUE(m_pFrame->GetToolAction(res::ID_FILE_OPEN)->isEnabled());
    // Prompts: status text before the line break, tooltip after it.
    EXPECT_EQ("Open file", m_pFrame->GetToolAction(res::ID_FILE_OPEN)->statusTip());
    EXPECT_EQ("Open file", m_pFrame->GetToolAction(res::ID_FILE_OPEN)->toolTip());
}

TEST_F(MainFrame, VisibilityButtonsStartPressed)
{
    Start();
    for (int nId : {res::ID_VIEW_TEMP_PV, res::ID_VIEW_HUMI_PV, res::ID_VIEW_TEMP_SV,
                    res::ID_VIEW_HUMI_SV}) {
        EXPECT_TRUE(m_pFrame->GetToolAction(nId)->isCheckable()) << nId;
        EXPECT_TRUE(m_pFrame->GetToolAction(nId)->isChecked()) << nId;
    }
    EXPECT_EQ(QSize(40, 40), m_pFrame->GetToolBar()->GetImageSize());
}

TEST_F(MainFrame, MenuAndToolbarToggleTheSameCurve)
{
    Start();
    const CCurve* pCurve = m_pFrame->GetView()->GetPlot()->FindCurve("!101");
    QAction* pButton = m_pFrame->GetToolAction(res::ID_VIEW_TEMP_SV);
    QAction* pItem = m_pFrame->GetMenuAction(res::ID_VIEW_TEMP_SV);
    pButton->trigger();
    EXPECT_EQ(0, pCurve->m_bVisible);
    EXPECT_FALSE(pButton->isChecked());
    EXPECT_FALSE(pItem->isChecked());
    pItem->trigger();
    EXPECT_EQ(1, pCurve->m_bVisible);
    EXPECT_TRUE(pButton->isChecked());
    EXPECT_TRUE(pItem->isChecked());
}

TEST_F(MainFrame, LanguageSwitchRebuildsMenuAndViewAndStoresTheTag)
{
    Start();
    CChildView* pOld = m_pFrame->GetView();
    m_pFrame->GetToolAction(res::ID_VIEW_TEMP_PV)->setChecked(false);
    m_pFrame->OnCommand(res::ID_LANG_CHT);
    EXPECT_EQ("LangCHT", Tag());
    EXPECT_EQ(QString::fromUtf8("檔案(&F)"), MenuTitle(0));
    EXPECT_NE(pOld, m_pFrame->GetView());
    EXPECT_TRUE(m_pFrame->IsCommandChecked(res::ID_LANG_CHT));
    EXPECT_FALSE(m_pFrame->IsCommandChecked(res::ID_LANG_ENG));
    EXPECT_EQ(QString::fromUtf8("自動"), m_pFrame->GetView()->GetScaleChoice()->itemText(0));
    EXPECT_TRUE(m_pFrame->GetToolAction(res::ID_VIEW_TEMP_PV)->isChecked())
        << "the buttons agree with the new view and menu";

    // Choosing the language in force does nothing.
    CChildView* pCurrent = m_pFrame->GetView();
    WriteSettingText(QString(), QString::fromLatin1(settings::kEntryLangResourceDll), "mark");
    m_pFrame->OnCommand(res::ID_LANG_CHT);
    EXPECT_EQ(pCurrent, m_pFrame->GetView());
    EXPECT_EQ("mark", Tag());

    m_pFrame->OnCommand(res::ID_LANG_CHS);
    EXPECT_EQ(QString::fromUtf8("档案(&F)"), MenuTitle(0));
    EXPECT_EQ(QString::fromUtf8("保存使用中的文件"),
              m_pFrame->GetToolAction(res::ID_FILE_SAVE_AS)->statusTip());
}

TEST_F(MainFrame, LanguageSwitchFreesThePreviousMenus)
{
    Start();
    auto menus = [this] {
        return m_pFrame->menuBar()->findChildren<QMenu*>(Qt::FindDirectChildrenOnly);
    };
    const qsizetype nMenus = menus().size(); // the five popups and one of the bar's own
    const QPointer<QMenu> pOld = QMenu::menuInAction(m_pFrame->menuBar()->actions().front());
    ASSERT_FALSE(pOld.isNull());
    for (int nCommand : {res::ID_LANG_CHT, res::ID_LANG_CHS, res::ID_LANG_ENG}) {
        m_pFrame->OnCommand(nCommand);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(nMenus, menus().size()) << nCommand;
    }
    EXPECT_TRUE(pOld.isNull());
}

TEST_F(MainFrame, StoredTagAppliesAtStartAndAnUnknownOneIsIgnored)
{
    WriteSettingText(QString(), QString::fromLatin1(settings::kEntryLangResourceDll), "LangCHS");
    Start();
    EXPECT_EQ(QString::fromUtf8("档案(&F)"), MenuTitle(0));
    EXPECT_TRUE(m_pFrame->IsCommandChecked(res::ID_LANG_CHS));
    m_pFrame.reset();
    res::ResetInterfaceLanguage();
    WriteSettingText(QString(), QString::fromLatin1(settings::kEntryLangResourceDll), "langeng ");
    Start();
    EXPECT_EQ("File(&F)", MenuTitle(0));
    EXPECT_TRUE(m_pFrame->IsCommandChecked(res::ID_LANG_ENG)); // the template's own mark
    EXPECT_EQ("langeng ", Tag());
}

TEST_F(MainFrame, HiddenTitleStartsCheckedAndKeepsItsText)
{
    WriteSettingInt(QString(), "HideTitle", 0);
    WriteSettingText(QString(), "Title", "Chamber 3");
    Start();
    CStaticText* pTitle = m_pFrame->GetView()->GetLabel(res::IDC_TITLE);
    EXPECT_FALSE(pTitle->isVisible());
    EXPECT_EQ("Chamber 3", pTitle->text());
    EXPECT_TRUE(m_pFrame->IsCommandChecked(res::ID_SET_HIDE_TITLE));
}

TEST_F(MainFrame, CaptionsShowTheBackgroundPicture)
{
    Start();
    CChildView* pView = m_pFrame->GetView();
    const QImage shown = pView->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage& background = pView->GetBackgroundBuffer();
    ASSERT_FALSE(background.isNull());
    // The "View Setting" caption is centred in its box: left of its text, whatever the font
    // and the language the first start chose, the picture shows through, nothing painted over it.
    CStaticText* pCaption = nullptr;
    for (CStaticText* p : pView->findChildren<CStaticText*>()) {
        if (QStringList{"View Setting", QString::fromUtf8("顯示設定"),
                        QString::fromUtf8("显示设定")}
                .contains(p->text()))
            pCaption = p;
    }
    ASSERT_NE(nullptr, pCaption);
    const int nText = pCaption->fontMetrics().horizontalAdvance(pCaption->text());
    const QRect rcBare(pCaption->mapTo(pView, QPoint(0, 0)),
                       QSize((pCaption->width() - nText) / 2 - 2, pCaption->height()));
    ASSERT_GE(rcBare.width(), 5);
    int nSame = 0;
    for (int y = rcBare.top(); y <= rcBare.bottom(); ++y)
        for (int x = rcBare.left(); x <= rcBare.right(); ++x)
            nSame += shown.pixel(x, y) == background.pixel(x, y);
    EXPECT_EQ(rcBare.width() * rcBare.height(), nSame);
    EXPECT_EQ(qRgb(224, 223, 227), shown.pixel(5, 5));
}

QString AccessibleName(QObject* p)
{
    QAccessibleInterface* pAcc = QAccessible::queryAccessibleInterface(p);
    return pAcc ? pAcc->text(QAccessible::Name) : QString();
}

TEST_F(MainFrame, ButtonsReadoutsAndBoxesHaveNamesInTheActiveLanguage)
{
    struct CLanguage
    {
        int nCommand;
        const char* szOpenButton;
        const char* szTempPV;
        const char* szDate;
        const char* szSetPage;
        const char* szTotal;
        const char* szSetScale;
    };
    const CLanguage languages[] = {
        {res::ID_LANG_ENG, "Open file", "Temp PV", "Date", "Set Page", "Total", "Set Scale"},
        {res::ID_LANG_CHT, "開啟舊檔", "溫度 PV", "日期", "顯示頁碼", "總共", "顯示刻度"},
    };
    Start();
    for (const CLanguage& lang : languages) {
        m_pFrame->OnCommand(lang.nCommand);
        int nButtons = 0;
        for (QAction* pAction : m_pFrame->GetToolBar()->actions()) {
            auto* pButton =
                qobject_cast<QToolButton*>(m_pFrame->GetToolBar()->widgetForAction(pAction));
            if (!pButton || pAction->isSeparator())
                continue;
            ++nButtons;
            EXPECT_FALSE(pAction->toolTip().isEmpty());
            EXPECT_EQ(pAction->toolTip(), AccessibleName(pButton));
        }
        EXPECT_EQ(11, nButtons);
        EXPECT_EQ(QString::fromUtf8(lang.szOpenButton),
                  AccessibleName(m_pFrame->GetToolBar()->widgetForAction(
                      m_pFrame->GetToolAction(res::ID_FILE_OPEN))));

        // A readout's name says what it shows and then the value.
        CChildView* pView = m_pFrame->GetView();
        CStaticText* pTempPV = pView->GetLabel(res::IDC_TEMP_PV);
        EXPECT_EQ(QString::fromUtf8(lang.szTempPV) + ' ' + pTempPV->text(),
                  AccessibleName(pTempPV));
        pView->GetLabel(res::IDC_DATE)->SetText(QString());
        EXPECT_EQ(QString::fromUtf8(lang.szDate), AccessibleName(pView->GetLabel(res::IDC_DATE)));
        EXPECT_EQ(QString::fromUtf8(lang.szSetPage), AccessibleName(pView->GetPageBox()));
        EXPECT_EQ(QString::fromUtf8(lang.szTotal), AccessibleName(pView->GetTotalPagesBox()));
        EXPECT_FALSE(AccessibleName(pView->GetScaleBar()).isEmpty());
        // The drop-down list is labelled by its caption.
        const auto labels = QAccessible::queryAccessibleInterface(pView->GetScaleChoice())
                                ->relations(QAccessible::Label);
        ASSERT_EQ(1, labels.size());
        EXPECT_EQ(QString::fromUtf8(lang.szSetScale),
                  labels.constFirst().first->text(QAccessible::Name));
    }
}

// While a file is read, neither a language switch nor closing may take the view away.
TEST_F(MainFrame, LanguageWaitsWhileAFileIsRead)
{
    Start();
    CChildView* pView = m_pFrame->GetView();
    CFifoWriter fifo(m_profile.FilePath("slow.csv"));
    ASSERT_FIFO_MADE(fifo);
    bool bTried = false;
    fifo.WhenReaderArrives([&] {
        bTried = true;
        m_pFrame->OnCommand(res::ID_LANG_CHT);
        EXPECT_EQ(pView, m_pFrame->GetView());
        fifo.Write("Date,Time\n2026/03/02,00:00:00,1,2,3,4\n");
        fifo.Close();
    });
    EXPECT_TRUE(pView->OpenRecorderPath(m_profile.FilePath("slow.csv")));
    Pump();
    EXPECT_TRUE(bTried);
    EXPECT_EQ(pView, m_pFrame->GetView());
    EXPECT_EQ("File(&F)", MenuTitle(0));
    m_pFrame->OnCommand(res::ID_LANG_CHT);
    EXPECT_NE(pView, m_pFrame->GetView()) << "once read, the language switch works again";
}

TEST_F(MainFrame, CtrlCCopiesThePictureSaveAsWritesUnlessAnEditBoxHasTheKey)
{
    Start();
    const QString strCsv = m_profile.FilePath("copy.csv");
    QFile file(strCsv);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\r\n");
    for (int s = 0; s < 900; s += 30)
        file.write(QStringLiteral("2026/03/01,00:%1:%2,%3,40.00,55.00,60.00\r\n")
                       .arg(s / 60, 2, 10, QLatin1Char('0'))
                       .arg(s % 60, 2, 10, QLatin1Char('0'))
                       .arg(30 + s % 70)
                       .toLatin1());
    file.close();
    CChildView* pView = m_pFrame->GetView();
    ASSERT_TRUE(pView->OpenRecorderPath(strCsv));
    Pump();

    QClipboard* pClipboard = QApplication::clipboard();
    pClipboard->setText("before");
    QTest::keyClick(pView->GetPlot(), Qt::Key_C, Qt::ControlModifier);
    const QImage copied = pClipboard->image().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ("", pView->SavePicture(m_profile.FilePath("saved.png")));
    const QImage saved =
        QImage(m_profile.FilePath("saved.png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(), copied.size());
    EXPECT_TRUE(saved == copied) << "the copy differs from what Save as writes";

    // The page box copies its own text.
    QLineEdit* pPage = pView->GetPageBox();
    pPage->setFocus();
    pPage->selectAll();
    QTest::keyClick(pPage, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ("1", pClipboard->text());
    EXPECT_TRUE(pClipboard->image().isNull());

    // The menu's Copy Picture does the same as the key.
    pClipboard->clear();
    m_pFrame->GetMenuAction(res::ID_FILE_COPY_PICTURE)->trigger();
    EXPECT_TRUE(pClipboard->image().convertToFormat(QImage::Format_RGB32) == saved);
}

// The desktop's quit or a logout closes the frame during a load: the load is cancelled, the
// recording on screen stays as it was, and the frame closes.
TEST_F(MainFrame, CloseDuringALoadCancelsItAndCloses)
{
    Start();
    CChildView* pView = m_pFrame->GetView();
    CFifoWriter fifo(m_profile.FilePath("slow.csv"));
    ASSERT_FIFO_MADE(fifo);
    bool bClosed = false;
    fifo.WhenReaderArrives([&] { bClosed = m_pFrame->close(); });
    EXPECT_FALSE(pView->OpenRecorderPath(m_profile.FilePath("slow.csv")));
    EXPECT_TRUE(bClosed);
    EXPECT_FALSE(m_pFrame->isVisible());
    EXPECT_FALSE(pView->IsLoading());
    fifo.Close();
}

// While a file is read every command shows disabled, and a press on a curve button (a click,
// or an assistive tool's press) leaves the button agreeing with the menu.
TEST_F(MainFrame, CommandsShowDisabledDuringALoadAndButtonsStayInStep)
{
    Start();
    CChildView* pView = m_pFrame->GetView();
    QAction* pButton = m_pFrame->GetToolAction(res::ID_VIEW_TEMP_SV);
    QAction* pItem = m_pFrame->GetMenuAction(res::ID_VIEW_TEMP_SV);
    auto* pToolButton =
        qobject_cast<QToolButton*>(m_pFrame->GetToolBar()->widgetForAction(pButton));
    ASSERT_NE(nullptr, pToolButton);
    CFifoWriter fifo(m_profile.FilePath("slow.csv"));
    ASSERT_FIFO_MADE(fifo);
    bool bTried = false;
    fifo.WhenReaderArrives([&] {
        bTried = true;
        EXPECT_FALSE(pButton->isEnabled());
        EXPECT_FALSE(pItem->isEnabled());
        EXPECT_FALSE(m_pFrame->GetMenuAction(res::ID_FILE_OPEN)->isEnabled());
        QTest::mouseClick(pToolButton, Qt::LeftButton);
        pToolButton->click();
        EXPECT_EQ(pItem->isChecked(), pButton->isChecked());
        fifo.Write("Date,Time\n2026/03/02,00:00:00,1,2,3,4\n");
        fifo.Close();
    });
    EXPECT_TRUE(pView->OpenRecorderPath(m_profile.FilePath("slow.csv")));
    EXPECT_TRUE(bTried);
    EXPECT_TRUE(pButton->isEnabled());
    EXPECT_TRUE(pButton->isChecked());
    EXPECT_TRUE(pItem->isChecked());
    EXPECT_EQ(1, pView->GetPlot()->FindCurve("!101")->m_bVisible);
}

} // namespace

// A drag on the plot selects its seconds; Shift+click on a later page extends the selection;
// the status bar and the statistics window show it, pictures leave its band out, Esc clears.
TEST_F(MainFrame, DragSelectsSecondsShiftClickExtendsAndEscClears)
{
    const CTzGuard tz("UTC");
    Start();
    const QString strCsv = m_profile.FilePath("stretch.csv");
    QFile file(strCsv);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\r\n");
    for (int s = 0; s < 2000; ++s) // Temp PV is the second's index
        file.write(QStringLiteral("2026/05/04,%1:%2:%3,%4.00,40.00,55.00,60.00\r\n")
                       .arg(10 + s / 3600)
                       .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
                       .arg(s % 60, 2, 10, QLatin1Char('0'))
                       .arg(s)
                       .toLatin1());
    file.close();
    CChildView* pView = m_pFrame->GetView();
    ASSERT_TRUE(pView->OpenRecorderPath(strCsv));
    Pump();
    m_pFrame->GetMenuAction(res::ID_VIEW_STATISTICS)->trigger();
    const QTableWidget* pTable = pView->GetStatisticsWindow()->GetTable();
    const auto selected = [&](int nRow) {
        return pTable->item(nRow, CStatisticsWnd::kSelectionColumn)->text();
    };
    const QLabel* pStatus = m_pFrame->statusBar()->findChild<QLabel*>("selection");
    ASSERT_NE(nullptr, pStatus);
    CCurveCtrl* pPlot = pView->GetPlot();

    // A click that moves less than a few pixels selects nothing.
    QTest::mousePress(pPlot, Qt::LeftButton, Qt::NoModifier, QPoint(50, 200));
    QTest::mouseMove(pPlot, QPoint(52, 200));
    QTest::mouseRelease(pPlot, Qt::LeftButton, Qt::NoModifier, QPoint(52, 200));
    EXPECT_EQ("", pStatus->text());
    EXPECT_EQ("-", selected(0));

    // Right to left, ending past the plot's edge: the page's first second.
    QTest::mousePress(pPlot, Qt::LeftButton, Qt::NoModifier, QPoint(400, 200));
    QTest::mouseMove(pPlot, QPoint(200, 150));
    QTest::mouseMove(pPlot, QPoint(-30, 150));
    QTest::mouseRelease(pPlot, Qt::LeftButton, Qt::NoModifier, QPoint(-30, 150));
    EXPECT_EQ(QString::fromUtf8("2026-05-04 10:00:00 – 2026-05-04 10:06:40, 0:06:41"),
              pStatus->text());
    EXPECT_EQ("0.00", selected(0));
    EXPECT_EQ("400.00", selected(2));
    EXPECT_EQ("2026-05-04 10:06:40", selected(3));
    EXPECT_EQ("10:03:20", pView->GetLabel(res::IDC_TIME)->GetText())
        << "the readout follows the pointer over the plot during the drag";

    QTest::mouseClick(qobject_cast<QPushButton*>(pView->GetControl(res::IDC_NEXT_PAGE)),
                      Qt::LeftButton);
    const QImage plain = pView->TakePicture();
    QTest::mouseClick(pPlot, Qt::LeftButton, Qt::ShiftModifier, QPoint(60, 200));
    EXPECT_EQ(QString::fromUtf8("2026-05-04 10:00:00 – 2026-05-04 10:13:00, 0:13:01"),
              pStatus->text());
    EXPECT_EQ("780.00", selected(2));
    EXPECT_EQ("390.00", selected(4));
    EXPECT_TRUE(pView->TakePicture() == plain) << "the band must stay out of pictures";
    const QImage banded = pPlot->grab().toImage();

    // File > Export writes the selection, and never over the recording on screen.
    EXPECT_TRUE(pView->ExportTo(strCsv, 60).contains("never replaces")) << "refused";
    ASSERT_EQ("", pView->ExportTo(m_profile.FilePath("part.csv"), 60));
    QFile part(m_profile.FilePath("part.csv"));
    ASSERT_TRUE(part.open(QIODevice::ReadOnly));
    const QList<QByteArray> records = part.readAll().split('\n');
    ASSERT_EQ(1 + 14 + 1, records.size()) << "a header, seconds 0, 60 ... 780, and no more";
    EXPECT_EQ("2026/05/04,10:13:00,780,40,55,60\r", records[14]);

    QTest::keyClick(m_pFrame.get(), Qt::Key_Escape);
    EXPECT_EQ("", pStatus->text());
    EXPECT_EQ("-", selected(2));
    EXPECT_FALSE(pPlot->grab().toImage() == banded) << "the band shows on screen";
}
