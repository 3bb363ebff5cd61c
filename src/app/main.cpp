#include "app/reportmode.h"
#include "app/trendoraapp.h"

int main(int argc, char** argv)
{
    if (const std::optional<int> nReportExit = RunReportMode(argc, argv))
        return *nReportExit;
    CTrendoraApp app(argc, argv);
    return app.Run();
}
