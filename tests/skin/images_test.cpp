// The committed pictures (src/res/images, written by tools/imagegen: run trendora-imagegen
// and commit its output to regenerate them) are embedded and keep the properties the
// toolbar and the form rely on.
#include "skin/enbitmap.h"

#include "palettescope.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <set>

namespace {

struct CPictureCase
{
    const char* szPath;
    QSize size;
};

void PrintTo(const CPictureCase& c, std::ostream* pStream)
{
    *pStream << c.szPath;
}

class ResourcePicture : public ::testing::TestWithParam<CPictureCase>
{
};

TEST_P(ResourcePicture, LoadsAtItsSize)
{
    const QImage image(QString::fromLatin1(GetParam().szPath));
    ASSERT_FALSE(image.isNull()) << GetParam().szPath;
    EXPECT_EQ(image.size(), GetParam().size);
}

INSTANTIATE_TEST_SUITE_P(Images, ResourcePicture,
                         ::testing::Values(CPictureCase{":/images/bitmap128.png", QSize(176, 15)},
                                           CPictureCase{":/images/bitmap131.png", QSize(440, 40)},
                                           CPictureCase{":/images/bitmap134.png", QSize(1017, 618)},
                                           CPictureCase{":/images/icon128-16.png", QSize(16, 16)},
                                           CPictureCase{":/images/icon128-32.png", QSize(32, 32)},
                                           CPictureCase{":/images/icon128-256.png",
                                                        QSize(256, 256)}));

struct CStripCase
{
    const char* szPath;
    QSize sizeCell;
    QRgb rgbMask;
};

void PrintTo(const CStripCase& c, std::ostream* pStream)
{
    *pStream << c.szPath;
}

class ToolbarStrip : public ::testing::TestWithParam<CStripCase>
{
};

// Every picture stands on the exact mask colour and draws something of its own.
TEST_P(ToolbarStrip, EachPictureHasMaskCornersAndContent)
{
    const CStripCase& c = GetParam();
    const QImage strip =
        QImage(QString::fromLatin1(c.szPath)).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(strip.width(), 11 * c.sizeCell.width());
    const int nMinContent = c.sizeCell.width() * c.sizeCell.height() / 10;
    for (int k = 0; k < 11; ++k) {
        const int x0 = k * c.sizeCell.width();
        const int x1 = x0 + c.sizeCell.width() - 1;
        const int y1 = c.sizeCell.height() - 1;
        for (const QPoint pt : {QPoint(x0, 0), QPoint(x1, 0), QPoint(x0, y1), QPoint(x1, y1)})
            EXPECT_EQ(strip.pixel(pt), c.rgbMask) << "picture " << k;
        int nContent = 0;
        for (int y = 0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x)
                nContent += (strip.pixel(x, y) & RGB_MASK) != (c.rgbMask & RGB_MASK);
        }
        EXPECT_GE(nContent, nMinContent) << "picture " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Strips, ToolbarStrip,
    ::testing::Values(CStripCase{":/images/bitmap131.png", QSize(40, 40), qRgb(0xE0, 0xDF, 0xE3)},
                      CStripCase{":/images/bitmap128.png", QSize(16, 15), qRgb(0xC0, 0xC0, 0xC0)}));

// Greyed, each picture still shows shapes: several grey levels well apart from the face.
TEST(ToolbarPictures, StayLegibleWhenDisabled)
{
    const QColor face(0xF0, 0xF0, 0xF0);
    const CPaletteScope palette({{QPalette::ButtonText, QColor(0, 0, 0)},
                                 {QPalette::Dark, QColor(0xA0, 0xA0, 0xA0)},
                                 {QPalette::Button, face},
                                 {QPalette::Light, QColor(255, 255, 255)}});
    CEnBitmap bitmap;
    ASSERT_TRUE(bitmap.CopyFrom(QImage(QStringLiteral(":/images/bitmap131.png"))));
    CImageSysColorMapper mapper;
    CImageGrayer grayer(0.33, 0.33, 0.33, false);
    CImageLightener lightener(0.2);
    CImageContraster contraster(-50);
    CImageTinter tinter(0xA0A0A0, 10);
    C32BitImageProcessor* arrChain[] = {&mapper, &grayer, &lightener, &contraster, &tinter};
    ASSERT_TRUE(bitmap.RunProcessors(arrChain, 0xE3DFE0));
    const QImage& image = bitmap.GetImage();
    for (int k = 0; k < 11; ++k) {
        int nDarkest = 255;
        std::set<int> levels;
        for (int y = 0; y < 40; ++y) {
            for (int x = 40 * k; x < 40 * k + 40; ++x) {
                const QRgb rgb = image.pixel(x, y);
                if ((rgb & RGB_MASK) == (qRgb(0xE0, 0xDF, 0xE3) & RGB_MASK))
                    continue;
                nDarkest = std::min(nDarkest, qGreen(rgb));
                levels.insert(qGreen(rgb));
            }
        }
        EXPECT_LE(nDarkest, 150) << "picture " << k;
        EXPECT_GE(levels.size(), 3u) << "picture " << k;
    }
}

TEST(FormBackground, CanvasIsPlainUnderThePlotAndPanelsAreWhite)
{
    const QImage image =
        QImage(QStringLiteral(":/images/bitmap134.png")).convertToFormat(QImage::Format_RGB32);
    const QRgb rgbCanvas = qRgb(224, 223, 227);
    // The plot covers 44, 28, 360 x 200 dialog units at 2 pixels each.
    for (int y = 56; y < 456; ++y) {
        for (int x = 88; x < 808; ++x)
            ASSERT_EQ(image.pixel(x, y), rgbCanvas) << x << "," << y;
    }
    EXPECT_EQ(image.pixel(0, 0), rgbCanvas);
    // Behind the Temp PV readout, the scale choice and the paging buttons.
    for (const QPoint pt : {QPoint(850, 60), QPoint(930, 370), QPoint(440, 560)})
        EXPECT_EQ(image.pixel(pt), qRgb(255, 255, 255)) << pt.x() << "," << pt.y();
}

} // namespace
