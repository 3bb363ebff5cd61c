#include "settings/rangedlg.h"

#include "res/resource.h"
#include "res/resources.h"
#include "settings/dlgdata.h"
#include "settings/profile.h"
#include "settings/settingkeys.h"
#include "skin/editvalidator.h"

#include <QLineEdit>
#include <QMessageBox>

namespace {

struct CLimitBox
{
    int nId;
    int nMaxLength; // the lower temperature box admits the three characters of "-10"
    int nMin;
    int nMax;
};

// In the order the boxes are checked.
constexpr CLimitBox kBoxes[4] = {{res::IDC_MAX_TEMP, 2, -10, 20},
                                 {res::IDC_MIN_TEMP, 3, -10, 20},
                                 {res::IDC_MAX_HUMI, 2, 0, 10},
                                 {res::IDC_MIN_HUMI, 2, 0, 10}};

} // namespace

CRangeDlg::CRangeDlg(QWidget* pParent) : CTemplateDialog(res::IDD_LIMIT, pParent) {}

void CRangeDlg::OnInitDialog()
{
    const int* const members[4] = {&m_nMaxTemp, &m_nMinTemp, &m_nMaxHumi, &m_nMinHumi};
    for (int i = 0; i < 4; ++i) {
        if (QLineEdit* pBox = GetEdit(kBoxes[i].nId)) {
            pBox->setText(QString::number(*members[i]));
            LimitTyping(pBox, kBoxes[i].nMaxLength);
        }
    }
}

bool CRangeDlg::OnOK()
{
    int values[4] = {m_nMaxTemp, m_nMinTemp, m_nMaxHumi, m_nMinHumi};
    for (int i = 0; i < 4; ++i) {
        QLineEdit* pBox = GetEdit(kBoxes[i].nId);
        if (!pBox || !ExchangeInt(this, pBox, values[i], kBoxes[i].nMin, kBoxes[i].nMax))
            return false;
    }
    m_nMaxTemp = values[0];
    m_nMinTemp = values[1];
    m_nMaxHumi = values[2];
    m_nMinHumi = values[3];
    if (m_nMaxTemp <= m_nMinTemp || m_nMaxHumi <= m_nMinHumi) {
        QMessageBox::warning(this, res::LoadString(res::IDR_MAINFRAME),
                             res::LoadString(res::IDS_LIMIT_ORDER));
        return false;
    }
    const QString strSection = QString::fromLatin1(settings::kSectionLimit);
    WriteSettingInt(strSection, QString::fromLatin1(settings::kEntryMaxTemp), m_nMaxTemp * 10);
    WriteSettingInt(strSection, QString::fromLatin1(settings::kEntryMinTemp), m_nMinTemp * 10);
    WriteSettingInt(strSection, QString::fromLatin1(settings::kEntryMaxHumi), m_nMaxHumi * 10);
    WriteSettingInt(strSection, QString::fromLatin1(settings::kEntryMinHumi), m_nMinHumi * 10);
    return true;
}
