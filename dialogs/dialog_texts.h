#pragma once
// The texts the dialogs show; each goes through the translation table
// before display.
namespace dlgtext {
inline constexpr char kWrongPassword[] = "输入密码不正确，请重新输入！";
inline constexpr char kEmptyPassword[] = "密码不能为空，请重新输入！";
inline constexpr char kPasswordsDiffer[] = "两次密码输入不一致，请重新输入！";
// Main.ini trims its values, so such a password would not survive a restart.
inline constexpr char kPasswordBlankEnds[] = "密码首尾不能有空格，请重新输入！";
inline constexpr char kNotConnected[] = "处理器未连接，请连接处理器！";
inline constexpr char kRecallDone[] = "模式调用成功！";
inline constexpr char kRecallFailed[] = "模式调用失败！";
inline constexpr char kEmptySlotName[] = "请输入新的方案名称!";
// The processor file keeps at most 259 bytes of a slot name.
inline constexpr char kSlotNameTooLong[] = "方案名称太长，请输入较短的名称!";
inline constexpr char kRangeMessage[] = "请输入一个介于 %1 和 %2 之间的整数。";
inline constexpr char kPictureFailed[] = "图片无法加载，请选择其他图片！";
} // namespace dlgtext
