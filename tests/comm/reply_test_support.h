#pragma once
// Processor 1 in the context's manager, owning channel kChannel; the
// events and log files its replies produce.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/context.h"
#include "app/event_queue.h"
#include "comm/reply_dispatcher.h"
#include "comm/reply_line.h"
#include "corlane/app_path.h"
#include "corlane/xdatetime.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "platform/file_replace.h"

inline std::vector<EventPtr> DrainEvents()
{
    std::vector<EventPtr> events;
    EventPtr event;
    while (CEvtQueue::get_instance().TryPop(event))
        events.push_back(event);
    return events;
}

// Pointers into `events`, which must outlive them.
template <class Event>
std::vector<const Event*> EventsOf(const std::vector<EventPtr>& events)
{
    std::vector<const Event*> found;
    for (const auto& event : events)
        if (event->GetType() == Event::kType)
            found.push_back(dynamic_cast<const Event*>(event.get()));
    return found;
}
template <class Event>
void EventsOf(std::vector<EventPtr>&&) = delete;

inline std::string DatedLog(const std::string& tag)
{
    const std::string today = qz::vok::xdatetime::get_curdatetime().get_date().tostr();
    std::ifstream in(qz::vok::path::GetLogPath() + "/" + today + "/" + tag + "-" + today + ".LOG",
                     std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class ReplyTest : public ::testing::Test {
protected:
    static constexpr uint32_t kChannel = 7;
    static constexpr uint32_t kUnowned = 99;

    void SetUp() override
    {
        std::filesystem::create_directories(qz::vok::path::GetHardwarePath());
        std::filesystem::remove(CQelProcessor::ProFilePath());
        processor_ = std::make_shared<CQelProcessor>();
        processor_->SetId(1);
        processor_->SetChannelId(kChannel);
        ASSERT_TRUE(CQelContext::GetProMan()->AddProcessor(processor_));
        DrainEvents();
    }

    void TearDown() override
    {
        processor_.reset();
        CQelContext::Destroy();
        DrainEvents();
    }

    // The reply as the receive buffer hands it on.
    static bool Reply(const std::string& text, uint32_t channel = kChannel)
    {
        return ParseDeviceReply(channel, NormalizedReplyLine(text + "\r\n"));
    }

    static void LogEverything()
    {
        std::filesystem::create_directories(qz::vok::path::GetSysPath());
        ASSERT_TRUE(platform::ReplaceFileContents(qz::vok::path::GetSysPath() + "/TOLM.INI",
                                                  "[LOG]\nLOGLEVEL=5\n"));
    }

    std::shared_ptr<CQelProcessor> processor_;
};
