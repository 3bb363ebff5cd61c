// The pixel processors on raw buffers: formulas, truncation and clamping, the mask, the
// neutral amounts and the colour conversion the lightener relies on.
#include "skin/imageprocessor.h"

#include "palettescope.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

CPixel32 Px(int nRed, int nGreen, int nBlue, int nFourth = 0)
{
    return {static_cast<std::uint8_t>(nBlue), static_cast<std::uint8_t>(nGreen),
            static_cast<std::uint8_t>(nRed), static_cast<std::uint8_t>(nFourth)};
}

std::array<int, 3> Rgb(const CPixel32& px)
{
    return {px.btRed, px.btGreen, px.btBlue};
}

std::vector<CPixel32> Transform(C32BitImageProcessor& processor, const std::vector<CPixel32>& input,
                                std::uint32_t crMask = kNoMaskColor, CPixel32 pxBackground = {})
{
    std::vector<CPixel32> output(input.size(), pxBackground);
    const QSize size(static_cast<int>(input.size()), 1);
    EXPECT_TRUE(processor.TransformPixels(input.data(), size, output.data(), size, crMask));
    return output;
}

using CMakeProcessor = std::function<std::unique_ptr<C32BitImageProcessor>()>;

template <class T, class... Args> CMakeProcessor Make(Args... args)
{
    return [=] { return std::make_unique<T>(args...); };
}

struct CProcessorParam
{
    const char* szName;
    CMakeProcessor fnMake;
};

void PrintTo(const CProcessorParam& param, std::ostream* pStream)
{
    *pStream << param.szName;
}

const auto kParamName = [](const auto& info) { return std::string(info.param.szName); };

// The chain the toolbar runs for its disabled pictures, one processor at a time.
const CProcessorParam kChainGrayer{"Grayer", Make<CImageGrayer>(0.33, 0.33, 0.33, false)};
const CProcessorParam kChainLightener{"Lightener", Make<CImageLightener>(0.2)};
const CProcessorParam kChainContraster{"Contraster", Make<CImageContraster>(-50)};
const CProcessorParam kChainTinter{"Tinter", Make<CImageTinter>(0x808080u, 10)};

struct CPixelCase
{
    const char* szName;
    CMakeProcessor fnMake;
    CPixel32 pxIn;
    CPixel32 pxExpected;
    std::uint32_t crMask = kNoMaskColor;
};

void PrintTo(const CPixelCase& c, std::ostream* pStream)
{
    *pStream << c.szName;
}

class ProcessorPixel : public ::testing::TestWithParam<CPixelCase>
{
};

