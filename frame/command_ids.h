#pragma once
// The command ids of the main window's menu that the frame handles; the
// wall view's own commands (1201-1210, `WallViewCore::FrameCommand`) go
// to the active view.
namespace cmd {
inline constexpr int kNewPlan = 1001;
inline constexpr int kSaveAll = 1004;
inline constexpr int kExit = 1005;
inline constexpr int kResetPassword = 1006;
inline constexpr int kConnectTcp = 1101;
inline constexpr int kConnectSerial = 1102;
inline constexpr int kDisconnect = 1104;
inline constexpr int kSegWindowTip = 1211;
inline constexpr int kInvalidRectTip = 1212;
inline constexpr int kResourceTip = 1213;
inline constexpr int kBorderFineTune = 1214;
inline constexpr int kSetProcessor = 1301;
inline constexpr int kLedWallWizard = 1302;
inline constexpr int kScreenConfig = 1303;
inline constexpr int kRunWallTool = 1304;
inline constexpr int kSetOutResolution = 1305;
inline constexpr int kAbout = 2001;

// The hot key that selects every window of the wall view: Ctrl+A.
inline constexpr int kSelectAllHotKey = 1026;
} // namespace cmd
