// Colours are kept as 32-bit integers 0x00BBGGRR (red in the lowest byte), in settings,
// curves and labels alike.
#pragma once

#include <QColor>

#include <cstdint>

inline QColor ColorFromRef(std::uint32_t cr)
{
    return QColor(static_cast<int>(cr & 0xFF), static_cast<int>((cr >> 8) & 0xFF),
                  static_cast<int>((cr >> 16) & 0xFF));
}

inline std::uint32_t ColorToRef(const QColor& color)
{
    return static_cast<std::uint32_t>(color.red()) |
           (static_cast<std::uint32_t>(color.green()) << 8) |
           (static_cast<std::uint32_t>(color.blue()) << 16);
}
