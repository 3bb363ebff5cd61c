#include "skin/syscolors.h"

#include "res/colorref.h"

#include <QGuiApplication>
#include <QPalette>

std::uint32_t SysColorRef(ESysColor eColor)
{
    QPalette::ColorRole eRole = QPalette::Button;
    switch (eColor) {
    case ESysColor::WindowText:
        eRole = QPalette::WindowText;
        break;
    case ESysColor::ButtonFace:
        eRole = QPalette::Button;
        break;
    case ESysColor::ButtonShadow:
        eRole = QPalette::Dark;
        break;
    case ESysColor::ButtonText:
        eRole = QPalette::ButtonText;
        break;
    case ESysColor::ButtonHighlight:
        eRole = QPalette::Light;
        break;
    }
    return ColorToRef(QGuiApplication::palette().color(QPalette::Active, eRole));
}
