#pragma once
// A processor in the context's manager, owning channel kChannel, and the
// events its replies post.
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

template <class Event>
std::vector<const Event*> EventsOf(const std::vector<EventPtr>& events)
{
    std::vector<const Event*> found;
    for (const auto& event : events)
        if (event->GetType() == Event::kType)
            found.push_back(dynamic_cast<const Event*>(event.get()));
    return found;
}
// The pointers point into the vector: keep it.
template <class Event>
void EventsOf(std::vector<EventPtr>&&) = delete;

inline std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::string Today()
{
    return qz::vok::xdatetime::get_curdatetime().get_date().tostr();
}

inline std::string DatedLog(const std::string& tag)
{
    return qz::vok::path::GetLogPath() + "/" + Today() + "/" + tag + "-" + Today() + ".LOG";
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

    // Program log lines of every level.
    static void LogEverything()
    {
        std::filesystem::create_directories(qz::vok::path::GetSysPath());
        ASSERT_TRUE(platform::ReplaceFileContents(qz::vok::path::GetSysPath() + "/TOLM.INI",
                                                  "[LOG]\nLOGLEVEL=5\n"));
    }

    static std::string ProgramLog() { return ReadText(DatedLog("TAVRIX")); }

    std::shared_ptr<CQelProcessor> processor_;
};
