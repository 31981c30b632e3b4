#pragma once
// What the reply parsers share: the processor of a channel, the program
// log and the translated words they put into names.
#include <cstdint>
#include <memory>
#include <string>

class CQelProcessor;

// The processor that owns the channel; empty when there is no processor
// manager or no processor has that channel.
std::shared_ptr<CQelProcessor> FindReplyProcessor(uint32_t channelId);

void LogReplyEvent(const std::string& text);
void LogReplyError(const std::string& text);

// A word of the user interface, translated, as narrow (UTF-8) text.
std::string TranslatedWord(const char* chinese);

// The line without its CR LF, for log lines.
std::string WithoutLineEnd(const std::string& line);
