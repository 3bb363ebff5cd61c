#include "app/commandline.h"
#include "app/reportmode.h"
#include "app/trendoraapp.h"

#if defined(_WIN32)
#include "app/windowsconsole.h"
#endif

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
#if defined(_WIN32)
    PrepareStandardStreams();
#endif
    if (const std::optional<int> nReportExit = RunReportMode(argc, argv))
        return *nReportExit;
    AnswerInfoOptions(argc, argv);
#if defined(TRENDORA_CONSOLE_COMPANION)
    return StartWindowProgram();
#else
    CTrendoraApp app(argc, argv);
    // Read once the application object has taken Qt's own options out of the arguments.
    const CCommandLine commandLine = ParseCommandLine(QCoreApplication::arguments());
    if (!commandLine.strError.isEmpty()) {
        std::fprintf(stderr, "trendora: %s\n", qUtf8Printable(commandLine.strError));
        return kReportUsage;
    }
    return app.Run(commandLine.files);
#endif
}
