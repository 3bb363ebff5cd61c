// The view's file work, one at a time: reading a recording or writing an export behind the
// load window. While it runs the view refuses commands, drops and a second file, and Cancel
// (the window's, or the view's CancelLoad) ends it.
#pragma once

#include "view/loadprogress.h"

#include <functional>

class QString;
class QWidget;

class CFileWork
{
public:
    // fnBusyChanged hears each start and end, so that commands change state.
    explicit CFileWork(std::function<void()> fnBusyChanged)
        : m_fnBusyChanged(std::move(fnBusyChanged))
    {
    }

    bool IsBusy() const { return m_bBusy; }
    void Cancel() { m_bCancel = true; }

    // Runs work as RunRecorderLoad does, the window under pParent saying strLabel; false when
    // it was cancelled, with result untouched.
    bool Run(QWidget* pParent, const QString& strLabel, const RecorderLoad& work,
             CLoadResult& result);

private:
    std::function<void()> m_fnBusyChanged;
    bool m_bBusy = false;
    bool m_bCancel = false;
};
