#include "frame/tavrix_app.h"

int main(int argc, char** argv)
{
    return RunTavrix(argc, argv);
}
