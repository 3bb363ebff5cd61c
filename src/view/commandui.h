// What the view needs of the frame: the check marks of the menu and the pressed look of the
// toolbar's check buttons.
#pragma once

class QString;

class ICommandUi
{
public:
    virtual ~ICommandUi() = default;
    virtual bool IsCommandChecked(int nId) const = 0;
    virtual void SetCommandChecked(int nId, bool bChecked) = 0;
    virtual void SetButtonChecked(int nId, bool bChecked) = 0;
    // A file began or ended being read: commands the view refuses meanwhile change state.
    virtual void LoadingChanged() {}
    // How the file on screen was read, for the status bar; empty for the recorder's own files.
    virtual void ShowReadLayout(const QString& strText) { (void)strText; }
};
