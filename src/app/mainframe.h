// The main window: menu, toolbar, status bar and the one main view, which it re-creates when
// the interface language changes.
#pragma once

#include "view/commandui.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

class CBitMapToolBar;
class CChildView;
class CUniformityWnd;
class QAction;
class QLabel;
class QMenu;

class CMainFrame : public QMainWindow, public ICommandUi
{
    Q_OBJECT

public:
    CMainFrame();
    ~CMainFrame() override;

    // Builds toolbar, status bar, menu and view; false if the frame cannot be made. Once the
    // event loop runs it opens the files openAtStart names (if any) as File > Open would, then
    // shows the about box.
    bool Create(const QStringList& openAtStart = QStringList());
    void RecreateMainView();

    // Runs a command: the view first, then the frame.
    void OnCommand(int nId);
    bool HasCommandHandler(int nId) const;
    // Enables exactly the actions whose command has a handler.
    void UpdateCommandStates();

    CChildView* GetView() const { return m_pView; }
    QAction* GetMenuAction(int nId) const { return m_menuActions.value(nId); }
    QAction* GetToolAction(int nId) const { return m_toolActions.value(nId); }
    CBitMapToolBar* GetToolBar() const { return m_pToolBar; }

    bool IsCommandChecked(int nId) const override;
    void SetCommandChecked(int nId, bool bChecked) override;
    void SetButtonChecked(int nId, bool bChecked) override;
    void LoadingChanged() override;
    void ShowReadLayout(const QString& strText) override;

protected:
    void closeEvent(QCloseEvent* pEvent) override;
    // Ctrl+C that no control took (an edit box takes it for its text) copies the picture.
    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    void BuildMenu();
    void BuildToolBar();
    void BuildStatusBar();
    void MarkLanguage();
    void OnLanguage(int nCommand);
    void OnAbout();
    void PressVisibilityButtons();
    // Status tips, tooltips and button names in the active language.
    void ApplyToolPrompts();
    void ShowSelection();
    // View > Uniformity: the window comparing the recordings shown, a window of the view's.
    void OnUniformity();

    CBitMapToolBar* m_pToolBar = nullptr;
    CChildView* m_pView = nullptr;
    QHash<int, QAction*> m_menuActions;
    QHash<int, QAction*> m_toolActions;
    QString m_strHelpFile;
    QLabel* m_pSelection = nullptr;  // status bar pane
    QLabel* m_pReadLayout = nullptr; // status bar pane: the layout of the file on screen
    QPointer<CUniformityWnd> m_pUniformity;
};
