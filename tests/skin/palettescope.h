// Gives the application palette chosen colours for one test and restores it afterwards, so
// that the system colours the skin reads are known.
#pragma once

#include <QApplication>
#include <QColor>
#include <QPalette>

#include <initializer_list>
#include <utility>

class CPaletteScope
{
public:
    CPaletteScope(std::initializer_list<std::pair<QPalette::ColorRole, QColor>> roles)
        : m_palOld(QApplication::palette())
    {
        QPalette pal = m_palOld;
        for (const auto& [eRole, color] : roles)
            pal.setColor(eRole, color);
        QApplication::setPalette(pal);
    }
    ~CPaletteScope() { QApplication::setPalette(m_palOld); }
    CPaletteScope(const CPaletteScope&) = delete;
    CPaletteScope& operator=(const CPaletteScope&) = delete;

private:
    QPalette m_palOld;
};
