#include "app/mainframe.h"

#include "app/aboutdlg.h"
#include "app/languagetags.h"
#include "res/resource.h"
#include "res/resources.h"
#include "settings/profile.h"
#include "settings/settingkeys.h"
#include "skin/bitmaptoolbar.h"
#include "view/childview.h"
#include "view/shownrecording.h"
#include "view/uniformitywnd.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

namespace {

// The backgrounds of the toolbar pictures, shown transparent.
constexpr std::uint32_t kSmallMask = 0xC0C0C0;
constexpr std::uint32_t kPictureMask = 0xE3DFE0;

// The view's four curve toggles: check buttons on the toolbar, checked items in the menu.
constexpr int kVisibilityCommands[4] = {res::ID_VIEW_TEMP_PV, res::ID_VIEW_HUMI_PV,
                                        res::ID_VIEW_TEMP_SV, res::ID_VIEW_HUMI_SV};

QString StoredLanguageTag()
{
    return ReadSettingText(QString(), QString::fromLatin1(settings::kEntryLangResourceDll));
}

// A command's prompt is "status text\ntooltip".
void ApplyPrompt(QAction* pAction, int nCommand)
{
    const QString strPrompt = res::LoadString(nCommand);
    const qsizetype nBreak = strPrompt.indexOf(QLatin1Char('\n'));
    pAction->setStatusTip(nBreak < 0 ? strPrompt : strPrompt.left(nBreak));
    pAction->setToolTip(nBreak < 0 ? QString() : strPrompt.mid(nBreak + 1));
}

} // namespace

CMainFrame::CMainFrame()
{
    // Caption, system menu and minimise box only: the frame follows the form's size.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
}

CMainFrame::~CMainFrame() = default;

bool CMainFrame::Create(const QStringList& openAtStart)
{
    setWindowTitle(res::LoadString(res::IDR_MAINFRAME));
    BuildToolBar();
    BuildStatusBar();
    BuildMenu();
    RecreateMainView();
    MarkLanguage();
    if (const QScreen* pScreen = QGuiApplication::primaryScreen()) {
        QRect rc = frameGeometry();
        rc.moveCenter(pScreen->availableGeometry().center());
        move(rc.topLeft());
    }
    // Once the event loop runs: the file named at start, then the about box, which opens at
    // every start. The file comes first so that its progress and messages do not stack on
    // the modal about box, and the recording is on screen when the box closes.
    QTimer::singleShot(0, this, [this, openAtStart] {
        if (!openAtStart.isEmpty() && m_pView)
            m_pView->OpenRecorderPaths(openAtStart);
        OnCommand(res::ID_APP_ABOUT);
    });
    return true;
}

void CMainFrame::BuildToolBar()
{
    m_pToolBar = new CBitMapToolBar(this);
    m_pToolBar->setObjectName(QStringLiteral("toolbar"));
    m_pToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    addToolBar(Qt::TopToolBarArea, m_pToolBar);
    for (const int nCommand : res::ToolbarCommands()) {
        if (nCommand == 0) {
            m_pToolBar->addSeparator();
            continue;
        }
        QAction* pAction = m_pToolBar->addAction(QString());
        pAction->setData(nCommand);
        connect(pAction, &QAction::triggered, this, [this, pAction, nCommand] {
            // As in the menu: the command sets the pressed look, a refused one leaves it.
            if (pAction->isCheckable())
                pAction->setChecked(!pAction->isChecked());
            OnCommand(nCommand);
        });
        m_toolActions.insert(nCommand, pAction);
    }
    // The small pictures stand in if the large ones cannot be loaded.
    m_pToolBar->LoadButtonImages(QImage(QStringLiteral(":/images/bitmap128.png")), kSmallMask);
    m_pToolBar->ClearDisabledImages();
    const QImage pictures(QStringLiteral(":/images/bitmap131.png"));
    if (!pictures.isNull())
        m_pToolBar->LoadButtonImages(pictures, kPictureMask);
    for (const int nCommand : kVisibilityCommands) {
        if (QAction* p = m_toolActions.value(nCommand))
            p->setCheckable(true);
    }
    ApplyToolPrompts();
    PressVisibilityButtons();
}

void CMainFrame::ApplyToolPrompts()
{
    for (QAction* p : std::as_const(m_toolActions)) {
        ApplyPrompt(p, p->data().toInt());
        // A button that shows only a picture has no name for assistive technology unless it
        // is given one: its command's tooltip.
        if (QWidget* pButton = m_pToolBar->widgetForAction(p))
            pButton->setAccessibleName(p->toolTip());
    }
}