TEST_P(ProcessorPixel, TransformsAsTheFormulaSays)
{
    const CPixelCase& c = GetParam();
    auto pProcessor = c.fnMake();
    EXPECT_EQ(Rgb(Transform(*pProcessor, {c.pxIn}, c.crMask)[0]), Rgb(c.pxExpected));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProcessorPixel,
    ::testing::Values(
        CPixelCase{"GrayerWhite", kChainGrayer.fnMake, Px(255, 255, 255), Px(252, 252, 252)},
        CPixelCase{"GrayerTruncates", kChainGrayer.fnMake, Px(10, 20, 30), Px(19, 19, 19)},
        CPixelCase{"GrayerWeighted", Make<CImageGrayer>(0.33, 0.33, 0.33, true), Px(10, 20, 30),
                   Px(18, 18, 18)},
        CPixelCase{"GrayerWeightedIgnoresFactors", Make<CImageGrayer>(1.0, 1.0, 1.0, true),
                   Px(255, 0, 0), Px(76, 76, 76)},
        CPixelCase{"GrayerKeepsLowEightBits", Make<CImageGrayer>(1.0, 1.0, 1.0, false),
                   Px(200, 200, 200), Px(88, 88, 88)},
        CPixelCase{"GrayerNegativeKeepsLowEightBits", Make<CImageGrayer>(-1.0, 0.0, 0.0, false),
                   Px(5, 0, 0), Px(251, 251, 251)},
        CPixelCase{"LightenerCapsLightnessAtOne", kChainLightener.fnMake, Px(252, 252, 252),
                   Px(255, 255, 255)},
        CPixelCase{"LightenerKeepsHueAndSaturation", Make<CImageLightener>(0.1), Px(200, 100, 50),
                   Px(213, 129, 87)},
        CPixelCase{"LightenerMinusOneGivesBlack", Make<CImageLightener>(-1.0), Px(200, 50, 30),
                   Px(0, 0, 0)},
        CPixelCase{"LightenerPlusOneGivesWhite", Make<CImageLightener>(1.0), Px(90, 90, 90),
                   Px(255, 255, 255)},
        CPixelCase{"ContrasterHalvesDistanceToMiddle", kChainContraster.fnMake, Px(0, 255, 100),
                   Px(64, 191, 114)},
        CPixelCase{"ContrasterTruncatesTowardZero", kChainContraster.fnMake, Px(127, 129, 1),
                   Px(128, 128, 65)},
        CPixelCase{"ContrasterRaisesAndClamps", Make<CImageContraster>(100), Px(0, 255, 100),
                   Px(0, 255, 72)},
        CPixelCase{"TinterAddsTenthOfShadow", kChainTinter.fnMake, Px(191, 191, 191),
                   Px(203, 203, 203)},
        CPixelCase{"TinterWorksPerChannel", Make<CImageTinter>(0xFF8040u, 50), Px(100, 100, 100),
                   Px(132, 164, 227)},
        CPixelCase{"TinterClampsAtZero", Make<CImageTinter>(0x0000FFu, -100), Px(100, 100, 100),
                   Px(0, 100, 100)},
        CPixelCase{"TinterClampsAt255", Make<CImageTinter>(0xFFFFFFu, 100), Px(200, 10, 10),
                   Px(255, 255, 255)},
        CPixelCase{"ReplacerReplacesExactColour", Make<CColorReplacer>(0x030201u, 0x070809u),
                   Px(1, 2, 3), Px(9, 8, 7)},
        CPixelCase{"ReplacerIgnoresTheMask", Make<CColorReplacer>(0x030201u, 0x070809u),
                   Px(1, 2, 3), Px(9, 8, 7), 0x030201u},
        CPixelCase{"ReplacerLeavesOtherColours", Make<CColorReplacer>(0x030201u, 0x070809u),
                   Px(1, 2, 4), Px(1, 2, 4)}),
    kParamName);

// Processors that honour the mask, with amounts that change every other pixel.
class MaskedProcessor : public ::testing::TestWithParam<CProcessorParam>
{
};

TEST_P(MaskedProcessor, CopiesMaskPixelAndTransformsItsByteSwappedTwin)
{
    constexpr std::uint32_t crMask = 0xE3DFE0; // red E0, green DF, blue E3
    auto pProcessor = GetParam().fnMake();
    const std::vector<CPixel32> input = {Px(0xE0, 0xDF, 0xE3), Px(0xE3, 0xDF, 0xE0)};
    const std::vector<CPixel32> output = Transform(*pProcessor, input, crMask);
    EXPECT_EQ(Rgb(output[0]), Rgb(input[0]));
    EXPECT_NE(Rgb(output[1]), Rgb(input[1]));

    // Without a mask the same pixel is transformed.
    EXPECT_NE(Rgb(Transform(*pProcessor, {input[0]})[0]), Rgb(input[0]));
}

INSTANTIATE_TEST_SUITE_P(Chain, MaskedProcessor,
                         ::testing::Values(kChainGrayer, kChainLightener, kChainContraster,
                                           kChainTinter),
                         kParamName);

// Every processor writes the three colour bytes only; the fourth keeps the background fill.
class FourthByte : public ::testing::TestWithParam<CProcessorParam>
{
};

TEST_P(FourthByte, KeepsTheOutputBuffersFourthByte)
{
    auto pProcessor = GetParam().fnMake();
    const std::vector<CPixel32> input = {Px(0xE0, 0xDF, 0xE3, 0x11), Px(40, 90, 200, 0x11)};
    for (const CPixel32& px : Transform(*pProcessor, input, 0xE3DFE0, Px(0, 0, 0, 0x5A)))
        EXPECT_EQ(px.btUnused, 0x5A);
}

INSTANTIATE_TEST_SUITE_P(
    AllTransforms, FourthByte,
    ::testing::Values(kChainGrayer, kChainLightener, kChainContraster, kChainTinter,
                      CProcessorParam{"Mapper", Make<CImageSysColorMapper>()},
                      CProcessorParam{"Replacer", Make<CColorReplacer>(0x030201u, 0x070809u)}),
    kParamName);

