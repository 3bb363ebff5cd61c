#include "skin/enbitmap.h"

#include <algorithm>
#include <memory>
#include <new>

namespace {

// Buffers of this many pixels or more are refused like a failed allocation: their byte count
// would no longer fit 32 bits.
constexpr std::int64_t kMaxPixels = 0x40000000;

using CPixelBuffer = std::unique_ptr<CPixel32[]>;

std::int64_t PixelCount(QSize size)
{
    return static_cast<std::int64_t>(size.width()) * size.height();
}

CPixelBuffer AllocatePixels(std::int64_t nPixels)
{
    if (nPixels <= 0 || nPixels >= kMaxPixels)
        return nullptr;
    return CPixelBuffer(new (std::nothrow) CPixel32[static_cast<std::size_t>(nPixels)]);
}

void FillBackground(CPixel32* pBuffer, std::int64_t nPixels, std::uint32_t crBackground)
{
    CPixel32 px;
    if (crBackground == 0xFFFFFF || crBackground == kNoMaskColor) {
        px = {255, 255, 255, 255};
    } else if (crBackground != 0) {
        px.btRed = static_cast<std::uint8_t>(crBackground & 0xFF);
        px.btGreen = static_cast<std::uint8_t>((crBackground >> 8) & 0xFF);
        px.btBlue = static_cast<std::uint8_t>((crBackground >> 16) & 0xFF);
    }
    std::fill_n(pBuffer, nPixels, px);
}

} // namespace

bool CEnBitmap::CopyFrom(const QImage& image)
{
    if (image.isNull())
        return false;
    QImage copy = image.convertToFormat(QImage::Format_RGB32);
    if (copy.isNull())
        return false;
    m_image = std::move(copy);
    return true;
}

bool CEnBitmap::RunProcessors(std::span<C32BitImageProcessor* const> arrProcessors,
                              std::uint32_t crMask)
{
    if (m_image.isNull())
        return false;
    if (arrProcessors.empty())
        return true;
    if (std::find(arrProcessors.begin(), arrProcessors.end(), nullptr) != arrProcessors.end())
        return false;

    // Each processor's output size follows from the size it is given, which is the previous
    // processor's output. The output buffer is allocated once, at the largest of them.
    const QSize sizeBitmap = m_image.size();
    QSize sizeLargest;
    QSize sizeStep = sizeBitmap;
    for (C32BitImageProcessor* pProcessor : arrProcessors) {
        sizeStep = pProcessor->OutputSize(sizeStep);
        if (sizeStep.width() <= 0 || sizeStep.height() <= 0)
            return false;
        sizeLargest = sizeLargest.expandedTo(sizeStep);
    }
    const std::int64_t nOutputPixels = PixelCount(sizeLargest);
    std::int64_t nInputCapacity = PixelCount(sizeBitmap);
    CPixelBuffer pInput = AllocatePixels(nInputCapacity);
    CPixelBuffer pOutput = AllocatePixels(nOutputPixels);
    if (!pInput || !pOutput)
        return false;

    for (int y = 0; y < sizeBitmap.height(); ++y) {
        const QRgb* pLine = reinterpret_cast<const QRgb*>(m_image.constScanLine(y));
        CPixel32* pRow = pInput.get() + static_cast<std::ptrdiff_t>(y) * sizeBitmap.width();
        for (int x = 0; x < sizeBitmap.width(); ++x) {
            const QRgb rgb = pLine[x];
            pRow[x] = {static_cast<std::uint8_t>(qBlue(rgb)),
                       static_cast<std::uint8_t>(qGreen(rgb)), static_cast<std::uint8_t>(qRed(rgb)),
                       static_cast<std::uint8_t>(qAlpha(rgb))};
        }
    }

    QSize sizeInput = sizeBitmap;
    bool bFirst = true;
    for (C32BitImageProcessor* pProcessor : arrProcessors) {
        if (!bFirst) {
            const std::int64_t nPrevious = PixelCount(sizeInput);
            if (nInputCapacity < nPrevious) {
                pInput = AllocatePixels(nPrevious);
                if (!pInput)
                    return false;
                nInputCapacity = nPrevious;
            }
            std::copy_n(pOutput.get(), nPrevious, pInput.get());
        }
        bFirst = false;
        FillBackground(pOutput.get(), nOutputPixels, m_crBackground);
        const QSize sizeOutput = pProcessor->OutputSize(sizeInput);
        if (!pProcessor->TransformPixels(pInput.get(), sizeInput, pOutput.get(), sizeOutput,
                                         crMask))
            return false;
        sizeInput = sizeOutput;
    }

    QImage result(sizeInput, QImage::Format_RGB32);
    if (result.isNull())
        return false;
    for (int y = 0; y < sizeInput.height(); ++y) {
        QRgb* pLine = reinterpret_cast<QRgb*>(result.scanLine(y));
        const CPixel32* pRow = pOutput.get() + static_cast<std::ptrdiff_t>(y) * sizeInput.width();
        for (int x = 0; x < sizeInput.width(); ++x)
            pLine[x] = qRgb(pRow[x].btRed, pRow[x].btGreen, pRow[x].btBlue);
    }
    m_image = std::move(result);
    return true;
}

bool CEnBitmap::RunProcessor(C32BitImageProcessor& processor, std::uint32_t crMask)
{
    C32BitImageProcessor* arrProcessors[] = {&processor};
    return RunProcessors(arrProcessors, crMask);
}

bool CEnBitmap::MapToSystemColors()
{
    CImageSysColorMapper mapper;
    return RunProcessor(mapper);
}

bool CEnBitmap::ReplaceOneColor(std::uint32_t crFrom, std::uint32_t crTo)
{
    CColorReplacer replacer(crFrom, crTo);
    return RunProcessor(replacer);
}
