#include "view/childview.h"

#include "curve/curvectrl.h"
#include "res/resource.h"
#include "settings/colordlg.h"
#include "settings/dlgdata.h"
#include "settings/rangedlg.h"
#include "settings/titledlg.h"
#include "skin/statictext.h"
#include "view/commandui.h"

#include "../guitest.h"

#include <gtest/gtest.h>

#include <QColorDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>

#include <cstdlib>

#include <map>
#include <vector>

namespace {

class CMenuState : public ICommandUi
{
public:
    bool IsCommandChecked(int nId) const override { return m_checked.count(nId) && m_checked.at(nId); }
    void SetCommandChecked(int nId, bool b) override { m_checked[nId] = b; }
    void SetButtonChecked(int nId, bool b) override { m_pressed[nId] = b; }
    std::map<int, bool> m_checked;
    std::map<int, bool> m_pressed;
};

TEST(DialogInput, LeadingWholeNumbers)
{
    EXPECT_EQ(12, ParseLeadingInt("12abc"));
    EXPECT_EQ(-4, ParseLeadingInt("  -4"));
    EXPECT_EQ(7, ParseLeadingInt("+7"));
    EXPECT_EQ(std::nullopt, ParseLeadingInt(""));
    EXPECT_EQ(std::nullopt, ParseLeadingInt("- 4"));
    EXPECT_EQ(std::nullopt, ParseLeadingInt("abc"));
    EXPECT_EQ(INT32_MAX, ParseLeadingInt("99999999999999999999")); // never wraps into range
    EXPECT_EQ(std::nullopt, ParseLeadingInt(QString(63, ' ') + "5")); // beyond what is read
    EXPECT_EQ(5u, ParseLeadingUInt(" 5px"));
    EXPECT_EQ(std::nullopt, ParseLeadingUInt("-5"));
    EXPECT_EQ(4294967295u, ParseLeadingUInt("4294967297"));
}

class SettingsCommands : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SeedSettings();
        m_view.show();
        m_view.OnInitialUpdate();
    }
    QString Text(int nId) const { return m_view.GetLabel(nId)->text(); }
    CCurve* Curve(const char* sz) const { return m_view.GetPlot()->FindCurve(sz); }

    // Runs a command whose dialog the handler fills in and closes.
    void Run(int nCommand, const std::function<void(QWidget*)>& handler)
    {
        CModalWatcher watcher(handler);
        m_view.OnCommand(nCommand);
    }

    void CheckFirstChoosersOfARun();

    CIsolatedProfile m_profile;
    CMenuState m_menu;
    CChildView m_view{&m_menu};
};

void SetBox(QWidget* pDialog, int nId, const char* szText)
{
    static_cast<CTemplateDialog*>(pDialog)->GetEdit(nId)->setText(QString::fromLatin1(szText));
}

// A message box: its text goes to strMessages, followed by '|', and it is closed. False for
// any other dialog.
bool TakeMessage(QWidget* p, QString& strMessages)
{
    auto* pBox = qobject_cast<QMessageBox*>(p);
    if (!pBox)
        return false;
    strMessages += pBox->text() + '|';
    pBox->close();
    return true;
}

void PressOk(QWidget* pDialog)
{
    static_cast<CTemplateDialog*>(pDialog)->GetControl(res::IDC_OK)->setFocus();
    // Queued: a refusal's message box must open in the dialog's own loop, not in the watcher.
    QMetaObject::invokeMethod(static_cast<CTemplateDialog*>(pDialog)->GetControl(res::IDC_OK),
                              "click", Qt::QueuedConnection);
}

