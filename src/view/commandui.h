// What the view needs of the frame: the check marks of the menu and the pressed look of the
// toolbar's check buttons.
#pragma once

class ICommandUi
{
public:
    virtual ~ICommandUi() = default;
    virtual bool IsCommandChecked(int nId) const = 0;
    virtual void SetCommandChecked(int nId, bool bChecked) = 0;
    virtual void SetButtonChecked(int nId, bool bChecked) = 0;
    // A file began or ended being read: commands the view refuses meanwhile change state.
    virtual void LoadingChanged() {}
};
