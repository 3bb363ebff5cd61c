#include "skin/imageprocessor.h"

#include "skin/syscolors.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Visits the pixels that input and output share at the same position; each buffer keeps
// its own row length.
template <class Fn>
void ForEachPixel(const CPixel32* pInput, QSize sizeInput, CPixel32* pOutput, QSize sizeOutput,
                  Fn fn)
{
    const int nWidth = std::max(0, std::min(sizeInput.width(), sizeOutput.width()));
    const int nHeight = std::max(0, std::min(sizeInput.height(), sizeOutput.height()));
    for (int y = 0; y < nHeight; ++y) {
        const CPixel32* pIn = pInput + static_cast<std::ptrdiff_t>(y) * sizeInput.width();
        CPixel32* pOut = pOutput + static_cast<std::ptrdiff_t>(y) * sizeOutput.width();
        for (int x = 0; x < nWidth; ++x)
            fn(pIn[x], pOut[x]);
    }
}

bool IsMaskPixel(const CPixel32& px, std::uint32_t crMask)
{
    const std::uint32_t crPixel =
        (std::uint32_t{px.btBlue} << 16) | (std::uint32_t{px.btGreen} << 8) | px.btRed;
    return crPixel == crMask;
}

// Only the three colour bytes: the fourth byte of the output keeps the background fill.
void SetRgb(CPixel32& pxOut, std::uint8_t btRed, std::uint8_t btGreen, std::uint8_t btBlue)
{
    pxOut.btRed = btRed;
    pxOut.btGreen = btGreen;
    pxOut.btBlue = btBlue;
}

void SetRgb(CPixel32& pxOut, std::uint32_t cr)
{
    SetRgb(pxOut, static_cast<std::uint8_t>(cr & 0xFF), static_cast<std::uint8_t>((cr >> 8) & 0xFF),
           static_cast<std::uint8_t>((cr >> 16) & 0xFF));
}

bool HasRgb(const CPixel32& px, std::uint32_t cr)
{
    return px.btRed == (cr & 0xFF) && px.btGreen == ((cr >> 8) & 0xFF) &&
           px.btBlue == ((cr >> 16) & 0xFF);
}

// Mask pixels pass unchanged; every other pixel goes through fnTransform.
template <class Fn>
void TransformUnmasked(const CPixel32* pInput, QSize sizeInput, CPixel32* pOutput, QSize sizeOutput,
                       std::uint32_t crMask, Fn fnTransform)
{
    ForEachPixel(pInput, sizeInput, pOutput, sizeOutput,
                 [&](const CPixel32& pxIn, CPixel32& pxOut) {
                     if (IsMaskPixel(pxIn, crMask))
                         SetRgb(pxOut, pxIn.btRed, pxIn.btGreen, pxIn.btBlue);
                     else
                         fnTransform(pxIn, pxOut);
                 });
}

std::uint8_t ClampToByte(int n)
{
    return static_cast<std::uint8_t>(std::clamp(n, 0, 255));
}

// Truncates toward zero. Products of absurd amounts are limited first, which changes no
// clamped result but keeps the conversion defined.
int TruncToInt(float f)
{
    return static_cast<int>(std::clamp(f, -65536.0f, 65536.0f));
}

// trunc(min(v, 255)) for a channel value already scaled to 0..255; NaN and negatives give 0.
std::uint8_t ScaledToByte(float fValue)
{
    if (!(fValue > 0.0f))
        return 0;
    return static_cast<std::uint8_t>(std::min(fValue, 255.0f));
}

float HueToChannel(float fM1, float fM2, float fHue)
{
    if (fHue < 0.0f)
        fHue += 360.0f;
    else if (fHue > 360.0f)
        fHue -= 360.0f;
    if (fHue < 60.0f)
        return fM1 + (fM2 - fM1) * fHue / 60.0f;
    if (fHue < 180.0f)
        return fM2;
    if (fHue < 240.0f)
        return fM1 + (fM2 - fM1) * (240.0f - fHue) / 60.0f;
    return fM1;
}

} // namespace

