// The settings commands of the main view: curve visibility, limits, colours and widths,
// background colour, title.
#include "curve/curvectrl.h"
#include "res/colorref.h"
#include "res/resource.h"
#include "settings/colorchooser.h"
#include "settings/colordlg.h"
#include "settings/profile.h"
#include "settings/rangedlg.h"
#include "settings/settingkeys.h"
#include "settings/titledlg.h"
#include "skin/statictext.h"
#include "view/childview.h"
#include "view/commandui.h"
#include "view/curvekeys.h"

namespace {

const char* CurveKeyOfCommand(int nCommand)
{
    switch (nCommand) {
    case res::ID_VIEW_TEMP_PV:
        return kKeyTempPV;
    case res::ID_VIEW_HUMI_PV:
        return kKeyHumiPV;
    case res::ID_VIEW_TEMP_SV:
        return kKeyTempSV;
    case res::ID_VIEW_HUMI_SV:
        return kKeyHumiSV;
    default:
        return nullptr;
    }
}

int ReadLimit(const char* szEntry)
{
    return ReadSettingInt(QString::fromLatin1(settings::kSectionLimit),
                          QString::fromLatin1(szEntry), 0);
}

} // namespace

void CChildView::OnToggleCurve(int nCommand)
{
    // The menu's mark is the state; the toolbar button and the curve follow it.
    if (!m_pUi)
        return;
    const bool bShow = !m_pUi->IsCommandChecked(nCommand);
    m_pUi->SetCommandChecked(nCommand, bShow);
    m_pUi->SetButtonChecked(nCommand, bShow);
    if (const char* szKey = CurveKeyOfCommand(nCommand))
        m_pPlot->ShowCurve(m_pPlot->FindCurve(szKey), bShow);
    RebuildMemberCurves();
    m_pPlot->update();
}

void CChildView::OnLimit()
{
    CRangeDlg dlg(this);
    // The boxes hold tens, cut toward zero: a stored -45 shows as -4.
    dlg.m_nMaxTemp = ReadLimit(settings::kEntryMaxTemp) / 10;
    dlg.m_nMinTemp = ReadLimit(settings::kEntryMinTemp) / 10;
    dlg.m_nMaxHumi = ReadLimit(settings::kEntryMaxHumi) / 10;
    dlg.m_nMinHumi = ReadLimit(settings::kEntryMinHumi) / 10;
    dlg.OnInitDialog();
    if (dlg.exec() != QDialog::Accepted)
        return;
    UpdateVerticalAxes(dlg.m_nMaxTemp * 10, dlg.m_nMinTemp * 10, dlg.m_nMaxHumi * 10,
                       dlg.m_nMinHumi * 10);
    m_pPlot->update();
}

void CChildView::OnCurveColor()
{
    CColorDlg dlg(this);
    dlg.OnInitDialog();
    if (dlg.exec() != QDialog::Accepted)
        return;
    const QString strColor = QString::fromLatin1(settings::kSectionColor);
    const QString strWidth = QString::fromLatin1(settings::kSectionWidth);
    std::uint32_t crColor[4];
    for (int i = 0; i < 4; ++i) {
        const QString strKey = QString::fromLatin1(kCurveOrder[i]);
        crColor[i] = static_cast<std::uint32_t>(ReadSettingInt(strColor, strKey, 0));
        m_pPlot->SetCurveColor(m_pPlot->FindCurve(strKey), crColor[i]);
    }
    for (int i = 0; i < 4; ++i) {
        const QString strKey = QString::fromLatin1(kCurveOrder[i]);
        m_pPlot->SetCurveWidth(m_pPlot->FindCurve(strKey), ReadSettingInt(strWidth, strKey, 1));
    }
    RebuildMemberCurves();
    // Readouts in curve order Temp PV, Humi PV, Temp SV, Humi SV.
    const struct
    {
        int nId;
        int nPointSize;
    } readouts[4] = {{res::IDC_TEMP_PV, 340},
                     {res::IDC_HUMI_PV, 340},
                     {res::IDC_TEMP_SV, 140},
                     {res::IDC_HUMI_SV, 140}};
    for (int i = 0; i < 4; ++i) {
        CStaticText* pLabel = GetLabel(readouts[i].nId);
        pLabel->SetFontSize(readouts[i].nPointSize);
        pLabel->m_crText = crColor[i];
        pLabel->update();
    }
    for (CStaticText* p : m_arrTempAxis) {
        p->m_crText = crColor[0];
        p->update();
    }
    for (CStaticText* p : m_arrHumiAxis) {
        p->m_crText = crColor[1];
        p->update();
    }
    m_pPlot->update();
}

void CChildView::OnBackgroundColor()
{
    std::uint32_t crChosen = 0;
    if (!ChooseColor(this, crChosen))
        return;
    WriteSettingInt(QString(), QString::fromLatin1(settings::kEntryBkColor),
                    static_cast<int>(crChosen));
    m_pPlot->m_brBack = QBrush(ColorFromRef(crChosen));
    m_pPlot->update();
}

void CChildView::OnTitle()
{
    CStaticText* pTitle = GetLabel(res::IDC_TITLE);
    CTitleDlg dlg(this);
    dlg.SetTitle(pTitle->text());
    dlg.OnInitDialog();
    if (dlg.exec() != QDialog::Accepted)
        return;
    pTitle->SetText(dlg.m_strTitle);
}

void CChildView::OnHideTitle()
{
    if (!m_pUi)
        return;
    const bool bHide = !m_pUi->IsCommandChecked(res::ID_SET_HIDE_TITLE);
    m_pUi->SetCommandChecked(res::ID_SET_HIDE_TITLE, bHide);
    GetLabel(res::IDC_TITLE)->setVisible(!bHide);
    // Stored the other way round: 1 while the title is shown.
    WriteSettingInt(QString(), QString::fromLatin1(settings::kEntryHideTitle), bHide ? 0 : 1);
}
