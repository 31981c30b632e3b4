#pragma once
// The screen power settings of the main frame: the display line, the two
// vendor commands, and the controller that sends them.
#include <memory>
#include <string>
#include <vector>

#include "dialogs/screen_power_file.h"

class CLargeScreenSystem {
public:
    CLargeScreenSystem() = default;
    virtual ~CLargeScreenSystem() = default;

    // From TVConfig.pro; a missing or damaged file gives the built-in
    // settings, as a whole, and false.
    bool LoadConfig();
    // Replaces TVConfig.pro; false when it could not be written (logged).
    bool SaveConfig();
    // What the operator must hear before the settings dialog opens: the
    // file was found damaged, and where it was kept. Empty when all is well.
    const std::string& FileNotice() const { return notice_; }
    // Takes ownership of `tv` (may be null) and releases the controller it had.
    void SetTV(ITV* tv);

    // 0 done, 1 failed, 2 the comm mode is not the serial line.
    int OpenScreen();
    int CloseScreen();

    std::string GetPortName() const { return settings_.serial.portName; }
    std::vector<TvModelEntry> GetModelList() const;

    const ScreenPowerSettings& Settings() const { return settings_; }
    // Takes the dialog's values; the display line's parity, byte size and
    // stop bits are fixed.
    void SetSettings(const ScreenPowerSettings& settings);
    bool HasTV() const { return tv_ != nullptr; }

private:
    int Send(const std::string& command, bool open);

    ScreenPowerSettings settings_;
    int spare_ = 0;
    std::string notice_;
    std::shared_ptr<ITV> tv_;
};

// The message the caption's open (22) or close (23) button shows for a
// result of OpenScreen or CloseScreen; null for 0.
const char* ScreenPowerFailureText(bool open, int result);
