#include "views/view_dialogs.h"

namespace {
CancellingViewDialogs g_cancelling;
IViewDialogs* g_installed = nullptr;
} // namespace

IViewDialogs& viewDialogs()
{
    return g_installed ? *g_installed : g_cancelling;
}

IViewDialogs* setViewDialogs(IViewDialogs* dialogs)
{
    IViewDialogs* previous = g_installed;
    g_installed = dialogs;
    return previous;
}
