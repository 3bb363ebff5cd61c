// Where a screen picture lands on a printed sheet: at the physical size it has on screen,
// centred in the printable area, cut equally at both sides where it does not fit.
#pragma once

#include <QRectF>
#include <QSize>

// Resolutions in dots per inch, per axis.
struct CResolution
{
    int nX;
    int nY;
};

// The picture's rectangle in printer pixels, relative to the top left of the printable area
// (areaSize printer pixels). The centring works in whole screen pixels, rounded toward zero,
// so a sheet shows the picture's pixels where the screen had them.
QRectF PicturePlacement(const QSize& pictureSize, const QSize& areaSize, CResolution screen,
                        CResolution printer);