CHls RgbToHls(const CPixel32& px)
{
    const int nRed = px.btRed;
    const int nGreen = px.btGreen;
    const int nBlue = px.btBlue;
    const int nMax = std::max({nRed, nGreen, nBlue});
    const int nMin = std::min({nRed, nGreen, nBlue});

    CHls hls;
    hls.fLightness = static_cast<float>(nMax + nMin) / 510.0f;
    if (nMax == nMin)
        return hls;

    const float fDelta = static_cast<float>(nMax - nMin);
    hls.fSaturation = hls.fLightness < 0.5f ? fDelta / static_cast<float>(nMax + nMin)
                                            : fDelta / static_cast<float>(510 - nMax - nMin);

    const float fDeltaRed = static_cast<float>(nMax - nRed) / fDelta;
    const float fDeltaGreen = static_cast<float>(nMax - nGreen) / fDelta;
    const float fDeltaBlue = static_cast<float>(nMax - nBlue) / fDelta;
    float fHue = 0.0f;
    if (nRed == nMax)
        fHue = fDeltaBlue + 6.0f - fDeltaGreen;
    else if (nGreen == nMax)
        fHue = fDeltaRed + 2.0f - fDeltaBlue;
    else
        fHue = fDeltaGreen + 4.0f - fDeltaRed;
    fHue *= 60.0f;
    if (fHue > 360.0f)
        fHue -= 360.0f;
    hls.fHue = fHue;
    return hls;
}

CPixel32 HlsToRgb(const CHls& hls)
{
    const float fLight = hls.fLightness;
    const float fSat = hls.fSaturation;
    CPixel32 px;
    if (fSat == 0.0f) {
        const std::uint8_t bt = ScaledToByte(fLight * 255.0f);
        px.btRed = px.btGreen = px.btBlue = bt;
        return px;
    }
    const float fM2 = fLight < 0.5f ? fLight * (1.0f + fSat) : fLight + fSat - fLight * fSat;
    const float fM1 = 2.0f * fLight - fM2;
    px.btRed = ScaledToByte(HueToChannel(fM1, fM2, hls.fHue + 120.0f) * 255.0f);
    px.btGreen = ScaledToByte(HueToChannel(fM1, fM2, hls.fHue) * 255.0f);
    px.btBlue = ScaledToByte(HueToChannel(fM1, fM2, hls.fHue - 120.0f) * 255.0f);
    return px;
}

bool C32BitImageProcessor::TransformPixels(const CPixel32* pInput, QSize sizeInput,
                                           CPixel32* pOutput, QSize sizeOutput,
                                           std::uint32_t /*crMask*/)
{
    if (sizeInput == sizeOutput) {
        const std::size_t nPixels = static_cast<std::size_t>(std::max(0, sizeOutput.width())) *
                                    static_cast<std::size_t>(std::max(0, sizeOutput.height()));
        if (nPixels != 0)
            std::memcpy(pOutput, pInput, nPixels * sizeof(CPixel32));
        return true;
    }
    ForEachPixel(pInput, sizeInput, pOutput, sizeOutput,
                 [](const CPixel32& pxIn, CPixel32& pxOut) { pxOut = pxIn; });
    return true;
}

bool CImageSysColorMapper::TransformPixels(const CPixel32* pInput, QSize sizeInput,
                                           CPixel32* pOutput, QSize sizeOutput,
                                           std::uint32_t /*crMask*/)
{
    struct CMapping
    {
        std::uint32_t crFrom;
        std::uint32_t crTo;
    };
    const CMapping table[] = {
        {0x000000, SysColorRef(ESysColor::ButtonText)},
        {0x808080, SysColorRef(ESysColor::ButtonShadow)},
        {0xC0C0C0, SysColorRef(ESysColor::ButtonFace)},
        {0xFFFFFF, SysColorRef(ESysColor::ButtonHighlight)},
    };
    ForEachPixel(pInput, sizeInput, pOutput, sizeOutput,
                 [&](const CPixel32& pxIn, CPixel32& pxOut) {
                     SetRgb(pxOut, pxIn.btRed, pxIn.btGreen, pxIn.btBlue);
                     // A colour replaced in one step is looked at again by the later ones.
                     for (const CMapping& mapping : table) {
                         if (HasRgb(pxOut, mapping.crFrom))
                             SetRgb(pxOut, mapping.crTo);
                     }
                 });
    return true;
}

bool CImageGrayer::TransformPixels(const CPixel32* pInput, QSize sizeInput, CPixel32* pOutput,
                                   QSize sizeOutput, std::uint32_t crMask)
{
    TransformUnmasked(pInput, sizeInput, pOutput, sizeOutput, crMask,
                      [this](const CPixel32& pxIn, CPixel32& pxOut) {
                          std::uint8_t btGray = 0;
                          if (m_bWeighted) {
                              btGray = static_cast<std::uint8_t>(
                                  (3 * pxIn.btRed + 6 * pxIn.btGreen + pxIn.btBlue) / 10);
                          } else {
                              const double dGray = m_dRedFactor * pxIn.btRed +
                                                   m_dGreenFactor * pxIn.btGreen +
                                                   m_dBlueFactor * pxIn.btBlue;
                              // Keeps the low eight bits of the truncated value; fmod is exact, so
                              // this holds for factors of any size.
                              if (std::isfinite(dGray))
                                  btGray = static_cast<std::uint8_t>(
                                      static_cast<int>(std::fmod(std::trunc(dGray), 256.0)) & 0xFF);
                          }
                          SetRgb(pxOut, btGray, btGray, btGray);
                      });
    return true;
}

