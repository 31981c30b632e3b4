#include "dialogs/modal_view_dialogs.h"
#include "frame/tavrix_app.h"

int main(int argc, char** argv)
{
    // The views ask the operator through the real dialogs.
    IViewDialogs* previous = setViewDialogs(&ProgramViewDialogs());
    const int code = RunTavrix(argc, argv);
    setViewDialogs(previous);
    return code;
}
