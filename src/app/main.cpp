#include "app/commandline.h"
#include "app/reportmode.h"
#include "app/trendoraapp.h"

int main(int argc, char** argv)
{
    if (const std::optional<int> nReportExit = RunReportMode(argc, argv))
        return *nReportExit;
    AnswerInfoOptions(argc, argv);
    CTrendoraApp app(argc, argv);
    return app.Run();
}
