#include "app/commandline.h"

#include "app/reportmode.h"
#include "app/reportoptions.h"
#include "app/trendoraapp.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

void SetUpCommandLine(QCommandLineParser& parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Viewer for the log files of temperature and humidity recorders."));
    // "-platform" and Qt's other one-dash options are words, not runs of letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("Recorder file (.csv) to open at start."),
                                 QStringLiteral("[file]"));
}

CCommandLine ParseCommandLine(const QStringList& arrArgs)
{
    QCommandLineParser parser;
    SetUpCommandLine(parser);
    CCommandLine result;
    if (!parser.parse(arrArgs)) {
        result.strError = parser.errorText();
        return result;
    }
    result.files = parser.positionalArguments();
    return result;
}

QStringList WithoutQtOptions(const QStringList& arrArgs)
{
    // Qt reads them with one dash or two, the ones with a value also as -name=value.
    static const char* const kWithValue[] = {"platform",
                                             "platformpluginpath",
                                             "platformtheme",
                                             "plugin",
                                             "qwindowgeometry",
                                             "geometry",
                                             "qwindowicon",
                                             "icon",
                                             "qwindowtitle",
                                             "title",
                                             "session",
                                             "display",
                                             "style",
                                             "stylesheet",
                                             "name",
                                             "qmljsdebugger",
                                             "dialogs",
                                             "fontengine"};
    static const char* const kFlags[] = {"reverse", "widgetcount", "testability",
                                         "nograb",  "dograb",      "sync"};
    QStringList arrRest;
    for (qsizetype i = 0; i < arrArgs.size(); ++i) {
        const QString& strArg = arrArgs[i];
        if (strArg == QLatin1String("--")) { // only file names follow
            arrRest += arrArgs.mid(i);
            break;
        }
        if (i == 0 || !strArg.startsWith(u'-')) {
            arrRest += strArg;
            continue;
        }
        const QString strName = strArg.mid(strArg.startsWith(QLatin1String("--")) ? 2 : 1);
        const qsizetype nEquals = strName.indexOf(u'=');
        const QString strKey = nEquals < 0 ? strName : strName.left(nEquals);
        const auto is = [&](const char* sz) { return strKey == QLatin1String(sz); };
        if (std::any_of(std::begin(kWithValue), std::end(kWithValue), is)) {
            if (nEquals < 0)
                ++i; // the value follows
            continue;
        }
        if (nEquals < 0 && std::any_of(std::begin(kFlags), std::end(kFlags), is))
            continue;
        arrRest += strArg;
    }
    return arrRest;
}

void AnswerInfoOptions(int& argc, char** argv)
{
    QCoreApplication app(argc, argv);
    CTrendoraApp::SetIdentity();
    QCommandLineParser parser;
    SetUpCommandLine(parser);
    const QStringList arrArgs = WithoutQtOptions(app.arguments());
    parser.parse(arrArgs);
    // Qt's option list needs the GUI application; --help-all shows the program's own. The
    // report runs, which take options of their own, follow the window's usage.
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        std::fputs(qUtf8Printable(parser.helpText() + QLatin1Char('\n') + ReportUsage()), stdout);
        std::exit(0);
    }
    // Not QCommandLineParser::showVersion(): on Windows it opens a message box instead when the
    // standard handles are not redirected.
    if (parser.isSet(QStringLiteral("version"))) {
        std::fputs(qUtf8Printable(QCoreApplication::applicationName() + QLatin1Char(' ') +
                                  QCoreApplication::applicationVersion() + QLatin1Char('\n')),
                   stdout);
        std::exit(0);
    }
    const CCommandLine commandLine = ParseCommandLine(arrArgs);
    if (!commandLine.strError.isEmpty()) {
        std::fprintf(stderr, "trendora: %s\nTry 'trendora --help'.\n",
                     qUtf8Printable(commandLine.strError));
        std::exit(kReportUsage);
    }
}
