// A picture that can run pixel processors over its own pixels. The pixels are kept as
// QImage::Format_RGB32; every operation either succeeds or leaves the picture unchanged.
#pragma once

#include "skin/imageprocessor.h"

#include <QImage>

#include <cstdint>
#include <span>

class CEnBitmap
{
public:
    virtual ~CEnBitmap() = default;

    // Makes this picture an independent copy of image; false and no change for a null image
    // or when the copy cannot be made.
    bool CopyFrom(const QImage& image);

    // Replaces the pixels by the result of the processors applied in order. True without a
    // change for an empty list; false without a change for a null picture, a null
    // processor, a processor that fails, or buffers that cannot be allocated.
    bool RunProcessors(std::span<C32BitImageProcessor* const> arrProcessors,
                       std::uint32_t crMask = kNoMaskColor);
    bool RunProcessor(C32BitImageProcessor& processor, std::uint32_t crMask = kNoMaskColor);
    bool MapToSystemColors();
    bool ReplaceOneColor(std::uint32_t crFrom, std::uint32_t crTo);

    bool IsNull() const { return m_image.isNull(); }
    const QImage& GetImage() const { return m_image; }

    // Fill of the output buffer before each processor runs, as 0x00BBGGRR; white, and also
    // kNoMaskColor, fill the fourth byte with 255 too.
    std::uint32_t m_crBackground = 0xFFFFFF;

private:
    QImage m_image;
};

// The class the toolbar instantiates for one operation.
class CEnBitmapEx : public CEnBitmap
{
};
