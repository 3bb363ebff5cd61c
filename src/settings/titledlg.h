// The Title dialog: one line of text shown above the plot.
#pragma once

#include "settings/templatedialog.h"

class CTitleDlg : public CTemplateDialog
{
    Q_OBJECT

public:
    explicit CTitleDlg(QWidget* pParent = nullptr);

    void SetTitle(QString strTitle) { m_strTitle = std::move(strTitle); }
    // Shows the stored title in the edit, whatever SetTitle gave.
    void OnInitDialog();

    QString m_strTitle;

protected:
    bool OnOK() override;
};
