#include "app/commandline.h"
#include "app/reportmode.h"
#include "app/trendoraapp.h"

#if defined(_WIN32)
#include "app/windowsconsole.h"
#endif

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
    return app.Run();
#endif
}
