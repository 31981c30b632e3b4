#pragma once
// What the processor's link set-up needs from layers it cannot see: the reply
// path that consumes a channel's received bytes, and the message box.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class CQelProcessor;

// Makes the receiver of one new channel's bytes, called on its I/O thread.
using LinkReceiver = std::function<void(const char* data, size_t length)>;
using LinkReceiverFactory =
    std::function<LinkReceiver(const std::weak_ptr<CQelProcessor>& processor, uint32_t channelId)>;
// Shows an already translated message with an OK button.
using LinkMessageBox = std::function<void(const std::string& text)>;

// Installed at start-up (and by tests); without them received bytes are
// dropped and the message is only logged.
void SetLinkReceiverFactory(LinkReceiverFactory factory);
void SetLinkMessageBox(LinkMessageBox show);

LinkReceiver MakeLinkReceiver(const std::weak_ptr<CQelProcessor>& processor, uint32_t channelId);
void ShowLinkMessage(const std::string& text);
