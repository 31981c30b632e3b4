#pragma once
#include <cstdint>
#include <string>

// The single entry of every reply line a processor sends: recognises the
// reply by its leading keyword and applies it to the processor that owns
// channel `channelId`, or wakes a sender waiting for the echo of its
// command. `line` is one normalised line, CR LF included. False when the
// reply could not be applied; the receive handlers go on either way.
bool ParseDeviceReply(uint32_t channelId, const std::string& line);
