#include "frame/caption_buttons.h"

#include <algorithm>

namespace {

enum When { kAlways, kWallType, kWallMore, kWallMoreOrSwitch, kSwitchType };

struct Row {
    int id;
    const char* tip;
    const char* picture;
    When when;
};

constexpr Row kRows[] = {
    {1, "设置屏幕墙", "ctl_set_video_wall.png", kAlways},
    {2, "创建新方案", "ctl_new_plan.png", kAlways},
    {4, "保存全部", "ctl_save_all.png", kAlways},
    {5, "执行", "ctl_run.png", kAlways},
    {6, "原始尺寸", "ctl_signal_size.png", kWallMore},
    {7, "全屏显示", "ctl_full_screen.png", kWallMore},
    {8, "锁定窗口", "ctl_lock.png", kWallMore},
    {13, "缩放画布", "ctl_zoomcanvas.png", kWallMore},
    {15, "4画面", "ctl_reflinestyle_4.png", kWallType},
    {16, "8画面", "ctl_reflinestyle_8.png", kWallMore},
    {17, "9画面", "ctl_reflinestyle_9.png", kWallMore},
    {18, "12画面", "ctl_reflinestyle_12.png", kWallMore},
    {19, "16画面", "ctl_reflinestyle_16.png", kWallType},
    {21, "输入台标", "ctl_addinputosdwnd.png", kWallMoreOrSwitch},
    {22, "打开屏幕", "ctl_screenopen.png", kWallType},
    {23, "关闭屏幕", "ctl_screenclose.png", kWallType},
    {24, "冻结屏幕", "ctl_screenfreeze.png", kWallMore},
    {25, "解冻屏幕", "ctl_screenunfreeze.png", kWallMore},
    {26, "方案面板", "ctl_planbar.png", kWallMoreOrSwitch},
    {27, "更多功能", nullptr, kWallType},
    {29, "通道切换", "ctl_processor_conversion.png", kSwitchType},
};

// The processor kind whose wall is set up without the caption's button.
constexpr int kKindWithoutWallSetup = 6;

bool Shown(const Row& row, const CaptionButtonContext& c)
{
    const bool wall = c.appType == 1;
    const bool more = c.hasProcessor && c.moreOn;
    if (row.id == captionbtn::kWallSetup && c.hasProcessor && c.kind == kKindWithoutWallSetup)
        return false;
    if (row.id == captionbtn::kZoomCanvas && c.obm == 1)
        return false;
    switch (row.when) {
    case kAlways: return true;
    case kWallType: return wall;
    case kWallMore: return wall && more;
    case kWallMoreOrSwitch: return !wall || more;
    case kSwitchType: return !wall;
    }
    return false;
}

} // namespace

std::vector<CaptionButtonSpec> CaptionButtonSet(const CaptionButtonContext& context)
{
    std::vector<CaptionButtonSpec> set;
    for (const Row& row : kRows) {
        if (!Shown(row, context))
            continue;
        std::string picture = row.picture ? row.picture
                                          : (context.hasProcessor && context.moreOn ? captionbtn::kMoreOpenPicture
                                                                                    : captionbtn::kMoreClosePicture);
        set.push_back({row.id, row.tip, std::move(picture)});
    }
    return set;
}

std::vector<std::string> AllCaptionButtonPictures()
{
    std::vector<std::string> pictures;
    for (const Row& row : kRows)
        if (row.picture)
            pictures.emplace_back(row.picture);
    pictures.emplace_back(captionbtn::kMoreOpenPicture);
    pictures.emplace_back(captionbtn::kMoreClosePicture);
    return pictures;
}