TEST_F(SettingsCommands, LimitShowsTensAndStoresWhatOkConfirms)
{
    QStringList shown;
    Run(res::ID_SET_LIMIT, [&](QWidget* p) {
        auto* pDlg = qobject_cast<CRangeDlg*>(p);
        ASSERT_NE(nullptr, pDlg);
        for (int nId : {res::IDC_MAX_TEMP, res::IDC_MIN_TEMP, res::IDC_MAX_HUMI, res::IDC_MIN_HUMI})
            shown << pDlg->GetEdit(nId)->text();
        SetBox(p, res::IDC_MAX_TEMP, "15");
        SetBox(p, res::IDC_MIN_TEMP, "-10");
        PressOk(p);
    });
    EXPECT_EQ(QStringList({"16", "-4", "10", "0"}), shown);
    EXPECT_EQ(150, ReadSettingInt("Limit", "MaxTemp", 0));
    EXPECT_EQ(-100, ReadSettingInt("Limit", "MinTemp", 0));
    EXPECT_EQ(100, ReadSettingInt("Limit", "MaxHumi", 0));
    EXPECT_EQ("-100", Text(res::IDC_TEMP_AXIS0));
    EXPECT_EQ("-75", Text(res::IDC_TEMP_AXIS0 + 1));
    EXPECT_EQ("150", Text(res::IDC_TEMP_AXIS0 + 10));
    EXPECT_EQ(150.0f, Curve("!101")->m_fVertMax);
}

TEST_F(SettingsCommands, LimitRefusesBadBoxesAndKeepsTheDialogOpen)
{
    QString strMessages;
    bool bFocusOnBadBox = false;
    int nStep = 0;
    Run(res::ID_SET_LIMIT, [&](QWidget* p) {
        if (TakeMessage(p, strMessages))
            return;
        auto* pDlg = qobject_cast<CRangeDlg*>(p);
        ASSERT_NE(nullptr, pDlg);
        switch (nStep++) {
        case 0:
            SetBox(p, res::IDC_MAX_TEMP, "21");
            SetBox(p, res::IDC_MAX_HUMI, ""); // reported only after the temperature boxes
            PressOk(p);
            break;
        case 1:
            bFocusOnBadBox = pDlg->focusWidget() == pDlg->GetEdit(res::IDC_MAX_TEMP) &&
                             pDlg->GetEdit(res::IDC_MAX_TEMP)->selectedText() == "21";
            SetBox(p, res::IDC_MAX_TEMP, "5");
            SetBox(p, res::IDC_MIN_TEMP, "5");
            PressOk(p);
            break;
        case 2:
            SetBox(p, res::IDC_MAX_HUMI, "10");
            PressOk(p);
            break;
        default:
            pDlg->reject();
        }
    });
    const QStringList messages = strMessages.split('|', Qt::SkipEmptyParts);
    ASSERT_EQ(3, messages.size()) << strMessages.toStdString();
    EXPECT_EQ("Please enter an integer between -10 and 20.", messages[0]);
    EXPECT_TRUE(bFocusOnBadBox);
    EXPECT_EQ("Please enter an integer.", messages[1]);
    EXPECT_TRUE(messages[2].startsWith("Input error,up-limit must bigger than down-limit,"));
    EXPECT_EQ(160, ReadSettingInt("Limit", "MaxTemp", 0)) << "nothing stored";
    EXPECT_EQ("160", Text(res::IDC_TEMP_AXIS0 + 10));
}

TEST_F(SettingsCommands, ChosenColourIsStoredAtOnceButAppliedByOk)
{
    const std::uint32_t crOld = Curve("!101")->m_crColor;
    auto chooseForSwatch = [](QWidget* p, int nSwatch, QColor color) {
        QTimer::singleShot(30, [color] {
            auto* pChooser = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(nullptr, pChooser);
            pChooser->setCurrentColor(color);
            pChooser->accept();
        });
        static_cast<CColorDlg*>(p)->OnSwatch(nSwatch);
    };
    Run(res::ID_SET_COLOR, [&](QWidget* p) {
        chooseForSwatch(p, 2, QColor(0x12, 0x34, 0x56)); // Temp SV
        EXPECT_EQ(0x563412u, static_cast<CColorDlg*>(p)->GetSwatchColor(2));
        static_cast<QDialog*>(p)->reject();
    });
    EXPECT_EQ(0x563412, ReadSettingInt("Color", "!101", 0));
    EXPECT_EQ(crOld, Curve("!101")->m_crColor) << "Cancel applies nothing";

    Run(res::ID_SET_COLOR, [&](QWidget* p) { PressOk(p); });
    EXPECT_EQ(0x563412u, Curve("!101")->m_crColor);
    EXPECT_EQ(0x563412u, m_view.GetLabel(res::IDC_TEMP_SV)->m_crText);

    Run(res::ID_SET_COLOR, [&](QWidget* p) {
        chooseForSwatch(p, 0, QColor(0, 128, 0)); // Temp PV
        SetBox(p, res::IDC_WIDTH_TEMP_PV, "10");
        PressOk(p);
    });
    EXPECT_EQ(0x008000u, Curve("!100")->m_crColor);
    EXPECT_EQ(0x008000u, m_view.GetLabel(res::IDC_TEMP_AXIS0 + 7)->m_crText);
    EXPECT_EQ(0x008000u, m_view.GetLabel(res::IDC_TEMP_PV)->m_crText);
    EXPECT_EQ(10, Curve("!100")->m_nPenWidth);
    EXPECT_EQ(10, ReadSettingInt("Width", "!100", 0));
}

