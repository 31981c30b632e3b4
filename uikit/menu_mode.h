#pragma once
// Menu mode of the caption menu bar without widgets: which item is hot or
// open, which drop-down opens next and what the bar must do after each key,
// click or move. Items are indexes; the chevron answers as the overflow
// index, and the last shown index is the overflow index or the last item.
#include <functional>
#include <vector>

class MenuModeMachine {
public:
    // Keys the menu acts on, with the platform's values.
    enum Key {
        VK_RETURN = 0x0D,
        VK_MENU = 0x12,
        VK_ESCAPE = 0x1B,
        VK_SPACE = 0x20,
        VK_LEFT = 0x25,
        VK_RIGHT = 0x27,
        VK_DOWN = 0x28,
        VK_F10 = 0x79,
    };
    // What the bar does once an input has been taken, as bits.
    enum Effect : unsigned {
        kNothing = 0,
        kOpen = 1,           // run the pending drop-downs, after the input has returned
        kCancelDropDown = 2, // close the open drop-down; the loop goes on with what is pending
        kBeep = 4,
    };
    enum ItemState { kNormal = 0, kOpened = 1, kHot = 2 };

    // The items' mnemonics (upper case, 0 for none), one per item.
    void SetItems(std::vector<int> mnemonics);
    // The first item the layout left out; -1 when all are shown.
    void SetOverflow(int overflow);
    int LastShown() const;

    bool InMenuMode() const { return mode_; }
    // In menu mode and not on the way out.
    bool Running() const { return mode_ && running_; }
    bool DropDownOpen() const { return dropDown_; }
    int Hot() const { return hot_; }
    int Opened() const { return opened_; }
    int Pending() const { return pending_; }
    ItemState StateOf(int index) const;

    // Starts menu mode with `index` hot and its drop-down pending; -1 makes
    // the first item hot and opens nothing. Nothing without items.
    unsigned Enter(int index, bool byKeyboard);
    // Ends menu mode; with a drop-down open, once it has closed.
    unsigned Leave();
    // Closes the open drop-down without opening another; menu mode stays.
    unsigned CancelDropDown();

    // Outside menu mode: the hot item follows the pointer (-1: none). True
    // when it changed.
    bool Hover(int item);
    // Keys of the frame outside menu mode: Alt or F10 pressed and released
    // alone enters menu mode, Alt with a letter or digit opens the item of
    // that mnemonic (a beep when none has it). True when the key is taken.
    bool FrameKey(bool press, int virtualKey, bool alt, unsigned& effects);
    // A key or click elsewhere ends an Alt or F10 press alone.
    void Disarm() { armed_ = 0; }

    // Input of the host during menu mode: key presses (`sys` with Alt held,
    // and for Alt and F10 themselves), key releases, and the item under a
    // left click or a move (-1 for none).
    unsigned KeyDown(int virtualKey, bool sys);
    unsigned KeyUp(int virtualKey);
    unsigned ButtonDown(int item);
    unsigned MouseMove(int item);
    // A key pressed in the open drop-down with `openMenus` menus open (the
    // drop-down and its sub-menus) and whether the active item of the
    // newest opens a sub-menu. False leaves the key to the drop-down.
    bool PopupKey(int virtualKey, int openMenus, bool activeItemHasSubMenu, unsigned& effects);

    // Opens the pending drop-downs one after another while menu mode lasts.
    // `show(index, byKeyboard)` runs one and returns the chosen command, 0
    // when it closed without one, or -1 when the item has none. Returns the
    // chosen command (menu mode is then over), else 0. Does nothing while a
    // drop-down is open.
    int RunDropDowns(const std::function<int(int index, bool byKeyboard)>& show);

private:
    int mnemonicIndex(int virtualKey) const;
    unsigned openMnemonic(int virtualKey);
    unsigned stepAlongBar(bool next);
    unsigned switchTo(int index, bool byKeyboard);
    void end();
    void clampToShown();

    std::vector<int> mnemonics_;
    int overflow_ = -1;
    bool mode_ = false;
    bool running_ = false; // false once leaving was asked for
    bool dropDown_ = false;
    int hot_ = -1;
    int opened_ = -1;
    int pending_ = -1;
    bool byKeyboard_ = false;
    // The first move after a drop-down opened or closed is the pointer
    // settling, not a choice; a click before any move ends menu mode.
    bool skip_ = false;
    int armed_ = 0;   // Alt or F10 pressed alone outside menu mode
    int sysDown_ = 0; // Alt or F10 pressed during menu mode
};
