#pragma once
// Processor 1 in the context's manager, owning channel kChannel; the
// events and log files its replies produce.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "context/context.h"
#include "core/event_queue.h"
#include "comm/reply_line.h"
#include "corlane/app_path.h"
#include "model/processor.h"
#include "model/processor_link.h"
#include "model/processor_manager.h"
#include "model/processor_settings.h"
#include "replies/reply_dispatcher.h"
#include "tests/support/queued_events.h"
#include "tests/support/test_files.h"

using tavrix::test::DatedLog;

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
        processor_->settings().SetChannelId(kChannel);
        // The replies are fed from another thread: on a busy machine it may
        // be late by more than the device's 100 ms.
        processor_->link().SetReplyTimeout(std::chrono::seconds(1));
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
        ASSERT_TRUE(tavrix::test::ReplaceText(qz::vok::path::GetSysPath() + "/TOLM.INI", "[LOG]\nLOGLEVEL=5\n"));
    }

    std::shared_ptr<CQelProcessor> processor_;
};
