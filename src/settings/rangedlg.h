// The Limit dialog: the bottom and top of the temperature and humidity axes, in tens.
#pragma once

#include "settings/templatedialog.h"

class CRangeDlg : public CTemplateDialog
{
    Q_OBJECT

public:
    explicit CRangeDlg(QWidget* pParent = nullptr);

    // Puts the members into the boxes; call after setting them.
    void OnInitDialog();

    int m_nMaxTemp = 20;
    int m_nMinTemp = -10;
    int m_nMaxHumi = 10;
    int m_nMinHumi = 0;

protected:
    bool OnOK() override;
};
