// Running processors over a picture: the disabled-button chain, the buffers' background
// fill, sizes, and failures that must leave the picture as it was.
#include "skin/enbitmap.h"

#include "palettescope.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

namespace {

constexpr std::uint32_t kMask = 0xE3DFE0;
const QRgb kMaskRgb = qRgb(0xE0, 0xDF, 0xE3);

QImage MakeImage(std::initializer_list<QRgb> pixels)
{
    QImage image(static_cast<int>(pixels.size()), 1, QImage::Format_RGB32);
    int x = 0;
    for (QRgb rgb : pixels)
        image.setPixel(x++, 0, rgb);
    return image;
}

// Writes nothing, so the output shows the background fill.
class CLeaveOutput : public C32BitImageProcessor
{
public:
    bool TransformPixels(const CPixel32*, QSize, CPixel32*, QSize, std::uint32_t) override
    {
        return true;
    }
};

// Remembers the first pixel it is given and copies.
class CProbe : public C32BitImageProcessor
{
public:
    bool TransformPixels(const CPixel32* pInput, QSize sizeInput, CPixel32* pOutput,
                         QSize sizeOutput, std::uint32_t crMask) override
    {
        m_pxFirst = pInput[0];
        return C32BitImageProcessor::TransformPixels(pInput, sizeInput, pOutput, sizeOutput,
                                                     crMask);
    }
    CPixel32 m_pxFirst;
};

class CFail : public C32BitImageProcessor
{
public:
    bool TransformPixels(const CPixel32*, QSize, CPixel32*, QSize, std::uint32_t) override
    {
        return false;
    }
};

class CResize : public C32BitImageProcessor
{
public:
    explicit CResize(QSize sizeGrow, QSize sizeFixed = QSize())
        : m_sizeGrow(sizeGrow), m_sizeFixed(sizeFixed)
    {
    }
    QSize OutputSize(QSize sizeInput) const override
    {
        return m_sizeFixed.isValid() ? m_sizeFixed : sizeInput + m_sizeGrow;
    }
    QSize m_sizeGrow;
    QSize m_sizeFixed;
};

class EnBitmapChain : public ::testing::Test
{
protected:
    const CPaletteScope m_palette{{QPalette::ButtonText, QColor(0, 0, 0)},
                                  {QPalette::Dark, QColor(0x80, 0x80, 0x80)},
                                  {QPalette::Button, QColor(0xD4, 0xD0, 0xC8)},
                                  {QPalette::Light, QColor(255, 255, 255)}};
};

TEST_F(EnBitmapChain, WhiteGoesThroughEachStepAsExpected)
{
    CEnBitmap bitmap;
    ASSERT_TRUE(bitmap.CopyFrom(MakeImage({qRgb(255, 255, 255)})));
    CImageSysColorMapper mapper;
    CImageGrayer grayer(0.33, 0.33, 0.33, false);
    CImageLightener lightener(0.2);
    CImageContraster contraster(-50);
    CImageTinter tinter(0x808080, 10);
    const std::pair<C32BitImageProcessor*, int> steps[] = {
        {&mapper, 255}, {&grayer, 252}, {&lightener, 255}, {&contraster, 191}, {&tinter, 203}};
    for (const auto& [pProcessor, nExpected] : steps) {
        ASSERT_TRUE(bitmap.RunProcessor(*pProcessor, kMask));
        EXPECT_EQ(bitmap.GetImage().pixel(0, 0), qRgb(nExpected, nExpected, nExpected));
    }
}

TEST_F(EnBitmapChain, MaskPixelPassesTheChainAndThenTakesTheButtonFace)
{
    CEnBitmap bitmap;
    ASSERT_TRUE(bitmap.CopyFrom(MakeImage({qRgb(255, 255, 255), kMaskRgb})));
    CImageSysColorMapper mapper;
    CImageGrayer grayer(0.33, 0.33, 0.33, false);
    CImageLightener lightener(0.2);
    CImageContraster contraster(-50);
    CImageTinter tinter(0x808080, 10);
    C32BitImageProcessor* arrChain[] = {&mapper, &grayer, &lightener, &contraster, &tinter};
    ASSERT_TRUE(bitmap.RunProcessors(arrChain, kMask));
    EXPECT_EQ(bitmap.GetImage().pixel(0, 0), qRgb(203, 203, 203));
    EXPECT_EQ(bitmap.GetImage().pixel(1, 0), kMaskRgb);

    ASSERT_TRUE(bitmap.ReplaceOneColor(kMask, 0xC8D0D4));
    EXPECT_EQ(bitmap.GetImage().pixel(1, 0), qRgb(0xD4, 0xD0, 0xC8));
    EXPECT_EQ(bitmap.GetImage().pixel(0, 0), qRgb(203, 203, 203));
}

TEST_F(EnBitmapChain, MapToSystemColorsMapsEvenTheMaskColour)
{
    CEnBitmap bitmap;
    ASSERT_TRUE(bitmap.CopyFrom(MakeImage({qRgb(0xC0, 0xC0, 0xC0), qRgb(0, 0, 1)})));
    ASSERT_TRUE(bitmap.MapToSystemColors());
    EXPECT_EQ(bitmap.GetImage().pixel(0, 0), qRgb(0xD4, 0xD0, 0xC8));
    EXPECT_EQ(bitmap.GetImage().pixel(1, 0), qRgb(0, 0, 1));
}

struct CBackgroundCase
{
    std::uint32_t crBackground;
    std::array<int, 4> arrBgrx; // blue, green, red, fourth byte
};

class EnBitmapBackground : public ::testing::TestWithParam<CBackgroundCase>
{
};

TEST_P(EnBitmapBackground, FillsEveryOutputBufferBeforeEachProcessor)
{
    const CBackgroundCase& c = GetParam();
    CEnBitmap bitmap;
    ASSERT_TRUE(bitmap.CopyFrom(MakeImage({qRgb(9, 9, 9), qRgb(9, 9, 9)})));
    bitmap.m_crBackground = c.crBackground;
    CLeaveOutput leave;
    CProbe probe;
    CLeaveOutput leaveAgain;
    C32BitImageProcessor* arrChain[] = {&leave, &probe, &leaveAgain};
    ASSERT_TRUE(bitmap.RunProcessors(arrChain));
    const CPixel32& px = probe.m_pxFirst;
    EXPECT_EQ((std::array<int, 4>{px.btBlue, px.btGreen, px.btRed, px.btUnused}), c.arrBgrx);
    EXPECT_EQ(bitmap.GetImage().pixel(1, 0), qRgb(c.arrBgrx[2], c.arrBgrx[1], c.arrBgrx[0]));
}

INSTANTIATE_TEST_SUITE_P(Colours, EnBitmapBackground,
                         ::testing::Values(CBackgroundCase{0x000000, {0, 0, 0, 0}},
                                           CBackgroundCase{0xFFFFFF, {255, 255, 255, 255}},
                                           CBackgroundCase{kNoMaskColor, {255, 255, 255, 255}},
                                           CBackgroundCase{0x123456, {0x12, 0x34, 0x56, 0}}));

TEST(EnBitmap, ChainedOutputSizesGrowThePictureAndFillTheNewArea)
{
    CEnBitmap bitmap;
    ASSERT_TRUE(bitmap.CopyFrom(MakeImage({qRgb(1, 2, 3), qRgb(4, 5, 6)})));
    bitmap.m_crBackground = 0x0A0B0C;
    CResize growWide(QSize(1, 0));
    CResize growTall(QSize(0, 1));
    C32BitImageProcessor* arrChain[] = {&growWide, &growTall};
    ASSERT_TRUE(bitmap.RunProcessors(arrChain));
    const QImage& image = bitmap.GetImage();
    ASSERT_EQ(image.size(), QSize(3, 2));
    EXPECT_EQ(image.pixel(0, 0), qRgb(1, 2, 3));
    EXPECT_EQ(image.pixel(1, 0), qRgb(4, 5, 6));
    for (const QPoint pt : {QPoint(2, 0), QPoint(0, 1), QPoint(2, 1)})
        EXPECT_EQ(image.pixel(pt), qRgb(0x0C, 0x0B, 0x0A)) << pt.x() << "," << pt.y();
}

TEST(EnBitmap, EmptyListSucceedsWithoutChange)
{
    CEnBitmap bitmap;
    ASSERT_TRUE(bitmap.CopyFrom(MakeImage({qRgb(1, 2, 3)})));
    EXPECT_TRUE(bitmap.RunProcessors({}));
    EXPECT_EQ(bitmap.GetImage().pixel(0, 0), qRgb(1, 2, 3));
}

TEST(EnBitmap, NullPictureFails)
{
    CEnBitmap bitmap;
    CImageGrayer grayer;
    EXPECT_FALSE(bitmap.RunProcessor(grayer));
    EXPECT_FALSE(bitmap.CopyFrom(QImage()));
    EXPECT_TRUE(bitmap.IsNull());
}

TEST(EnBitmap, CopyFromKeepsPixelsAndTakesTheWorkingFormat)
{
    QImage source(2, 1, QImage::Format_RGB888);
    source.setPixel(0, 0, qRgb(10, 20, 30));
    source.setPixel(1, 0, qRgb(40, 50, 60));
    CEnBitmap bitmap;
    ASSERT_TRUE(bitmap.CopyFrom(source));
    EXPECT_EQ(bitmap.GetImage().format(), QImage::Format_RGB32);
    EXPECT_EQ(bitmap.GetImage().pixel(1, 0), qRgb(40, 50, 60));
    EXPECT_FALSE(bitmap.CopyFrom(QImage()));
    EXPECT_EQ(bitmap.GetImage().pixel(0, 0), qRgb(10, 20, 30));
}

// Each failure leaves the picture exactly as it was, although the grayer that runs first
// would have changed it.
struct CFailureCase
{
    const char* szName;
    std::function<std::unique_ptr<C32BitImageProcessor>()> fnMakeSecond;
};

void PrintTo(const CFailureCase& c, std::ostream* pStream)
{
    *pStream << c.szName;
}

class EnBitmapFailure : public ::testing::TestWithParam<CFailureCase>
{
};

TEST_P(EnBitmapFailure, ReturnsFalseAndLeavesThePicture)
{
    CEnBitmap bitmap;
    ASSERT_TRUE(bitmap.CopyFrom(MakeImage({qRgb(200, 10, 10)})));
    CImageGrayer grayer;
    const std::unique_ptr<C32BitImageProcessor> pSecond = GetParam().fnMakeSecond();
    C32BitImageProcessor* arrChain[] = {&grayer, pSecond.get()};
    EXPECT_FALSE(bitmap.RunProcessors(arrChain));
    EXPECT_EQ(bitmap.GetImage().size(), QSize(1, 1));
    EXPECT_EQ(bitmap.GetImage().pixel(0, 0), qRgb(200, 10, 10));
}

const auto kResizeTo = [](int nWidth, int nHeight) {
    return [=] { return std::make_unique<CResize>(QSize(), QSize(nWidth, nHeight)); };
};

INSTANTIATE_TEST_SUITE_P(
    Cases, EnBitmapFailure,
    ::testing::Values(
        CFailureCase{"NullProcessor", [] { return nullptr; }},
        CFailureCase{"ProcessorFails", [] { return std::make_unique<CFail>(); }},
        CFailureCase{"ZeroOutputSize", kResizeTo(0, 1)},
        CFailureCase{"OutputAtPixelLimit", kResizeTo(0x8000, 0x8000)},      // 0x40000000 pixels
        CFailureCase{"OutputOverflowingInt", kResizeTo(0x10000, 0x10000)}), // 2^32 pixels
    [](const auto& info) { return std::string(info.param.szName); });

} // namespace
