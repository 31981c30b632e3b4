#include "dialogs/screen_power_system.h"

#include "corlane/file_store.h"
#include "model/model_log.h"

namespace {

namespace store = qz::vok::file_store;

constexpr char kNetNotServed[] = "网络通信功能正在开发过程中，请通过串口通信方式来对大屏进行控制!";
constexpr char kOpenFailed[] = "打开屏幕失败，请重试!";
constexpr char kCloseFailed[] = "关闭屏幕失败，请重试!";
constexpr char kDamagedKept[] =
    "大屏配置文件 TVConfig.pro 无法读取，现显示默认设置；原文件已保留为 TVConfig.pro.bad，确定后将被替换";
constexpr char kDamagedNotKept[] =
    "大屏配置文件 TVConfig.pro 无法读取，现显示默认设置；原文件无法另存，保持原样，不会被覆盖";

} // namespace

bool CLargeScreenSystem::LoadConfig()
{
    settings_ = BuiltInScreenPowerSettings();
    notice_.clear();
    const std::string path = TvConfigPath();
    const store::read_result file = store::read_file(path);
    if (file.status == store::read_status::missing)
        return false;
    if (file.status == store::read_status::unreadable) {
        LogModelError("screen power settings " + path + " not loaded (" + file.error +
                      "); built-in settings used, the file is left as it is");
        return false;
    }
    std::string reason;
    ScreenPowerSettings loaded;
    if (!ParseTvConfig(file.bytes, loaded, reason)) {
        // Left in place, and kept aside before the operator's confirmed
        // settings replace it; where it cannot be kept it is never replaced.
        const store::keep_result kept = store::keep_as_bad(path, file.bytes);
        ReportModelDamage("screen power settings " + path + " not loaded (" + reason + "); built-in settings used; " +
                          kept.text);
        notice_ = kept.kept ? kDamagedKept : kDamagedNotKept;
        return false;
    }
    settings_ = std::move(loaded);
    return true;
}

bool CLargeScreenSystem::SaveConfig()
{
    std::string error;
    if (store::replace_file(TvConfigPath(), WriteTvConfig(settings_), error)) {
        notice_.clear();
        return true;
    }
    LogModelError("screen power settings not saved: " + error);
    return false;
}

void CLargeScreenSystem::SetTV(ITV* tv)
{
    tv_ = std::shared_ptr<ITV>(tv, &ReleaseTV);
}

void CLargeScreenSystem::SetSettings(const ScreenPowerSettings& settings)
{
    settings_ = settings;
    settings_.serial.parity = 0;
    settings_.serial.byteSize = 8;
    settings_.serial.stopBits = 0;
}

std::vector<TvModelEntry> CLargeScreenSystem::GetModelList() const
{
    std::vector<TvModelEntry> list;
    for (const auto& [id, entry] : settings_.models)
        list.push_back(entry);
    return list;
}

int CLargeScreenSystem::OpenScreen()
{
    return Send(settings_.openCmd, true);
}
int CLargeScreenSystem::CloseScreen()
{
    return Send(settings_.closeCmd, false);
}

int CLargeScreenSystem::Send(const std::string& command, bool open)
{
    if (settings_.commMode != 0)
        return 2;
    if (!tv_)
        return 1;
    tv_->SetSerialParams(settings_.serial);
    tv_->SetNetParams(settings_.ip, settings_.port, spare_);
    tv_->SetCommMode(settings_.commMode);
    const int result = open ? tv_->SendOpen(command.c_str()) : tv_->SendClose(command.c_str());
    return result < 0 ? 1 : 0;
}

const char* ScreenPowerFailureText(bool open, int result)
{
    if (result == 0)
        return nullptr;
    if (result == 2)
        return kNetNotServed;
    return open ? kOpenFailed : kCloseFailed;
}
