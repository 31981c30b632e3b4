#include "views/wall_view_menus.h"

#include <algorithm>

#include "core/language_tr.h"

namespace wallmenu {
namespace {

using ui::MenuSpec;
using Items = std::vector<MenuSpec>;

MenuSpec Item(int id, const char* text, bool checked = false)
{
    return MenuSpec::item(id, Tr(text), checked);
}

MenuSpec Popup(const char* text, Items items)
{
    return MenuSpec::subMenu(Tr(text), std::move(items));
}

MenuSpec Separator()
{
    return MenuSpec::separatorItem();
}

// The popup's empty stand-in: a sub-menu without items would render as a
// command of id 0.
MenuSpec EmptyPopup(const char* text)
{
    return MenuSpec::item(0, Tr(text), false, false);
}

Items SourceItems(const std::vector<MenuSource>& sources, int base, int last, bool mayCheck, int32_t checkedSource)
{
    Items items;
    for (const MenuSource& s : sources)
        if (s.id >= 0 && int64_t(base) + s.id <= last)
            items.push_back(MenuSpec::item(base + s.id, s.name, mayCheck && s.id == checkedSource));
    return items;
}

// Ascending ids, each once.
std::vector<MenuSource> ById(std::vector<MenuSource> sources)
{
    std::stable_sort(sources.begin(), sources.end(),
                     [](const MenuSource& a, const MenuSource& b) { return a.id < b.id; });
    sources.erase(std::unique(sources.begin(), sources.end(),
                              [](const MenuSource& a, const MenuSource& b) { return a.id == b.id; }),
                  sources.end());
    return sources;
}

bool ServesSaveToProcessor(int32_t model)
{
    static constexpr int32_t kModels[] = {2, 4, 6, 7, 8, 9, 10};
    return std::find(std::begin(kModels), std::end(kModels), model) != std::end(kModels);
}

// The model whose wall is made of two outputs and has no split.
constexpr int32_t kTwoOutputModel = 6;

} // namespace

GridShape WatchLayoutShape(int item)
{
    switch (item) {
    case 2: return {1, 1};
    case 3: return {1, 2};
    case 4: return {1, 3};
    case 5: return {2, 2};
    case 6: return {2, 4};
    default: return {};
    }
}

bool IsFourOrEightPart(int32_t model)
{
    return model == 4 || (model >= 7 && model <= 10);
}

std::optional<int32_t> BoundGroupOf(const WindowMenuState& state, int id)
{
    if (id < kGroupBase || id > kGroupLast || size_t(id - kGroupBase) >= state.groups.size())
        return std::nullopt;
    return state.groups[size_t(id - kGroupBase)].id;
}

MenuSpec BuildLogoMenu()
{
    MenuSpec menu;
    menu.items = {Item(kLogoSettings, "台标设置..."), Item(kSendLogos, "发送所有台标"),
                  Item(kSaveMonitorLogo, "保存此显示器台标")};
    return menu;
}

MenuSpec BuildWindowMenu(const WindowMenuState& s)
{
    const bool advanced = IsFourOrEightPart(s.model);
    const bool obm = s.obm == 1;
    const bool single = s.selectionCount < 2;
    Items top;
    Items more;
    Items& m = advanced ? more : top;

    m.push_back(Item(kClearVideo, "清空视频窗口"));
    if (!obm)
        m.push_back(Item(kClearLogos, "清空台标"));
    if (s.onBody && single) {
        m.push_back(Separator());
        m.push_back(Item(kRename, "重新命名"));
    }
    if (s.onBody || !single) {
        Items group;
        if (!s.groups.empty()) {
            Items bind;
            for (size_t i = 0; i < s.groups.size() && i <= size_t(kGroupLast - kGroupBase); ++i)
                bind.push_back(MenuSpec::item(kGroupBase + int(i), s.groups[i].name));
            group.push_back(Popup("绑定分组", std::move(bind)));
        }
        group.push_back(Item(kUnbindGroups, "解开绑定"));
        group.push_back(Separator());
        group.push_back(Item(kNewGroup, "创建新分组并绑定"));
        m.push_back(Popup("分组", std::move(group)));
        m.push_back(Separator());

        const bool mayCheck = single && s.hasClicked;
        if (advanced)
            top.push_back(
                Popup("信号源切换", SourceItems(ById(s.sources), kSourceBase, kSourceLast, mayCheck, s.clickedSource)));
        else
            m.push_back(
                Popup("窗口选择信号源", SourceItems(s.sources, kSourceBase, kSourceLast, mayCheck, s.clickedSource)));
        if (s.onBody && single && s.hasClicked && s.clickedGroup > 0)
            m.push_back(Popup("分组选择信号源",
                              SourceItems(s.sources, kGroupSourceBase, kGroupSourceLast, true, s.clickedSource)));
        m.push_back(Separator());
    }
    top.push_back(Item(kExecute, "执行"));
    if (s.onBody && single) {
        if (!s.activeLocked)
            top.push_back(Item(kWindowPosition, "设置"));
        top.push_back(Separator());
        if (!s.activeFullScreen) {
            top.push_back(Item(kFullScreenOn, "全屏显示"));
            m.push_back(Item(kMaximizeInCell, "单元内最大化"));
        } else {
            top.push_back(Item(kFullScreenOff, "取消全屏"));
        }
        m.push_back(Item(kSizeToSource, "原始尺寸"));
        if (advanced)
            top.push_back(Item(kPointToPoint, "点对点显示", s.hasClicked && !s.clickedScaled));
        if (s.model != kTwoOutputModel)
            m.push_back(Item(kSplit, "拆分窗口"));
        m.push_back(Separator());
        m.push_back(Item(kLock, "锁定窗口"));
        m.push_back(Item(kUnlock, "取消锁定"));
        m.push_back(Separator());
        m.push_back(Popup("层操作", {Item(kRaiseLayer, "层上移"), Item(kLowerLayer, "层下移"),
                                     Item(kLayerToTop, "层置顶"), Item(kLayerToBottom, "层置底")}));
    } else if (!single) {
        m.push_back(Separator());
        m.push_back(Item(kLock, "锁定窗口"));
        m.push_back(Item(kUnlock, "取消锁定"));
        m.push_back(Popup("对齐方式", {Item(kAlignLeft, "左对齐"), Item(kAlignRight, "右对齐"),
                                       Item(kAlignTop, "上对齐"), Item(kAlignBottom, "下对齐")}));
        m.push_back(Popup("尺寸调整", {Item(kSameWidth, "使宽度相同"), Item(kSameHeight, "使高度相同"),
                                       Item(kSameSize, "使尺寸相同")}));
        if (s.selectionCount == 2)
            m.push_back(Popup("吸附", {Item(kSnapLeft, "吸附到左边"), Item(kSnapRight, "吸附到右边"),
                                       Item(kSnapTop, "吸附到上边"), Item(kSnapBottom, "吸附到下边")}));
    }
    m.push_back(Separator());
    if (!obm)
        m.push_back(Item(kSaveMonitorLogo, "保存此显示器台标"));
    m.push_back(Item(kSave, "保存"));
    m.push_back(Item(kSaveAs, "另存为"));
    if (s.planType == 1 && !obm) {
        m.push_back(Separator());
        m.push_back(Item(kStandardOutputPlan, "创建标准输出方案"));
    }
    m.push_back(Separator());
    m.push_back(Item(kFitModule, "自适应模式", s.fitModule));
    m.push_back(Item(kTransparent, "透明效果", s.transparent));
    m.push_back(Item(kAutoExecute, "自动执行", s.autoExecute));
    if (ServesSaveToProcessor(s.model) && s.planWindowCount > 0)
        top.push_back(Item(kSaveToProcessor, "保存至处理器"));
    if (advanced)
        top.push_back(Item(kClearGuideLines, "清空网格"));
    if (advanced)
        top.push_back(Popup("高级", std::move(more)));
    else
        top.push_back(EmptyPopup("高级"));

    MenuSpec menu;
    menu.items = std::move(top);
    return menu;
}

MenuSpec BuildWatchSlotMenu(const WatchMenuState& s)
{
    Items items;
    const int count = int(s.sources.size());
    if (count >= 2) {
        static constexpr struct {
            int item;
            int minSources;
            const char* text;
        } kLayouts[] = {{2, 2, "1 x 1 布局"},
                        {3, 2, "1 x 2 布局"},
                        {4, 3, "1 x 3 布局"},
                        {5, 4, "2 x 2 布局"},
                        {6, 8, "2 x 4 布局"}};
        Items layouts;
        for (const auto& layout : kLayouts) {
            if (count < layout.minSources)
                continue;
            const GridShape shape = WatchLayoutShape(layout.item);
            layouts.push_back(
                Item(layout.item, layout.text, s.hasWatch && s.rows == shape.rows && s.cols == shape.cols));
        }
        items.push_back(Popup("画面布局", std::move(layouts)));
        items.push_back(Separator());
    }
    if (s.hasWatch) {
        items.push_back(Item(kWatchClearCell, "清除信号源"));
        items.push_back(Separator());
    }
    for (MenuSpec& item : SourceItems(s.sources, kWatchSourceBase, INT32_MAX, s.hasWatch, s.cellSource))
        items.push_back(std::move(item));
    MenuSpec menu;
    menu.items = std::move(items);
    return menu;
}

} // namespace wallmenu
