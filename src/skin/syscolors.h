// The system colours the skinned controls paint with, read from the application palette at
// the moment they are asked for (nothing is cached, so a palette change shows at once).
#pragma once

#include <cstdint>

enum class ESysColor
{
    WindowText,
    ButtonFace,
    ButtonShadow, // the palette's dark role
    ButtonText,
    ButtonHighlight, // the palette's light role
};

// The colour as 0x00BBGGRR.
std::uint32_t SysColorRef(ESysColor eColor);
