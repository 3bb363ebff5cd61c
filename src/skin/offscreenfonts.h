// Fonts for the offscreen platform, which report runs and the tests draw on.
#pragma once

#include <QString>
#include <QtGlobal>

// On Windows the offscreen platform reads its fonts from a folder, by default one beside Qt that
// holds none, and then draws every letter as a box: give it Windows' own. Call it before the
// QApplication is made. (Under Wine it cannot be set from outside: Wine hands no QT_ variable
// of the Unix environment to a Windows program.)
inline void UseWindowsFontsOffscreen()
{
#ifdef Q_OS_WIN
    if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR") && !qEnvironmentVariableIsEmpty("SystemRoot"))
        qputenv("QT_QPA_FONTDIR",
                (qEnvironmentVariable("SystemRoot") + QStringLiteral("\\Fonts")).toLocal8Bit());
#endif
}
