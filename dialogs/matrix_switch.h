#pragma once
// The matrix switch dialog's tokens and the command lines they become.
#include <QString>
#include <string>
#include <vector>

class CQelProcessor;

namespace matrixswitch {
inline constexpr int kTokensPerLine = 16;
// After each full line, so the device takes one line before the next.
inline constexpr unsigned kFullLinePauseMs = 500;
inline constexpr int kChannelCount = 5;
inline constexpr char kNotConnected[] = "请连接画面处理器！";
inline constexpr char kSent[] = "发送完成！";
} // namespace matrixswitch

// Input 3 to output 1: "3D1".
std::string SwitchToken(int input, int output);
// The grid's text for it: "输入3至输出1" (translated words).
QString SwitchLabel(int input, int output);

// "*3D1;2D3#\r\n": at most 16 tokens a line, in order; no line for none.
std::vector<std::string> SwitchLines(const std::vector<std::string>& tokens);

// Queues the lines, pausing after each full one; false when there was
// nothing to send.
bool SendSwitchLines(CQelProcessor& processor, const std::vector<std::string>& tokens);
