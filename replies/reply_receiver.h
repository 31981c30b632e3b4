#pragma once
// Joins a link's received bytes to the reply path: cut into reply lines by a
// ring buffer of the link's own and dispatched on the link's thread.
#include <cstddef>
#include <cstdint>
#include <functional>

std::function<void(const char* data, size_t length)> MakeReplyReceiver(uint32_t channelId);

// Makes every channel the link set-up opens from now on feed the reply path.
void InstallReplyPath();
