#pragma once
#include "tests/support/ui/scripted_modal.h"

#include <gtest/gtest.h>

namespace tavrix::test {

// Base of UI tests that script prompts: every queued answer must be used.
class UiTest : public testing::Test {
protected:
    ScriptedModal& modal() { return scriptedModal(); }
    void TearDown() override
    {
        EXPECT_EQ(scriptedModal().pendingAnswers(), 0u) << "scripted answers never asked for";
    }
};

} // namespace tavrix::test
