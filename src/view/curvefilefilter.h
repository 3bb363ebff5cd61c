// The name filter of the open-file dialog for recorder files. Memory cards name their files
// in capitals (DATA0001.CSV), so every dialog the platform may give must list .csv in any
// letter case; the patterns that achieve it depend on the dialog's matcher.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

class QFileDialog;

enum class EFileDialogKind
{
    QtWidgets,   // Qt's own: ignores case, shows the whole filter text
    Windows,     // the shell's: ignores case, knows only * and ?
    MacOS,       // the system's: ignores case
    Gtk,         // GTK's (platform theme gtk3): case-sensitive globs, shows only the name
    Portal,      // the desktop portal's: case-sensitive globs, shows only the name
    OtherNative, // another platform theme's dialog on Unix
};

// The dialog a QFileDialog shows, from the platform plugin's name (QGuiApplication::
// platformName), the platform theme asked for (QT_QPA_PLATFORMTHEME) and whether the
// dialog hands itself to the platform.
EFileDialogKind FileDialogKindFor(QStringView strPlatform, QStringView strTheme,
                                  bool bPlatformDialog);

// The patterns handed to that dialog.
QStringList CurveFilePatterns(EFileDialogKind eKind);
// "Curve Files (*.csv)", or with the patterns that dialog needs.
QString CurveFileFilter(EFileDialogKind eKind);

// The filter for dlg, decided from the running application.
QString CurveFileFilterFor(const QFileDialog& dlg);
