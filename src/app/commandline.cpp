#include "app/commandline.h"

#include "app/reportoptions.h"
#include "app/trendoraapp.h"

#include <QCommandLineParser>
#include <QCoreApplication>

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
    const QStringList arrFiles = parser.positionalArguments();
    if (arrFiles.size() > 1)
        result.strError = QStringLiteral("Only one file can be opened at a time.");
    else if (!arrFiles.isEmpty())
        result.strFile = arrFiles.constFirst();
    return result;
}

void AnswerInfoOptions(int& argc, char** argv)
{
    QCoreApplication app(argc, argv);
    CTrendoraApp::SetIdentity();
    QCommandLineParser parser;
    SetUpCommandLine(parser);
    // Errors wait for the GUI application, which knows Qt's own options.
    parser.parse(app.arguments());
    // Qt's option list needs the GUI application; --help-all shows the program's own. The
    // report runs, which take options of their own, follow the window's usage.
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        std::fputs(qUtf8Printable(parser.helpText() + QLatin1Char('\n') + ReportUsage()), stdout);
        std::exit(0);
    }
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
}
