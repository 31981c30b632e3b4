#include "uikit/menu_mode.h"

#include <algorithm>

namespace {

bool isMenuKey(int vk)
{
    return vk == MenuModeMachine::VK_MENU || vk == MenuModeMachine::VK_F10;
}

// Keys that type a letter or a digit: what Alt combines with for a mnemonic.
bool isMnemonicKey(int vk)
{
    return (vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z');
}

} // namespace

void MenuModeMachine::SetItems(std::vector<int> mnemonics)
{
    mnemonics_ = std::move(mnemonics);
    if (overflow_ >= int(mnemonics_.size()))
        overflow_ = -1;
    clampToShown();
}

void MenuModeMachine::SetOverflow(int overflow)
{
    overflow_ = overflow >= 0 && overflow < int(mnemonics_.size()) ? overflow : -1;
    clampToShown();
}

int MenuModeMachine::LastShown() const
{
    return overflow_ >= 0 ? overflow_ : int(mnemonics_.size()) - 1;
}

void MenuModeMachine::clampToShown()
{
    const int last = LastShown();
    if (mode_ && last < 0) {
        // Every item went away: nothing is left to show.
        running_ = false;
        if (!dropDown_)
            end();
        return;
    }
    hot_ = std::min(hot_, last);
    opened_ = std::min(opened_, last);
    if (pending_ > last)
        pending_ = -1;
}

MenuModeMachine::ItemState MenuModeMachine::StateOf(int index) const
{
    if (index < 0)
        return kNormal;
    if (index == opened_)
        return kOpened;
    return index == hot_ ? kHot : kNormal;
}

unsigned MenuModeMachine::Enter(int index, bool byKeyboard)
{
    if (mode_ || LastShown() < 0)
        return kNothing;
    mode_ = true;
    running_ = true;
    dropDown_ = false;
    skip_ = false;
    sysDown_ = 0;
    armed_ = 0;
    opened_ = -1;
    pending_ = -1;
    if (index < 0) {
        hot_ = 0;
        return kNothing;
    }
    hot_ = std::min(index, LastShown());
    pending_ = hot_;
    byKeyboard_ = byKeyboard;
    return kOpen;
}

unsigned MenuModeMachine::Leave()
{
    if (!mode_)
        return kNothing;
    running_ = false;
    if (dropDown_)
        return kCancelDropDown;
    end();
    return kNothing;
}

unsigned MenuModeMachine::CancelDropDown()
{
    if (!dropDown_)
        return kNothing;
    pending_ = -1;
    return kCancelDropDown;
}

void MenuModeMachine::end()
{
    mode_ = false;
    running_ = false;
    hot_ = -1;
    opened_ = -1;
    pending_ = -1;
    skip_ = false;
    sysDown_ = 0;
}

bool MenuModeMachine::Hover(int item)
{
    const int hot = item < 0 || item > LastShown() ? -1 : item;
    if (mode_ || hot == hot_)
        return false;
    hot_ = hot;
    return true;
}

bool MenuModeMachine::FrameKey(bool press, int vk, bool alt, unsigned& effects)
{
    effects = kNothing;
    if (mode_)
        return false;
    if (!press) {
        const bool alone = vk != 0 && vk == armed_;
        armed_ = 0;
        if (alone)
            effects = Enter(-1, true);
        return false;
    }
    if (isMenuKey(vk)) {
        armed_ = vk;
        return false;
    }
    armed_ = 0;
    if (!alt || !isMnemonicKey(vk))
        return false;
    const int index = mnemonicIndex(vk);
    effects = index >= 0 ? Enter(index, true) : unsigned(kBeep);
    return true;
}

int MenuModeMachine::mnemonicIndex(int vk) const
{
    const auto found = std::find(mnemonics_.begin(), mnemonics_.end(), vk);
    if (found == mnemonics_.end())
        return -1;
    // An item in the overflow is reached through the chevron.
    return std::min(int(found - mnemonics_.begin()), LastShown());
}

unsigned MenuModeMachine::openMnemonic(int vk)
{
    const int index = mnemonicIndex(vk);
    if (index < 0)
        return kNothing;
    pending_ = index;
    byKeyboard_ = true;
    return kOpen;
}

unsigned MenuModeMachine::switchTo(int index, bool byKeyboard)
{
    pending_ = index;
    byKeyboard_ = byKeyboard;
    return kCancelDropDown;
}

unsigned MenuModeMachine::stepAlongBar(bool next)
{
    const int current = dropDown_ ? opened_ : hot_;
    const int last = LastShown();
    int index = next ? current + 1 : current - 1;
    if (index > last)
        index = 0;
    else if (index < 0)
        index = last;
    if (dropDown_)
        return switchTo(index, true);
    hot_ = index;
    return kNothing;
}

unsigned MenuModeMachine::KeyDown(int vk, bool sys)
{
    if (!mode_)
        return kNothing;
    if (sys) {
        if (isMenuKey(vk)) {
            sysDown_ = vk;
            return kNothing;
        }
        return vk > VK_SPACE ? openMnemonic(vk) : kNothing;
    }
    switch (vk) {
    case VK_RETURN:
    case VK_DOWN:
        if (dropDown_ || hot_ < 0)
            return kNothing;
        pending_ = hot_;
        byKeyboard_ = true;
        return kOpen;
    case VK_ESCAPE: return Leave();
    case VK_LEFT: return stepAlongBar(false);
    case VK_RIGHT: return stepAlongBar(true);
    default: return vk > VK_SPACE ? openMnemonic(vk) : kNothing;
    }
}

unsigned MenuModeMachine::KeyUp(int vk)
{
    // Only the release of an Alt or F10 pressed in menu mode ends it, not
    // that of the Alt that came with the mnemonic entering it.
    if (!mode_ || !isMenuKey(vk) || vk != sysDown_)
        return kNothing;
    sysDown_ = 0;
    return Leave();
}

unsigned MenuModeMachine::ButtonDown(int item)
{
    if (!mode_)
        return kNothing;
    if (item < 0 || skip_)
        return Leave();
    pending_ = item;
    byKeyboard_ = false;
    return kOpen;
}

unsigned MenuModeMachine::MouseMove(int item)
{
    if (skip_) {
        skip_ = false;
        return kNothing;
    }
    if (!mode_ || item < 0)
        return kNothing;
    const int current = hot_ >= 0 ? hot_ : opened_;
    if (item == current)
        return kNothing;
    if (dropDown_)
        return switchTo(item, false);
    hot_ = item;
    return kNothing;
}

bool MenuModeMachine::PopupKey(int vk, int openMenus, bool activeItemHasSubMenu, unsigned& effects)
{
    effects = kNothing;
    if (!mode_ || !dropDown_)
        return false;
    // Left closes a sub-menu and Right opens one before they move along the bar.
    if (vk == VK_LEFT && openMenus < 2) {
        effects = stepAlongBar(false);
        return true;
    }
    if (vk == VK_RIGHT && !activeItemHasSubMenu) {
        effects = stepAlongBar(true);
        return true;
    }
    return false;
}

int MenuModeMachine::RunDropDowns(const std::function<int(int, bool)>& show)
{
    if (!mode_ || dropDown_)
        return 0;
    dropDown_ = true;
    int command = 0;
    while (running_) {
        const int index = pending_;
        if (index < 0 || index > LastShown())
            break;
        opened_ = index;
        hot_ = -1;
        pending_ = -1;
        skip_ = true;
        const int result = show(index, byKeyboard_);
        skip_ = true;
        opened_ = -1;
        hot_ = std::min(index, LastShown());
        // Without a drop-down there the item stays hot; once leaving was
        // asked for, what the drop-down returns no longer counts.
        if (result < 0 || !running_)
            break;
        if (result > 0) {
            command = result;
            running_ = false;
        }
    }
    dropDown_ = false;
    pending_ = -1;
    if (!running_ || LastShown() < 0)
        end();
    else if (hot_ < 0)
        hot_ = 0;
    return command;
}
