#include "view/filework.h"

bool CFileWork::Run(QWidget* pParent, const QString& strLabel, const RecorderLoad& work,
                    CLoadResult& result)
{
    m_bBusy = true;
    m_bCancel = false;
    if (m_fnBusyChanged)
        m_fnBusyChanged();
    const bool bFinished =
        RunRecorderLoad(pParent, strLabel, work, result, 500, [this] { return m_bCancel; });
    m_bBusy = false;
    if (m_fnBusyChanged)
        m_fnBusyChanged();
    return bFinished;
}
