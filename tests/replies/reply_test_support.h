#pragma once
// Processor 1 in the context's manager, owning channel kChannel; the
// events and log files its replies produce.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

class CQelProcessor;

class ReplyTest : public ::testing::Test {
protected:
    static constexpr uint32_t kChannel = 7;
    static constexpr uint32_t kUnowned = 99;

    void SetUp() override;
    void TearDown() override;

    // The reply as the receive buffer hands it on.
    static bool Reply(const std::string& text, uint32_t channel = kChannel);

    static void LogEverything();

    std::shared_ptr<CQelProcessor> processor_;
};