// Neutral amounts copy every byte, although a round trip through lightness would not.
class NeutralProcessor : public ::testing::TestWithParam<CProcessorParam>
{
};

TEST_P(NeutralProcessor, CopiesInputExactlyWithOrWithoutMask)
{
    std::mt19937 rng(7);
    std::vector<CPixel32> input(256);
    for (CPixel32& px : input)
        px = Px(static_cast<int>(rng() % 256), static_cast<int>(rng() % 256),
                static_cast<int>(rng() % 256), static_cast<int>(rng() % 256));
    auto pProcessor = GetParam().fnMake();
    const std::uint32_t crPixel3 = (std::uint32_t{input[3].btBlue} << 16) |
                                   (std::uint32_t{input[3].btGreen} << 8) | input[3].btRed;
    for (std::uint32_t crMask : {kNoMaskColor, crPixel3}) {
        const std::vector<CPixel32> output = Transform(*pProcessor, input, crMask);
        EXPECT_EQ(std::memcmp(output.data(), input.data(), input.size() * sizeof(CPixel32)), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    ZeroAmounts, NeutralProcessor,
    ::testing::Values(CProcessorParam{"Lightener", Make<CImageLightener>(0.0)},
                      CProcessorParam{"Contraster", Make<CImageContraster>(0)},
                      CProcessorParam{"Tinter", Make<CImageTinter>(0x808080u, 0)},
                      CProcessorParam{"Replacer", Make<CColorReplacer>(0x123456u, 0x123456u)}),
    kParamName);

// Pixels keep their position when output and input differ in size; the rest of the output
// keeps its fill.
class SizeMismatch : public ::testing::TestWithParam<CProcessorParam>
{
};

TEST_P(SizeMismatch, MapsPixelsByPosition)
{
    auto pProcessor = GetParam().fnMake();
    const std::vector<CPixel32> input = {Px(1, 1, 1), Px(2, 2, 2), Px(3, 3, 3), Px(4, 4, 4)};
    const CPixel32 pxFill = Px(99, 99, 99);
    std::vector<CPixel32> output(9, pxFill);
    ASSERT_TRUE(pProcessor->TransformPixels(input.data(), QSize(2, 2), output.data(), QSize(3, 3),
                                            kNoMaskColor));
    const int arrExpected[9] = {1, 2, 99, 3, 4, 99, 99, 99, 99};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(output[static_cast<std::size_t>(i)].btGreen, arrExpected[i]) << "pixel " << i;
}

INSTANTIATE_TEST_SUITE_P(CopyAndGray, SizeMismatch,
                         ::testing::Values(CProcessorParam{"Copy", Make<C32BitImageProcessor>()},
                                           CProcessorParam{
                                               "Grayer", Make<CImageGrayer>(0.0, 1.0, 0.0, false)}),
                         kParamName);

TEST(SysColorMapper, ReplacesTheFourGreysBySystemColoursIgnoringTheMask)
{
    const CPaletteScope palette({{QPalette::ButtonText, QColor(10, 20, 30)},
                                 {QPalette::Dark, QColor(40, 50, 60)},
                                 {QPalette::Button, QColor(70, 80, 90)},
                                 {QPalette::Light, QColor(100, 110, 120)}});
    CImageSysColorMapper mapper;
    const std::vector<CPixel32> output = Transform(
        mapper, {Px(0, 0, 0), Px(128, 128, 128), Px(192, 192, 192), Px(255, 255, 255), Px(1, 2, 3)},
        0x000000);
    EXPECT_EQ(Rgb(output[0]), Rgb(Px(10, 20, 30)));
    EXPECT_EQ(Rgb(output[1]), Rgb(Px(40, 50, 60)));
    EXPECT_EQ(Rgb(output[2]), Rgb(Px(70, 80, 90)));
    EXPECT_EQ(Rgb(output[3]), Rgb(Px(100, 110, 120)));
    EXPECT_EQ(Rgb(output[4]), Rgb(Px(1, 2, 3)));
}

TEST(SysColorMapper, LaterStepsSeeTheResultOfEarlierOnes)
{
    // Black becomes the text colour, which is the dark grey the next step replaces.
    const CPaletteScope palette(
        {{QPalette::ButtonText, QColor(128, 128, 128)}, {QPalette::Dark, QColor(40, 50, 60)}});
    CImageSysColorMapper mapper;
    EXPECT_EQ(Rgb(Transform(mapper, {Px(0, 0, 0)})[0]), Rgb(Px(40, 50, 60)));
}

struct CHlsCase
{
    CPixel32 px;
    float fHue;
    float fLightness;
    float fSaturation;
};

class RgbToHlsTable : public ::testing::TestWithParam<CHlsCase>
{
};

TEST_P(RgbToHlsTable, GivesHueLightnessSaturation)
{
    const CHlsCase& c = GetParam();
    const CHls hls = RgbToHls(c.px);
    EXPECT_NEAR(hls.fHue, c.fHue, 1e-4);
    EXPECT_NEAR(hls.fLightness, c.fLightness, 1e-6);
    EXPECT_NEAR(hls.fSaturation, c.fSaturation, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(
    Colours, RgbToHlsTable,
    ::testing::Values(CHlsCase{Px(255, 0, 0), 360.0f, 0.5f, 1.0f}, // wraps only above 360
                      CHlsCase{Px(0, 255, 0), 120.0f, 0.5f, 1.0f},
                      CHlsCase{Px(0, 0, 255), 240.0f, 0.5f, 1.0f},
                      CHlsCase{Px(255, 0, 255), 300.0f, 0.5f, 1.0f},
                      CHlsCase{Px(200, 100, 50), 20.0f, 250.0f / 510.0f, 0.6f},
                      CHlsCase{Px(50, 100, 200), 220.0f, 250.0f / 510.0f, 0.6f},
                      CHlsCase{Px(230, 200, 180), 24.0f, 410.0f / 510.0f, 50.0f / 100.0f},
                      CHlsCase{Px(128, 128, 128), 0.0f, 256.0f / 510.0f, 0.0f}));

TEST(HlsRoundTrip, GreysAndPureColoursComeBackExactly)
{
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(Rgb(HlsToRgb(RgbToHls(Px(c, c, c)))), Rgb(Px(c, c, c))) << "grey " << c;
    for (int nLevel : {64, 128, 255}) {
        for (const auto& rgb : {std::array{1, 0, 0}, std::array{0, 1, 0}, std::array{0, 0, 1},
                                std::array{1, 1, 0}, std::array{0, 1, 1}, std::array{1, 0, 1}}) {
            const CPixel32 px = Px(rgb[0] * nLevel, rgb[1] * nLevel, rgb[2] * nLevel);
            EXPECT_EQ(Rgb(HlsToRgb(RgbToHls(px))), Rgb(px));
        }
    }
}

// Truncation may lose one step per channel, never more.
TEST(HlsRoundTrip, AnyColourComesBackWithinOneStep)
{
    for (int r = 0; r < 256; r += 5) {
        for (int g = 0; g < 256; g += 7) {
            for (int b = 0; b < 256; b += 3) {
                const std::array<int, 3> back = Rgb(HlsToRgb(RgbToHls(Px(r, g, b))));
                ASSERT_NEAR(back[0], r, 1) << r << "," << g << "," << b;
                ASSERT_NEAR(back[1], g, 1) << r << "," << g << "," << b;
                ASSERT_NEAR(back[2], b, 1) << r << "," << g << "," << b;
            }
        }
    }
}

} // namespace

namespace {

// Every colour whose channels are multiples of 5, through the toolbar's lightener. The digest
// is the same on every machine; a build that fuses multiplies and adds changes it. Regenerate
// it (print Digest's result) only when a formula changes on purpose.
TEST(LightenerBytes, AreTheSameOnEveryMachine)
{
    std::vector<CPixel32> input;
    for (int r = 0; r < 256; r += 5)
        for (int g = 0; g < 256; g += 5)
            for (int b = 0; b < 256; b += 5)
                input.push_back(Px(r, g, b));
    CImageLightener lightener(0.2);
    const std::vector<CPixel32> output = Transform(lightener, input);
    std::uint64_t nDigest = 14695981039346656037ull; // FNV-1a
    for (const CPixel32& px : output)
        for (const std::uint8_t bt : {px.btBlue, px.btGreen, px.btRed})
            nDigest = (nDigest ^ bt) * 1099511628211ull;
    EXPECT_EQ(0x6effb24e8a7f7645ull, nDigest) << std::hex << nDigest;
}

} // namespace
