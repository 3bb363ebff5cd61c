#include "settings/titledlg.h"

#include "res/resource.h"
#include "settings/profile.h"
#include "settings/settingkeys.h"

#include <QLineEdit>

CTitleDlg::CTitleDlg(QWidget* pParent) : CTemplateDialog(res::IDD_TITLE, pParent) {}

void CTitleDlg::OnInitDialog()
{
    if (QLineEdit* pEdit = GetEdit(res::IDC_TITLE_EDIT))
        pEdit->setText(ReadSettingText(QString(), QString::fromLatin1(settings::kEntryTitle)));
}

bool CTitleDlg::OnOK()
{
    if (QLineEdit* pEdit = GetEdit(res::IDC_TITLE_EDIT))
        m_strTitle = pEdit->text();
    WriteSettingText(QString(), QString::fromLatin1(settings::kEntryTitle), m_strTitle);
    return true;
}