// The chooser and its custom colours last as long as the process: the run they are checked
// in is a process of its own, whatever ran before in this one.
TEST_F(SettingsCommands, CustomColoursAreSharedWithinTheRunAndNeverStored)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            CheckFirstChoosersOfARun();
            std::exit(HasFailure() ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

void SettingsCommands::CheckFirstChoosersOfARun()
{
    // The store in which Qt keeps the custom colours of all its programs, moved aside.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_profile.FilePath("qt"));
    const auto restore = qScopeGuard([] {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    });
    const QByteArray stored = "[Qt]\ncustomColors\\0=4294901760\n";
    const QString strQtStore = m_profile.FilePath("qt/QtProject.conf");
    ASSERT_TRUE(QDir().mkpath(m_profile.FilePath("qt")));
    {
        QFile file(strQtStore);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(stored);
    }
    auto customColours = [] {
        QList<QColor> colours;
        for (int i = 0; i < QColorDialog::customCount(); ++i)
            colours << QColorDialog::customColor(i);
        return colours;
    };
    const QColor green(0, 200, 0);
    QList<QColor> first;
    QList<QColor> second;
    int nChooser = 0;
    // The watcher's timer does not fire again while its handler runs: the chooser opened from
    // the dialog is answered by a timer of its own.
    auto answerChooser = [&] {
        QTimer::singleShot(30, [&] {
            auto* pChooser = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(nullptr, pChooser);
            if (nChooser++ == 0) {
                first = customColours();
                pChooser->setCurrentColor(green);
                for (QPushButton* pButton : pChooser->findChildren<QPushButton*>())
                    if (pButton->text() == QColorDialog::tr("&Add to Custom Colors"))
                        QTest::mouseClick(pButton, Qt::LeftButton);
                pChooser->accept();
            } else {
                second = customColours();
                pChooser->reject();
            }
        });
    };
    Run(res::ID_SET_COLOR, [&](QWidget* p) {
        auto* pDlg = static_cast<CColorDlg*>(p);
        for (int nSwatch : {res::IDC_SWATCH_TEMP_PV, res::IDC_SWATCH_HUMI_SV}) {
            QWidget* pSwatch = pDlg->GetControl(nSwatch);
            // Only the left button opens the chooser; one the others open is counted and
            // closed.
            QTimer guard;
            QObject::connect(&guard, &QTimer::timeout, [&] {
                if (auto* p = qobject_cast<QColorDialog*>(QApplication::activeModalWidget())) {
                    ++nChooser;
                    p->reject();
                }
            });
            guard.start(20);
            for (Qt::MouseButton eButton : {Qt::RightButton, Qt::MiddleButton})
                QTest::mouseClick(pSwatch, eButton, {}, pSwatch->rect().center());
            Pump(60);
            guard.stop();
            answerChooser();
            QTest::mouseClick(pSwatch, Qt::LeftButton, {}, pSwatch->rect().center());
        }
        pDlg->reject();
    });
    ASSERT_EQ(2, nChooser);
    EXPECT_EQ(QList<QColor>(16, Qt::white), first) << "white at the first chooser of a run";
    EXPECT_EQ(1, second.count(green)) << "offered again by the next chooser";
    EXPECT_EQ(0x00C800, ReadSettingInt("Color", "!100", 0));
    QFile file(strQtStore);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(stored, file.readAll()) << "Qt's shared custom colours are left alone";
}

TEST_F(SettingsCommands, WidthsOutsideOneToTenAreRefused)
{
    QString strMessages;
    int nStep = 0;
    Run(res::ID_SET_COLOR, [&](QWidget* p) {
        if (TakeMessage(p, strMessages))
            return;
        switch (nStep++) {
        case 0: SetBox(p, res::IDC_WIDTH_HUMI_SV, "0"); PressOk(p); break;
        case 1: SetBox(p, res::IDC_WIDTH_HUMI_SV, "11"); PressOk(p); break;
        case 2: SetBox(p, res::IDC_WIDTH_HUMI_SV, ""); PressOk(p); break;
        default: static_cast<QDialog*>(p)->reject();
        }
    });
    EXPECT_EQ("Please enter an integer between 1 and 10.|Please enter an integer between 1 and "
              "10.|Please enter a positive integer.|",
              strMessages);
    EXPECT_EQ(1, ReadSettingInt("Width", "!201", 0));
}

TEST_F(SettingsCommands, OnlyTheFirstBadWidthBoxInExchangeOrderIsReported)
{
    // Exchange order: 1040, 1042, 1041, 1043.
    struct CCase
    {
        std::vector<std::pair<int, const char*>> boxes;
        const char* szMessage;
        int nFocus;
    };
    const CCase cases[] = {
        {{{res::IDC_WIDTH_TEMP_SV, "0"}, {res::IDC_WIDTH_HUMI_PV, ""}},
         "Please enter a positive integer.",
         res::IDC_WIDTH_HUMI_PV},
        {{{res::IDC_WIDTH_TEMP_SV, "0"}, {res::IDC_WIDTH_HUMI_SV, ""}},
         "Please enter an integer between 1 and 10.",
         res::IDC_WIDTH_TEMP_SV},
        {{{res::IDC_WIDTH_HUMI_PV, "11"}, {res::IDC_WIDTH_TEMP_PV, "x"}},
         "Please enter a positive integer.",
         res::IDC_WIDTH_TEMP_PV},
    };
    for (const CCase& c : cases) {
        SCOPED_TRACE(c.szMessage);
        QString strMessages;
        bool bFocus = false;
        int nStep = 0;
        Run(res::ID_SET_COLOR, [&](QWidget* p) {
            if (TakeMessage(p, strMessages))
                return;
            auto* pDlg = static_cast<CTemplateDialog*>(p);
            if (nStep++ == 0) {
                for (const auto& [nId, szText] : c.boxes)
                    SetBox(p, nId, szText);
                PressOk(p);
            } else {
                bFocus = pDlg->focusWidget() == pDlg->GetEdit(c.nFocus);
                pDlg->reject();
            }
        });
        EXPECT_EQ(QString::fromLatin1(c.szMessage) + '|', strMessages);
        EXPECT_TRUE(bFocus);
    }
}

TEST_F(SettingsCommands, StoredValuesWiderThanTheBoxShowWholeAndOkRefusesThem)
{
    struct CCase
    {
        int nCommand;
        const char* szSection;
        const char* szEntry;
        int nStored;
        int nBox;
        const char* szShown;
        const char* szMessage;
    };
    const CCase cases[] = {
        {res::ID_SET_COLOR, "Width", "!100", 100, res::IDC_WIDTH_TEMP_PV, "100",
         "Please enter an integer between 1 and 10."},
        {res::ID_SET_LIMIT, "Limit", "MaxTemp", -150, res::IDC_MAX_TEMP, "-15",
         "Please enter an integer between -10 and 20."},
    };
    for (const CCase& c : cases) {
        SCOPED_TRACE(c.szShown);
        WriteSettingInt(c.szSection, c.szEntry, c.nStored);
        QString strShown;
        QString strAfterTyping;
        QString strRetyped;
        QString strMessages;
        int nStep = 0;
        Run(c.nCommand, [&](QWidget* p) {
            if (auto* pBox = qobject_cast<QMessageBox*>(p)) {
                strMessages += pBox->text();
                pBox->close();
                return;
            }
            QLineEdit* pBox = static_cast<CTemplateDialog*>(p)->GetEdit(c.nBox);
            if (nStep++ == 0) {
                strShown = pBox->text();
                pBox->end(false);
                QTest::keyClicks(pBox, "7"); // the box is full: nothing more can be typed
                strAfterTyping = pBox->text();
                PressOk(p);
            } else {
                pBox->selectAll();
                QTest::keyClicks(pBox, "123");
                strRetyped = pBox->text();
                static_cast<QDialog*>(p)->reject();
            }
        });
        EXPECT_EQ(c.szShown, strShown);
        EXPECT_EQ(c.szShown, strAfterTyping);
        EXPECT_EQ(c.szMessage, strMessages);
        EXPECT_EQ("12", strRetyped) << "two characters can be typed";
        EXPECT_EQ(c.nStored, ReadSettingInt(c.szSection, c.szEntry, 0));
    }
}

TEST_F(SettingsCommands, WidthBoxesTakeOnlyDigitsAsTyped)
{
    const struct
    {
        int nCommand;
        int nBox;
        const char* szTyped;
        const char* szShown;
    } cases[] = {
        {res::ID_SET_COLOR, res::IDC_WIDTH_TEMP_PV, "5a", "5"},
        {res::ID_SET_COLOR, res::IDC_WIDTH_HUMI_SV, "x-7 9", "79"},
        {res::ID_SET_LIMIT, res::IDC_MIN_TEMP, "-5a", "-5a"}, // the limit boxes take anything
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.szTyped);
        QString strShown;
        Run(c.nCommand, [&](QWidget* p) {
            QLineEdit* pBox = static_cast<CTemplateDialog*>(p)->GetEdit(c.nBox);
            pBox->clear();
            QTest::keyClicks(pBox, c.szTyped);
            strShown = pBox->text();
            static_cast<QDialog*>(p)->reject();
        });
        EXPECT_EQ(c.szShown, strShown);
    }
}

