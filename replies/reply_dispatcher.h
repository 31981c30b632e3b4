#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The single entry of every reply line a processor sends: recognises the
// reply by its leading keyword and applies it to the processor that owns
// channel `channelId`, or wakes a sender waiting for the echo of its
// command. `line` is one normalised line, CR LF included. False when the
// reply could not be applied; the receive handlers go on either way.
bool ParseDeviceReply(uint32_t channelId, const std::string& line);

// Which way ParseDeviceReply takes a line: to a parser of its own, to the
// sender waiting for the echo of its command, or to the unmatched-reply
// check.
enum class ReplyRoute { Parsed, Acknowledged, Unmatched };
ReplyRoute RouteOfReply(std::string_view line);

// Every leading keyword the dispatcher recognises, parsed ones first.
std::vector<std::string_view> ReplyKeywords();
