// Shared set-up of the window tests: the scripted prompts every test answers through.
#pragma once

#include <gtest/gtest.h>

#include "platform/scripted_prompts.h"

namespace rvk::test {

// The prompts installed for the whole test run.
ScriptedPrompts& Prompts();

// Base fixture: starts with no recorded questions and fails the test when a queued
// answer was left unused or a top-level window was left open.
class GuiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    ScriptedPrompts& prompts() { return Prompts(); }
};

}  // namespace rvk::test
