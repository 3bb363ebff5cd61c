// What the view needs of the frame: the check marks of the menu.
#pragma once

class ICommandUi
{
public:
    virtual ~ICommandUi() = default;
    virtual bool IsCommandChecked(int nId) const = 0;
    virtual void SetCommandChecked(int nId, bool bChecked) = 0;
};