void CMainFrame::PressVisibilityButtons()
{
    for (const int nCommand : kVisibilityCommands) {
        if (QAction* p = m_toolActions.value(nCommand))
            p->setChecked(true);
    }
}

void CMainFrame::BuildStatusBar()
{
    QStatusBar* pStatus = statusBar();
    pStatus->setSizeGripEnabled(false);
    for (const char* szPane : {"CAP", "NUM", "SCRL"}) {
        auto* pLabel = new QLabel(QString::fromLatin1(szPane), pStatus);
        pLabel->setEnabled(false); // key states are not readable portably
        pLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        pStatus->addPermanentWidget(pLabel);
    }
    // The selection's first and last second and its duration, while there is one.
    m_pSelection = new QLabel(pStatus);
    m_pSelection->setObjectName(QStringLiteral("selection"));
    pStatus->insertPermanentWidget(0, m_pSelection);
    // The layout a file of another logger was read by.
    m_pReadLayout = new QLabel(pStatus);
    m_pReadLayout->setObjectName(QStringLiteral("layout"));
    pStatus->insertPermanentWidget(0, m_pReadLayout);
}

void CMainFrame::ShowReadLayout(const QString& strText)
{
    m_pReadLayout->setText(strText);
}

void CMainFrame::ShowSelection()
{
    m_pSelection->setText(m_pView ? m_pView->SelectionText() : QString());
}

