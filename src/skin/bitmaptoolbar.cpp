#include "skin/bitmaptoolbar.h"

#include "res/colorref.h"
#include "skin/enbitmap.h"
#include "skin/syscolors.h"

#include <QAction>
#include <QIcon>
#include <QPainter>
#include <QStyleOptionToolBar>

#include <algorithm>

namespace {

// Space the button adds around its picture, in each direction.
constexpr int kButtonMargin = 7;

// Pixels of exactly the mask colour become transparent; kNoMaskColor matches none.
QImage WithMaskTransparent(const QImage& image, std::uint32_t crMask)
{
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    if (crMask == kNoMaskColor)
        return result;
    const QRgb rgbMask = ColorFromRef(crMask).rgb();
    for (int y = 0; y < result.height(); ++y) {
        QRgb* pLine = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            if ((pLine[x] & RGB_MASK) == (rgbMask & RGB_MASK))
                pLine[x] = 0;
        }
    }
    return result;
}

std::vector<QPixmap> CutImages(const QImage& strip, QSize sizeImage, int nCount)
{
    std::vector<QPixmap> list;
    list.reserve(static_cast<std::size_t>(nCount));
    for (int k = 0; k < nCount; ++k)
        list.push_back(QPixmap::fromImage(
            strip.copy(k * sizeImage.width(), 0, sizeImage.width(), sizeImage.height())));
    return list;
}

} // namespace

CBitMapToolBar::CBitMapToolBar(QWidget* pParent) : QToolBar(pParent) {}

CBitMapToolBar::CBitMapToolBar(const QString& strTitle, QWidget* pParent)
    : QToolBar(strTitle, pParent)
{
}

bool CBitMapToolBar::ClearDisabledImages()
{
    m_listDisabled.clear();
    ApplyIcons();
    return true;
}

bool CBitMapToolBar::LoadButtonImages(const QImage& bitmap, std::uint32_t crMask)
{
    const QList<QAction*> buttons = ImageButtons();
    const int nButtons = static_cast<int>(buttons.size());
    if (nButtons == 0 || bitmap.isNull())
        return false;
    const QSize sizeImage(bitmap.width() / nButtons, bitmap.height());
    if (sizeImage.isEmpty())
        return false;

    m_sizeImage = sizeImage;
    setIconSize(sizeImage);
    const QSize sizeButton = sizeImage + QSize(kButtonMargin, kButtonMargin);
    for (QAction* pAction : buttons) {
        if (QWidget* pButton = widgetForAction(pAction))
            pButton->setFixedSize(sizeButton);
    }

    m_listNormal = CutImages(WithMaskTransparent(bitmap, crMask), sizeImage, nButtons);
    m_listDisabled.clear();
    BuildDisabledImages(bitmap, crMask);
    ApplyIcons();
    return true;
}

// Every system Qt runs on counts as a current one, so the processed pictures are always
// built; when that fails the style's own disabled look stays.
void CBitMapToolBar::BuildDisabledImages(const QImage& bitmap, std::uint32_t crMask)
{
    CEnBitmapEx work;
    if (!work.CopyFrom(bitmap))
        return;

    CImageSysColorMapper mapper;
    CImageGrayer grayer(0.33, 0.33, 0.33, false);
    CImageLightener lightener(0.2);
    CImageContraster contraster(-50);
    CImageTinter tinter(SysColorRef(ESysColor::ButtonShadow), 10);
    C32BitImageProcessor* arrChain[] = {&mapper, &grayer, &lightener, &contraster, &tinter};
    if (!work.RunProcessors(arrChain, crMask))
        return;
    // The mask pixels came through the chain unchanged; the disabled pictures have no
    // transparency, so they take the button face instead. Without a mask there is nothing
    // to replace (kNoMaskColor would otherwise be read as white).
    if (crMask != kNoMaskColor && !work.ReplaceOneColor(crMask, SysColorRef(ESysColor::ButtonFace)))
        return;
    m_listDisabled = CutImages(work.GetImage(), m_sizeImage, static_cast<int>(m_listNormal.size()));
}

QList<QAction*> CBitMapToolBar::ImageButtons() const
{
    QList<QAction*> buttons;
    for (QAction* pAction : actions()) {
        if (!pAction->isSeparator())
            buttons.append(pAction);
    }
    return buttons;
}

void CBitMapToolBar::ApplyIcons()
{
    if (m_listNormal.empty())
        return;
    const QList<QAction*> buttons = ImageButtons();
    // Buttons added after the pictures were cut have none and keep their own icon.
    const qsizetype nImages = static_cast<qsizetype>(m_listNormal.size());
    for (qsizetype k = 0; k < std::min(buttons.size(), nImages); ++k) {
        const auto nIndex = static_cast<std::size_t>(k);
        QIcon icon;
        icon.addPixmap(m_listNormal[nIndex], QIcon::Normal);
        icon.addPixmap(m_listNormal[nIndex], QIcon::Active);
        if (nIndex < m_listDisabled.size())
            icon.addPixmap(m_listDisabled[nIndex], QIcon::Disabled);
        buttons[k]->setIcon(icon);
        // The pictures belong to the toolbar; menus sharing the action stay text-only.
        buttons[k]->setIconVisibleInMenu(false);
    }
    update();
}

void CBitMapToolBar::paintEvent(QPaintEvent* /*pEvent*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), ColorFromRef(SysColorRef(ESysColor::ButtonFace)));

    QStyleOptionToolBar option;
    initStyleOption(&option);
    if (isWindow())
        style()->drawPrimitive(QStyle::PE_FrameMenu, &option, &painter, this);
    option.rect = style()->subElementRect(QStyle::SE_ToolBarHandle, &option, this);
    if (option.rect.isValid())
        style()->drawPrimitive(QStyle::PE_IndicatorToolBarHandle, &option, &painter, this);
}
