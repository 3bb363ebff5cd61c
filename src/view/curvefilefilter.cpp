#include "view/curvefilefilter.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>

EFileDialogKind FileDialogKindFor(QStringView strPlatform, QStringView strTheme,
                                  bool bPlatformDialog)
{
    if (!bPlatformDialog)
        return EFileDialogKind::QtWidgets;
    if (strPlatform == u"windows")
        return EFileDialogKind::Windows;
    if (strPlatform == u"cocoa")
        return EFileDialogKind::MacOS;
    if (strTheme.startsWith(u"gtk"))
        return EFileDialogKind::Gtk;
    if (strTheme == u"xdgdesktopportal" || strTheme == u"flatpak" || strTheme == u"snap")
        return EFileDialogKind::Portal;
    return EFileDialogKind::OtherNative;
}

QStringList CurveFilePatterns(EFileDialogKind eKind)
{
    switch (eKind) {
    case EFileDialogKind::QtWidgets:
    case EFileDialogKind::Windows:
    case EFileDialogKind::MacOS:
        return {QStringLiteral("*.csv")};
    case EFileDialogKind::Gtk:
    case EFileDialogKind::Portal:
    case EFileDialogKind::OtherNative:
        break;
    }
    // Shell globs with bracket classes match every letter case of the extension; these
    // dialogs show only the text before the parenthesis, so the filter still reads
    // "Curve Files".
    return {QStringLiteral("*.[cC][sS][vV]")};
}

QString CurveFileFilter(EFileDialogKind eKind)
{
    return QStringLiteral("Curve Files (%1)").arg(CurveFilePatterns(eKind).join(u' '));
}

QString CurveFileFilterFor(const QFileDialog& dlg)
{
    // A dialog that the platform shows builds none of Qt's own widgets, its name box among
    // them; that is the one sign Qt gives of which dialog will open.
    const bool bPlatformDialog = !dlg.testOption(QFileDialog::DontUseNativeDialog) &&
                                 !QCoreApplication::testAttribute(Qt::AA_DontUseNativeDialogs) &&
                                 !dlg.findChild<QLineEdit*>();
    return CurveFileFilter(FileDialogKindFor(QGuiApplication::platformName(),
                                             qEnvironmentVariable("QT_QPA_PLATFORMTHEME"),
                                             bPlatformDialog));
}
