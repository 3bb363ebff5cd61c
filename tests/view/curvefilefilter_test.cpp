#include "view/curvefilefilter.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

namespace {

// Matches a name as the dialog's own matcher does: a shell glob, with or without case.
bool Lists(const QStringList& arrPatterns, const QString& strName, bool bIgnoresCase)
{
    for (const QString& strPattern : arrPatterns) {
        const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(strPattern),
                                    bIgnoresCase ? QRegularExpression::CaseInsensitiveOption
                                                 : QRegularExpression::NoPatternOption);
        if (re.match(strName).hasMatch())
            return true;
    }
    return false;
}

TEST(CurveFileFilter, EveryDialogListsCsvInAnyCaseAndShowsCurveFiles)
{
    struct CCase
    {
        const char* szPlatform;
        const char* szTheme;
        bool bPlatformDialog;
        EFileDialogKind eKind;
        bool bIgnoresCase;   // the dialog's matcher
        bool bShowsPatterns; // the dialog shows the filter's text whole
    };
    const CCase cases[] = {
        {"xcb", "", false, EFileDialogKind::QtWidgets, true, true},
        {"xcb", "gtk3", false, EFileDialogKind::QtWidgets, true, true},
        {"offscreen", "", false, EFileDialogKind::QtWidgets, true, true},
        {"windows", "", true, EFileDialogKind::Windows, true, true},
        {"cocoa", "", true, EFileDialogKind::MacOS, true, true},
        {"xcb", "gtk3", true, EFileDialogKind::Gtk, false, false},
        {"wayland", "gtk3", true, EFileDialogKind::Gtk, false, false},
        {"xcb", "xdgdesktopportal", true, EFileDialogKind::Portal, false, false},
        {"wayland", "flatpak", true, EFileDialogKind::Portal, false, false},
        {"xcb", "", true, EFileDialogKind::OtherNative, false, false},
    };
    for (const CCase& c : cases) {
        const std::string strCase = std::string(c.szPlatform) + "/" + c.szTheme;
        const EFileDialogKind eKind = FileDialogKindFor(
            QString::fromLatin1(c.szPlatform), QString::fromLatin1(c.szTheme), c.bPlatformDialog);
        EXPECT_EQ(c.eKind, eKind) << strCase;
        const QStringList arrPatterns = CurveFilePatterns(eKind);
        if (eKind == EFileDialogKind::Windows) { // the shell's matcher knows only * and ?
            EXPECT_FALSE(arrPatterns.join(' ').contains('[')) << strCase;
        }
        for (const char* szName : {"lower.csv", "DATA0001.CSV", "Log.Csv", "a.cSV"})
            EXPECT_TRUE(Lists(arrPatterns, szName, c.bIgnoresCase)) << strCase << " " << szName;
        for (const char* szName : {"notes.txt", "DATA0001.CSV.bak", "csv"})
            EXPECT_FALSE(Lists(arrPatterns, szName, c.bIgnoresCase)) << strCase << " " << szName;
        // Where the dialog shows the whole text, it reads as it always has.
        const QString strFilter = CurveFileFilter(eKind);
        if (c.bShowsPatterns)
            EXPECT_EQ("Curve Files (*.csv)", strFilter) << strCase;
        else
            EXPECT_EQ("Curve Files ", strFilter.left(strFilter.indexOf('('))) << strCase;
    }
}

} // namespace
