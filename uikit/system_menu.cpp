#include "uikit/system_menu.h"

#include "core/language_tr.h"
#include "uikit/caption_layout.h"
#include "uikit/nc_codes.h"

ui::MenuSpec SystemMenuSpec(unsigned style)
{
    const bool minimised = style & WS_MINIMIZE;
    const bool maximised = style & WS_MAXIMIZE;
    const bool normal = !minimised && !maximised;
    auto item = [](int id, const char* text, bool enabled) { return ui::MenuSpec::item(id, Tr(text), false, enabled); };
    ui::MenuSpec menu =
        ui::MenuSpec::subMenu(QString(), {
                                             item(SC_RESTORE, "还原", minimised || maximised),
                                             item(SC_MOVE, "移动", normal),
                                             item(SC_SIZE, "大小", normal && (style & WS_THICKFRAME)),
                                             item(SC_MINIMIZE, "最小化", !minimised && (style & WS_MINIMIZEBOX)),
                                             item(SC_MAXIMIZE, "最大化", !maximised && (style & WS_MAXIMIZEBOX)),
                                             ui::MenuSpec::separatorItem(),
                                             item(SC_CLOSE, "关闭", true),
                                         });
    menu.items[minimised ? 0 : 6].isDefault = true;
    return menu;
}

int ControlButtonCommand(int button, unsigned style)
{
    switch (button) {
    case kMinButton:
        if (!(style & WS_MINIMIZEBOX))
            return 0;
        return style & WS_MINIMIZE ? SC_RESTORE : SC_MINIMIZE;
    case kMaxButton:
        if (!(style & WS_MAXIMIZEBOX))
            return 0;
        return style & WS_MAXIMIZE ? SC_RESTORE : SC_MAXIMIZE;
    case kCloseButton: return style & WS_SYSMENU ? SC_CLOSE : 0;
    default: return 0;
    }
}
