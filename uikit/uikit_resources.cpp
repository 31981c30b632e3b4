#include "uikit/uikit_resources.h"

#include <QtCore/qglobal.h>

void InitUikitResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(uikit);
        return true;
    }();
    (void)done;
}
