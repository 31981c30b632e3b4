#include "replies/reply_support.h"

#include "context/context.h"
#include "core/language_tr.h"
#include "core/program_log.h"
#include "core/text_helpers.h"
#include "model/processor.h"
#include "model/processor_manager.h"

std::shared_ptr<CQelProcessor> FindReplyProcessor(uint32_t channelId)
{
    const auto manager = CQelContext::GetProMan();
    return manager ? manager->FindByChannel(channelId) : nullptr;
}

void LogReplyEvent(const std::string& text)
{
    CQelContext::GetLog()->event("%s", text.c_str());
}

void LogReplyError(const std::string& text)
{
    CQelContext::GetLog()->error("%s", text.c_str());
}

std::string TranslatedWord(const char* chinese)
{
    return CStringToStd(Tr(chinese));
}

std::string WithoutLineEnd(const std::string& line)
{
    return line.ends_with("\r\n") ? line.substr(0, line.size() - 2) : line;
}
