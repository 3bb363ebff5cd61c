#include "view/colorfamily.h"

#include "res/colorref.h"

#include <QColor>

namespace {

// The golden angle: however many recordings there are, the next one's hue falls in the
// widest gap the others leave.
constexpr double kHueStep = 137.508;

} // namespace

std::uint32_t FamilyColor(std::uint32_t crColor, int nMember)
{
    if (nMember <= 0)
        return crColor;
    QColor color = ColorFromRef(crColor).toHsv();
    int nHue = color.hsvHue();
    int nSaturation = color.hsvSaturation();
    int nValue = color.value();
    // Grey has no hue to turn: it gets one, and black some lightness, so it can change.
    if (nHue < 0 || nSaturation < 60) {
        nHue = 0;
        nSaturation = 200;
    }
    if (nValue < 120)
        nValue = 160;
    nHue = static_cast<int>(nHue + nMember * kHueStep) % 360;
    // Every other family is a little darker, which parts two whose hues come close.
    if (nMember % 2 == 1)
        nValue = nValue * 3 / 4;
    color.setHsv(nHue, nSaturation, nValue);
    return ColorToRef(color);
}
