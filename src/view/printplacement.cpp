#include "view/printplacement.h"

#include <cstdint>
#include <utility>

namespace {

// Start and length on one axis, in printer pixels.
std::pair<double, double> CentredSpan(int nPicture, int nArea, int nScreenDpi, int nPrinterDpi)
{
    if (nScreenDpi <= 0 || nPrinterDpi <= 0)
        nScreenDpi = nPrinterDpi = 1; // a device that reports no resolution prints 1:1
    // The printable extent in whole screen pixels.
    const std::int64_t nAreaScreen = static_cast<std::int64_t>(nArea) * nScreenDpi / nPrinterDpi;
    const std::int64_t nStart = (nAreaScreen - nPicture) / 2; // negative when it must be cut
    const double fScale = static_cast<double>(nPrinterDpi) / nScreenDpi;
    return {static_cast<double>(nStart) * fScale, nPicture * fScale};
}

} // namespace

QRectF PicturePlacement(const QSize& pictureSize, const QSize& areaSize, CResolution screen,
                        CResolution printer)
{
    const auto [fX, fWidth] =
        CentredSpan(pictureSize.width(), areaSize.width(), screen.nX, printer.nX);
    const auto [fY, fHeight] =
        CentredSpan(pictureSize.height(), areaSize.height(), screen.nY, printer.nY);
    return {fX, fY, fWidth, fHeight};
}
