// Per-pixel processors over flat 32-bit pixel buffers. The toolbar derives the look of its
// disabled buttons from the normal pictures by running them through a chain of these.
#pragma once

#include <QSize>

#include <cstdint>

// One pixel in memory order. Rows run top-down with no padding between them.
struct CPixel32
{
    std::uint8_t btBlue = 0;
    std::uint8_t btGreen = 0;
    std::uint8_t btRed = 0;
    std::uint8_t btUnused = 0;
};
static_assert(sizeof(CPixel32) == 4);

// A mask colour that matches no pixel.
inline constexpr std::uint32_t kNoMaskColor = 0xFFFFFFFF;

// Hue in degrees (0 to 360), lightness and saturation from 0 to 1, in single precision
// because the lightener's rounding depends on it.
struct CHls
{
    float fHue = 0.0f;
    float fLightness = 0.0f;
    float fSaturation = 0.0f;
};

CHls RgbToHls(const CPixel32& px);
// The fourth byte of the result is 0.
CPixel32 HlsToRgb(const CHls& hls);

class C32BitImageProcessor
{
public:
    virtual ~C32BitImageProcessor() = default;

    virtual QSize OutputSize(QSize sizeInput) const { return sizeInput; }
    // Output pixels outside the input keep what the output buffer held. Pixels of exactly
    // crMask (as 0x00BBGGRR) are copied unchanged by the processors that honour a mask.
    virtual bool TransformPixels(const CPixel32* pInput, QSize sizeInput, CPixel32* pOutput,
                                 QSize sizeOutput, std::uint32_t crMask);
};

// Replaces black, dark grey, light grey and white by the current button text, shadow, face
// and highlight colours, in that order, each step working on the result of the one before.
// Ignores the mask.
class CImageSysColorMapper : public C32BitImageProcessor
{
public:
    bool TransformPixels(const CPixel32* pInput, QSize sizeInput, CPixel32* pOutput,
                         QSize sizeOutput, std::uint32_t crMask) override;
};

class CImageGrayer : public C32BitImageProcessor
{
public:
    CImageGrayer() = default;
    CImageGrayer(double dRedFactor, double dGreenFactor, double dBlueFactor, bool bWeighted)
        : m_dRedFactor(dRedFactor), m_dGreenFactor(dGreenFactor), m_dBlueFactor(dBlueFactor),
          m_bWeighted(bWeighted)
    {
    }

    bool TransformPixels(const CPixel32* pInput, QSize sizeInput, CPixel32* pOutput,
                         QSize sizeOutput, std::uint32_t crMask) override;

    double m_dRedFactor = 0.33;
    double m_dGreenFactor = 0.33;
    double m_dBlueFactor = 0.33;
    // Integer weights 3:6:1 instead of the factors.
    bool m_bWeighted = false;
};

class CImageLightener : public C32BitImageProcessor
{
public:
    explicit CImageLightener(double dAmount = 0.0) : m_dAmount(dAmount) {}

    bool TransformPixels(const CPixel32* pInput, QSize sizeInput, CPixel32* pOutput,
                         QSize sizeOutput, std::uint32_t crMask) override;

    // Added to the lightness (0 to 1).
    double m_dAmount = 0.0;
};

class CImageContraster : public C32BitImageProcessor
{
public:
    explicit CImageContraster(int nAmount = 0) : m_nAmount(nAmount) {}

    bool TransformPixels(const CPixel32* pInput, QSize sizeInput, CPixel32* pOutput,
                         QSize sizeOutput, std::uint32_t crMask) override;

    // Percent; negative values pull every channel towards 128.
    int m_nAmount = 0;
};

class CImageTinter : public C32BitImageProcessor
{
public:
    CImageTinter() = default;
    CImageTinter(std::uint32_t crTint, int nAmount) : m_crTint(crTint), m_nAmount(nAmount) {}

    bool TransformPixels(const CPixel32* pInput, QSize sizeInput, CPixel32* pOutput,
                         QSize sizeOutput, std::uint32_t crMask) override;

    std::uint32_t m_crTint = 0;
    // Percent of each tint channel added to the pixel's channel.
    int m_nAmount = 0;
};

// Ignores the mask.
class CColorReplacer : public C32BitImageProcessor
{
public:
    CColorReplacer() = default;
    CColorReplacer(std::uint32_t crFrom, std::uint32_t crTo) : m_crFrom(crFrom), m_crTo(crTo) {}

    bool TransformPixels(const CPixel32* pInput, QSize sizeInput, CPixel32* pOutput,
                         QSize sizeOutput, std::uint32_t crMask) override;

    std::uint32_t m_crFrom = 0;
    std::uint32_t m_crTo = 0;
};