bool CImageLightener::TransformPixels(const CPixel32* pInput, QSize sizeInput, CPixel32* pOutput,
                                      QSize sizeOutput, std::uint32_t crMask)
{
    if (m_dAmount == 0.0)
        return C32BitImageProcessor::TransformPixels(pInput, sizeInput, pOutput, sizeOutput,
                                                     crMask);
    const float fAmount = static_cast<float>(m_dAmount);
    TransformUnmasked(pInput, sizeInput, pOutput, sizeOutput, crMask,
                      [fAmount](const CPixel32& pxIn, CPixel32& pxOut) {
                          CHls hls = RgbToHls(pxIn);
                          const float fLight = fAmount + hls.fLightness;
                          hls.fLightness = fLight > 1.0f ? 1.0f : (fLight > 0.0f ? fLight : 0.0f);
                          const CPixel32 pxRgb = HlsToRgb(hls);
                          SetRgb(pxOut, pxRgb.btRed, pxRgb.btGreen, pxRgb.btBlue);
                      });
    return true;
}

bool CImageContraster::TransformPixels(const CPixel32* pInput, QSize sizeInput, CPixel32* pOutput,
                                       QSize sizeOutput, std::uint32_t crMask)
{
    if (m_nAmount == 0)
        return C32BitImageProcessor::TransformPixels(pInput, sizeInput, pOutput, sizeOutput,
                                                     crMask);
    const float fFactor = static_cast<float>(m_nAmount / 100.0 + 1.0);
    const auto contrast = [fFactor](std::uint8_t bt) {
        return ClampToByte(TruncToInt(fFactor * static_cast<float>(bt - 128)) + 128);
    };
    TransformUnmasked(
        pInput, sizeInput, pOutput, sizeOutput, crMask, [&](const CPixel32& pxIn, CPixel32& pxOut) {
            SetRgb(pxOut, contrast(pxIn.btRed), contrast(pxIn.btGreen), contrast(pxIn.btBlue));
        });
    return true;
}

bool CImageTinter::TransformPixels(const CPixel32* pInput, QSize sizeInput, CPixel32* pOutput,
                                   QSize sizeOutput, std::uint32_t crMask)
{
    if (m_nAmount == 0)
        return C32BitImageProcessor::TransformPixels(pInput, sizeInput, pOutput, sizeOutput,
                                                     crMask);
    const float fFactor = static_cast<float>(m_nAmount / 100.0);
    const int nAddRed = TruncToInt(fFactor * static_cast<float>(m_crTint & 0xFF));
    const int nAddGreen = TruncToInt(fFactor * static_cast<float>((m_crTint >> 8) & 0xFF));
    const int nAddBlue = TruncToInt(fFactor * static_cast<float>((m_crTint >> 16) & 0xFF));
    TransformUnmasked(
        pInput, sizeInput, pOutput, sizeOutput, crMask, [&](const CPixel32& pxIn, CPixel32& pxOut) {
            SetRgb(pxOut, ClampToByte(pxIn.btRed + nAddRed), ClampToByte(pxIn.btGreen + nAddGreen),
                   ClampToByte(pxIn.btBlue + nAddBlue));
        });
    return true;
}

bool CColorReplacer::TransformPixels(const CPixel32* pInput, QSize sizeInput, CPixel32* pOutput,
                                     QSize sizeOutput, std::uint32_t crMask)
{
    if (m_crFrom == m_crTo)
        return C32BitImageProcessor::TransformPixels(pInput, sizeInput, pOutput, sizeOutput,
                                                     crMask);
    ForEachPixel(pInput, sizeInput, pOutput, sizeOutput,
                 [this](const CPixel32& pxIn, CPixel32& pxOut) {
                     if (HasRgb(pxIn, m_crFrom))
                         SetRgb(pxOut, m_crTo);
                     else
                         SetRgb(pxOut, pxIn.btRed, pxIn.btGreen, pxIn.btBlue);
                 });
    return true;
}
