#include "app/commandline.h"
#include "app/trendoraapp.h"

int main(int argc, char** argv)
{
    AnswerInfoOptions(argc, argv);
    CTrendoraApp app(argc, argv);
    return app.Run();
}