TEST_F(SettingsCommands, TitleAndHideTitle)
{
    Run(res::ID_SET_TITLE, [&](QWidget* p) {
        SetBox(p, res::IDC_TITLE_EDIT, "Oven 2, run 5");
        PressOk(p);
    });
    EXPECT_EQ("Oven 2, run 5", Text(res::IDC_TITLE));
    EXPECT_EQ("Oven 2, run 5", ReadSettingText("", "Title"));

    m_view.OnCommand(res::ID_SET_HIDE_TITLE);
    EXPECT_TRUE(m_menu.IsCommandChecked(res::ID_SET_HIDE_TITLE));
    EXPECT_FALSE(m_view.GetLabel(res::IDC_TITLE)->isVisible());
    EXPECT_EQ(0, ReadSettingInt("", "HideTitle", 1));
    m_view.OnCommand(res::ID_SET_HIDE_TITLE);
    EXPECT_TRUE(m_view.GetLabel(res::IDC_TITLE)->isVisible());
    EXPECT_EQ(1, ReadSettingInt("", "HideTitle", 0));

    Run(res::ID_SET_TITLE, [&](QWidget* p) {
        SetBox(p, res::IDC_TITLE_EDIT, "changed");
        static_cast<QDialog*>(p)->reject();
    });
    EXPECT_EQ("Oven 2, run 5", Text(res::IDC_TITLE));
}

TEST_F(SettingsCommands, VisibilityFollowsTheMenuMark)
{
    for (int nId : {res::ID_VIEW_TEMP_PV, res::ID_VIEW_HUMI_SV})
        m_menu.SetCommandChecked(nId, true);
    m_view.OnCommand(res::ID_VIEW_TEMP_PV);
    EXPECT_EQ(0, Curve("!100")->m_bVisible);
    EXPECT_FALSE(m_menu.m_pressed[res::ID_VIEW_TEMP_PV]);
    m_view.OnCommand(res::ID_VIEW_TEMP_PV);
    EXPECT_EQ(1, Curve("!100")->m_bVisible);
    EXPECT_TRUE(m_menu.m_pressed[res::ID_VIEW_TEMP_PV]);
    m_view.OnCommand(res::ID_VIEW_HUMI_SV);
    EXPECT_EQ(0, Curve("!201")->m_bVisible);
    EXPECT_EQ(1, Curve("!101")->m_bVisible);
}

} // namespace
