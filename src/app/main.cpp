#include "app/trendoraapp.h"

int main(int argc, char** argv)
{
    CTrendoraApp app(argc, argv);
    return app.Run();
}