void CMainFrame::BuildMenu()
{
    QMenuBar* pBar = menuBar();
    // clear() only removes the popups' actions from the bar; the menus of the previous
    // language are freed here. Later, not at once: a Language command runs from one of them.
    QList<QMenu*> oldMenus;
    for (QAction* pAction : pBar->actions())
        if (QMenu* pMenu = QMenu::menuInAction(pAction))
            oldMenus.append(pMenu);
    pBar->clear();
    for (QMenu* pOld : oldMenus)
        pOld->deleteLater();
    m_menuActions.clear();
    for (const res::CMenuPopupDef& popup : res::LoadMenu(res::IDR_MAINFRAME)) {
        QMenu* pMenu = pBar->addMenu(popup.strText);
        connect(pMenu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
        for (const res::CMenuItemDef& item : popup.items) {
            if (item.nCommand == 0) {
                pMenu->addSeparator();
                continue;
            }
            QAction* pAction = pMenu->addAction(item.strText);
            const int nCommand = item.nCommand;
            pAction->setData(nCommand);
            // Marks are set by the program; a click only runs the command.
            pAction->setCheckable(item.bChecked);
            pAction->setChecked(item.bChecked);
            ApplyPrompt(pAction, nCommand);
            // Within the main window only; an edit box with the focus copies its own text.
            if (nCommand == res::ID_FILE_COPY_PICTURE)
                pAction->setShortcut(QKeySequence::Copy);
            connect(pAction, &QAction::triggered, this, [this, pAction, nCommand] {
                if (pAction->isCheckable())
                    pAction->setChecked(!pAction->isChecked()); // undo Qt's own toggle
                OnCommand(nCommand);
            });
            m_menuActions.insert(nCommand, pAction);
        }
    }
    UpdateCommandStates();
}

bool CMainFrame::IsCommandChecked(int nId) const
{
    const QAction* p = m_menuActions.value(nId);
    return p && p->isChecked();
}

void CMainFrame::SetCommandChecked(int nId, bool bChecked)
{
    if (QAction* p = m_menuActions.value(nId)) {
        p->setCheckable(true);
        p->setChecked(bChecked);
    }
}

void CMainFrame::SetButtonChecked(int nId, bool bChecked)
{
    if (QAction* p = m_toolActions.value(nId))
        p->setChecked(bChecked);
}

void CMainFrame::MarkLanguage()
{
    for (const CLanguageTag& tag : kLanguageTags) {
        if (StoredLanguageTag() != QLatin1String(tag.szTag))
            continue;
        for (const CLanguageTag& other : kLanguageTags)
            SetCommandChecked(other.nCommand, other.nCommand == tag.nCommand);
        m_strHelpFile = QString::fromLatin1(tag.szHelpFile);
        return;
    }
}

void CMainFrame::RecreateMainView()
{
    if (m_pView) {
        m_pView->hide();
        m_pView->deleteLater();
        m_pView = nullptr;
    }
    setUpdatesEnabled(false);
    m_pView = new CChildView(this, this);
    connect(m_pView->GetShown(), &CShownRecording::SelectionChanged, this,
            &CMainFrame::ShowSelection);
    setCentralWidget(m_pView);
    m_pView->show();
    m_pView->OnInitialUpdate();
    setUpdatesEnabled(true);
    // The frame's client area is exactly the form's design size.
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    adjustSize();
    setFixedSize(sizeHint());
    UpdateCommandStates();
    ShowSelection();
    m_pView->update();
}

bool CMainFrame::HasCommandHandler(int nId) const
{
    switch (nId) {
    case res::ID_LANG_CHT:
    case res::ID_LANG_CHS:
    case res::ID_LANG_ENG:
    case res::ID_APP_ABOUT:
    case res::ID_APP_EXIT:
        return true;
    case res::ID_VIEW_UNIFORMITY: // compares two or more recordings
        return m_pView && m_pView->GetShown() && m_pView->GetShown()->Set().GetCount() >= 2;
    default:
        return m_pView && m_pView->HasCommand(nId);
    }
}

void CMainFrame::UpdateCommandStates()
{
    // While a file is read every command is refused (see OnCommand), and shows it.
    const bool bLoading = m_pView && m_pView->IsLoading();
    for (QAction* p : std::as_const(m_menuActions))
        p->setEnabled(!bLoading && HasCommandHandler(p->data().toInt()));
    for (QAction* p : std::as_const(m_toolActions))
        p->setEnabled(!bLoading && HasCommandHandler(p->data().toInt()));
}

void CMainFrame::LoadingChanged()
{
    UpdateCommandStates();
}

void CMainFrame::OnCommand(int nId)
{
    // A file being read belongs to the view: nothing may change or replace it meanwhile.
    if (m_pView && m_pView->IsLoading())
        return;
    if (m_pView && m_pView->OnCommand(nId))
        return;
    switch (nId) {
    case res::ID_LANG_CHT:
    case res::ID_LANG_CHS:
    case res::ID_LANG_ENG:
        OnLanguage(nId);
        break;
    case res::ID_APP_ABOUT:
        OnAbout();
        break;
    case res::ID_APP_EXIT:
        close();
        break;
    case res::ID_VIEW_UNIFORMITY:
        OnUniformity();
        break;
    default:
        break;
    }
}

void CMainFrame::OnUniformity()
{
    if (!HasCommandHandler(res::ID_VIEW_UNIFORMITY))
        return;
    // A window of the view's: it goes with the view it compares the recordings of.
    if (!m_pUniformity) {
        m_pUniformity = new CUniformityWnd(m_pView->GetShown(), m_pView);
        m_pUniformity->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_pUniformity->show();
    m_pUniformity->raise();
    m_pUniformity->activateWindow();
}

void CMainFrame::closeEvent(QCloseEvent* pEvent)
{
    // Quitting, or the session ending, during a load: the load is cancelled and the frame
    // closes; the program quits once the load has returned.
    if (m_pView && m_pView->IsLoading())
        m_pView->CancelLoad();
    QMainWindow::closeEvent(pEvent);
}

void CMainFrame::keyPressEvent(QKeyEvent* pEvent)
{
    // The menu item's shortcut gets the key first where the window is active; this catches
    // it where Qt routes the key without the shortcut, so the picture is copied either way.
    if (pEvent->matches(QKeySequence::Copy) && HasCommandHandler(res::ID_FILE_COPY_PICTURE)) {
        OnCommand(res::ID_FILE_COPY_PICTURE);
        pEvent->accept();
        return;
    }
    // Esc that no control took (a drop-down list closes its popup with it) clears the selection.
    if (pEvent->key() == Qt::Key_Escape && pEvent->modifiers() == Qt::NoModifier) {
        OnCommand(res::ID_VIEW_CLEAR_SELECTION);
        pEvent->accept();
        return;
    }
    QMainWindow::keyPressEvent(pEvent);
}

void CMainFrame::OnAbout()
{
    CAboutDlg dlg(this);
    dlg.exec();
}

void CMainFrame::OnLanguage(int nCommand)
{
    if (IsCommandChecked(nCommand))
        return; // already in force
    for (const CLanguageTag& tag : kLanguageTags) {
        if (tag.nCommand != nCommand)
            continue;
        WriteSettingText(QString(), QString::fromLatin1(settings::kEntryLangResourceDll),
                         QString::fromLatin1(tag.szTag));
        res::ApplyInterfaceLanguage(tag.nLangId);
        break;
    }
    BuildMenu();
    for (const int nId : {res::ID_LANG_CHT, res::ID_LANG_ENG, res::ID_LANG_CHS})
        SetCommandChecked(nId, nId == nCommand);
    ApplyToolPrompts();
    RecreateMainView();
    // The new view shows all four curves and the new menu checks them: the buttons agree.
    PressVisibilityButtons();
}
