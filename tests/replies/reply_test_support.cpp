#include "tests/replies/reply_test_support.h"

#include <chrono>
#include <filesystem>

#include "comm/reply_line.h"
#include "context/context.h"
#include "corlane/app_path.h"
#include "model/processor.h"
#include "model/processor_link.h"
#include "model/processor_manager.h"
#include "model/processor_settings.h"
#include "replies/reply_dispatcher.h"
#include "tests/support/queued_events.h"
#include "tests/support/test_files.h"

void ReplyTest::SetUp()
{
    std::filesystem::create_directories(qz::vok::path::GetHardwarePath());
    std::filesystem::remove(CQelProcessor::ProFilePath());
    processor_ = std::make_shared<CQelProcessor>();
    processor_->SetId(1);
    processor_->settings().SetChannelId(kChannel);
    // The replies are fed from another thread: on a busy machine it may
    // be late by more than the device's 100 ms.
    processor_->link().SetReplyTimeout(std::chrono::seconds(1));
    ASSERT_TRUE(CQelContext::GetProMan()->AddProcessor(processor_));
    DrainEvents();
}

void ReplyTest::TearDown()
{
    processor_.reset();
    CQelContext::Destroy();
    DrainEvents();
}

bool ReplyTest::Reply(const std::string& text, uint32_t channel)
{
    return ParseDeviceReply(channel, NormalizedReplyLine(text + "\r\n"));
}

void ReplyTest::LogEverything()
{
    std::filesystem::create_directories(qz::vok::path::GetSysPath());
    ASSERT_TRUE(tavrix::test::ReplaceText(qz::vok::path::GetSysPath() + "/TOLM.INI", "[LOG]\nLOGLEVEL=5\n"));
}
