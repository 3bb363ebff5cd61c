#include "settings/colordlg.h"

#include "res/colorref.h"
#include "res/resource.h"
#include "settings/colorchooser.h"
#include "settings/dlgdata.h"
#include "settings/profile.h"
#include "settings/settingkeys.h"
#include "skin/editvalidator.h"

#include <QEvent>
#include <QLineEdit>
#include <QMouseEvent>

namespace {

// In the order of the members: Temp PV, Humi PV, Temp SV, Humi SV.
constexpr const char* kKeys[4] = {settings::kEntryTempPv, settings::kEntryHumiPv,
                                  settings::kEntryTempSv, settings::kEntryHumiSv};
constexpr int kSwatchIds[4] = {res::IDC_SWATCH_TEMP_PV, res::IDC_SWATCH_HUMI_PV,
                               res::IDC_SWATCH_TEMP_SV, res::IDC_SWATCH_HUMI_SV};
constexpr int kWidthIds[4] = {res::IDC_WIDTH_TEMP_PV, res::IDC_WIDTH_HUMI_PV,
                              res::IDC_WIDTH_TEMP_SV, res::IDC_WIDTH_HUMI_SV};
constexpr unsigned kMinWidth = 1;
constexpr unsigned kMaxWidth = 10;

} // namespace

CColorDlg::CColorDlg(QWidget* pParent) : CTemplateDialog(res::IDD_COLOR, pParent)
{
    const QString strSection = QString::fromLatin1(settings::kSectionWidth);
    for (int i = 0; i < 4; ++i)
        m_nWidth[i] = static_cast<unsigned>(
            ReadSettingInt(strSection, QString::fromLatin1(kKeys[i]), 1));
    for (int i = 0; i < 4; ++i)
        if (QWidget* pSwatch = GetControl(kSwatchIds[i])) {
            pSwatch->installEventFilter(this);
            pSwatch->setCursor(Qt::PointingHandCursor);
        }
}

void CColorDlg::OnInitDialog()
{
    for (int i = 0; i < 4; ++i) {
        if (QLineEdit* pBox = GetEdit(kWidthIds[i])) {
            pBox->setText(QString::number(m_nWidth[i]));
            LimitTyping(pBox, 2);
        }
    }
    const QString strSection = QString::fromLatin1(settings::kSectionColor);
    for (int i = 0; i < 4; ++i) {
        m_crSwatch[i] = static_cast<std::uint32_t>(
            ReadSettingInt(strSection, QString::fromLatin1(kKeys[i]), 0));
        PaintSwatch(i);
    }
}

void CColorDlg::PaintSwatch(int i)
{
    QWidget* pSwatch = GetControl(kSwatchIds[i]);
    if (!pSwatch)
        return;
    QPalette palette = pSwatch->palette();
    palette.setColor(QPalette::Window, ColorFromRef(m_crSwatch[i]));
    pSwatch->setPalette(palette);
    pSwatch->setAutoFillBackground(true);
    pSwatch->update();
}

void CColorDlg::OnSwatch(int i)
{
    std::uint32_t crChosen = 0;
    if (!ChooseColor(this, crChosen))
        return;
    WriteSettingInt(QString::fromLatin1(settings::kSectionColor), QString::fromLatin1(kKeys[i]),
                    static_cast<int>(crChosen));
    m_crSwatch[i] = crChosen;
    PaintSwatch(i);
}

bool CColorDlg::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    // A swatch is clicked with the left button; the others open nothing.
    if (pEvent->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(pEvent)->button() == Qt::LeftButton) {
        for (int i = 0; i < 4; ++i) {
            if (pWatched == GetControl(kSwatchIds[i])) {
                OnSwatch(i);
                return true;
            }
        }
    }
    return CTemplateDialog::eventFilter(pWatched, pEvent);
}

bool CColorDlg::OnOK()
{
    unsigned widths[4];
    std::copy(std::begin(m_nWidth), std::end(m_nWidth), widths);
    // Checked in member order (1040, 1042, 1041, 1043), not top to bottom: the first failing
    // box in that order is the one reported.
    for (int i = 0; i < 4; ++i) {
        QLineEdit* pBox = GetEdit(kWidthIds[i]);
        if (!pBox || !ExchangeUInt(this, pBox, widths[i], kMinWidth, kMaxWidth))
            return false;
    }
    std::copy(std::begin(widths), std::end(widths), m_nWidth);
    const QString strSection = QString::fromLatin1(settings::kSectionWidth);
    for (int i = 0; i < 4; ++i)
        WriteSettingInt(strSection, QString::fromLatin1(kKeys[i]), static_cast<int>(m_nWidth[i]));
    return true;
}
