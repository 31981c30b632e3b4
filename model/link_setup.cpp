#include "model/link_setup.h"

#include "model/model_log.h"

#include <mutex>

namespace {

std::mutex g_hookMutex;
LinkReceiverFactory g_receiverFactory;
LinkMessageBox g_messageBox;

} // namespace

void SetLinkReceiverFactory(LinkReceiverFactory factory)
{
    std::lock_guard guard(g_hookMutex);
    g_receiverFactory = std::move(factory);
}

void SetLinkMessageBox(LinkMessageBox show)
{
    std::lock_guard guard(g_hookMutex);
    g_messageBox = std::move(show);
}

LinkReceiver MakeLinkReceiver(const std::weak_ptr<CQelProcessor>& processor, uint32_t channelId)
{
    LinkReceiverFactory factory;
    {
        std::lock_guard guard(g_hookMutex);
        factory = g_receiverFactory;
    }
    return factory ? factory(processor, channelId) : LinkReceiver();
}

void ShowLinkMessage(const std::string& text)
{
    LinkMessageBox show;
    {
        std::lock_guard guard(g_hookMutex);
        show = g_messageBox;
    }
    LogModelWarning(text);
    if (show)
        show(text);
}
