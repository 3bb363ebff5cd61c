// The picture toolbar: cutting the bitmap into button pictures, the transparent mask, the
// processed disabled pictures and the button-face background.
#include "skin/bitmaptoolbar.h"

#include "palettescope.h"

#include <QAction>
#include <QIcon>

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kMask = 0xE3DFE0;
const QRgb kMaskRgb = qRgb(0xE0, 0xDF, 0xE3);
const QColor kFace(0xD4, 0xD0, 0xC8);

// Column x of the strip has its own colour, none of them the mask colour.
QImage ColumnStrip(int nWidth, int nHeight)
{
    QImage image(nWidth, nHeight, QImage::Format_RGB32);
    for (int y = 0; y < nHeight; ++y) {
        for (int x = 0; x < nWidth; ++x)
            image.setPixel(x, y, qRgb(10 * x, 100, 50 + y));
    }
    return image;
}

QImage IconImage(const QAction* pAction, QSize size, QIcon::Mode eMode)
{
    return pAction->icon().pixmap(size, eMode).toImage().convertToFormat(QImage::Format_ARGB32);
}

class BitMapToolBar : public ::testing::Test
{
protected:
    const CPaletteScope m_palette{{QPalette::ButtonText, QColor(0, 0, 0)},
                                  {QPalette::Dark, QColor(0x80, 0x80, 0x80)},
                                  {QPalette::Button, kFace},
                                  {QPalette::Light, QColor(255, 255, 255)}};
    CBitMapToolBar m_toolbar;
};

TEST_F(BitMapToolBar, SeparatorsOnlyLoadNothing)
{
    m_toolbar.addSeparator();
    m_toolbar.addSeparator();
    const QSize sizeBefore = m_toolbar.iconSize();
    EXPECT_FALSE(m_toolbar.LoadButtonImages(ColumnStrip(40, 40), kMask));
    EXPECT_FALSE(m_toolbar.GetImageSize().isValid());
    EXPECT_EQ(m_toolbar.iconSize(), sizeBefore);
}

TEST_F(BitMapToolBar, NoActionsOrNullBitmapFail)
{
    EXPECT_FALSE(m_toolbar.LoadButtonImages(ColumnStrip(40, 40), kMask));
    QAction* pAction = m_toolbar.addAction(QStringLiteral("a"));
    EXPECT_FALSE(m_toolbar.LoadButtonImages(QImage(), kMask));
    EXPECT_TRUE(pAction->icon().isNull());
}

TEST_F(BitMapToolBar, CutsPicturesLeftToRightSkippingSeparatorsAndDropsTheRemainder)
{
    QAction* pFirst = m_toolbar.addAction(QStringLiteral("first"));
    m_toolbar.addSeparator();
    QAction* pSecond = m_toolbar.addAction(QStringLiteral("second"));
    QAction* pThird = m_toolbar.addAction(QStringLiteral("third"));
    m_toolbar.addSeparator();

    // 23 columns for three buttons: pictures 7 wide, columns 21 and 22 unused.
    ASSERT_TRUE(m_toolbar.LoadButtonImages(ColumnStrip(23, 5), kMask));
    EXPECT_EQ(m_toolbar.GetImageSize(), QSize(7, 5));
    EXPECT_EQ(m_toolbar.iconSize(), QSize(7, 5));
    EXPECT_EQ(m_toolbar.widgetForAction(pSecond)->size(), QSize(14, 12));

    const QAction* arrButtons[] = {pFirst, pSecond, pThird};
    for (int k = 0; k < 3; ++k) {
        const QImage picture = IconImage(arrButtons[k], QSize(7, 5), QIcon::Normal);
        ASSERT_EQ(picture.size(), QSize(7, 5));
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(picture.pixel(x, 4), qRgb(10 * (7 * k + x), 100, 54)) << k << "," << x;
    }
    EXPECT_FALSE(pSecond->isIconVisibleInMenu());
}

TEST_F(BitMapToolBar, MaskIsTransparentInNormalAndHoverPictures)
{
    QAction* pAction = m_toolbar.addAction(QStringLiteral("a"));
    QImage strip = ColumnStrip(4, 2);
    strip.setPixel(1, 1, kMaskRgb);
    strip.setPixel(2, 1, qRgb(0xE3, 0xDF, 0xE0)); // the mask's bytes reversed: not the mask
    ASSERT_TRUE(m_toolbar.LoadButtonImages(strip, kMask));
    for (QIcon::Mode eMode : {QIcon::Normal, QIcon::Active}) {
        const QImage picture = IconImage(pAction, QSize(4, 2), eMode);
        EXPECT_EQ(qAlpha(picture.pixel(1, 1)), 0);
        EXPECT_EQ(picture.pixel(2, 1), qRgb(0xE3, 0xDF, 0xE0));
        EXPECT_EQ(picture.pixel(0, 0), strip.pixel(0, 0));
    }
}

TEST_F(BitMapToolBar, DisabledPicturesComeFromTheChainWithMaskAsButtonFace)
{
    QAction* pFirst = m_toolbar.addAction(QStringLiteral("first"));
    QAction* pSecond = m_toolbar.addAction(QStringLiteral("second"));
    QImage strip(4, 1, QImage::Format_RGB32);
    strip.setPixel(0, 0, qRgb(255, 255, 255));
    strip.setPixel(1, 0, kMaskRgb);
    strip.setPixel(2, 0, kMaskRgb);
    strip.setPixel(3, 0, qRgb(0, 0, 0));
    ASSERT_TRUE(m_toolbar.LoadButtonImages(strip, kMask));

    const QImage first = IconImage(pFirst, QSize(2, 1), QIcon::Disabled);
    EXPECT_EQ(first.pixel(0, 0), qRgb(203, 203, 203));
    EXPECT_EQ(first.pixel(1, 0), kFace.rgb());
    // Black: lightness 0.2 gives 51, the contrast step 90, the tint 102.
    const QImage second = IconImage(pSecond, QSize(2, 1), QIcon::Disabled);
    EXPECT_EQ(second.pixel(0, 0), kFace.rgb());
    EXPECT_EQ(second.pixel(1, 0), qRgb(102, 102, 102));
}

TEST_F(BitMapToolBar, ClearDisabledImagesLeavesTheStylesDisabledLook)
{
    QAction* pAction = m_toolbar.addAction(QStringLiteral("a"));
    ASSERT_TRUE(m_toolbar.LoadButtonImages(ColumnStrip(6, 3), kMask));
    EXPECT_FALSE(pAction->icon().availableSizes(QIcon::Disabled).isEmpty());
    EXPECT_TRUE(m_toolbar.ClearDisabledImages());
    EXPECT_TRUE(pAction->icon().availableSizes(QIcon::Disabled).isEmpty());
    EXPECT_EQ(IconImage(pAction, QSize(6, 3), QIcon::Normal).pixel(5, 2), qRgb(50, 100, 52));
}

TEST_F(BitMapToolBar, PaintsTheBarInTheButtonFace)
{
    m_toolbar.setMovable(false);
    m_toolbar.addAction(QStringLiteral("a"));
    ASSERT_TRUE(m_toolbar.LoadButtonImages(ColumnStrip(8, 8), kMask));
    m_toolbar.resize(200, 30);
    const QImage shot = m_toolbar.grab().toImage();
    EXPECT_EQ(shot.pixel(190, 2), kFace.rgb());
    EXPECT_EQ(shot.pixel(190, 27), kFace.rgb());
}

} // namespace
