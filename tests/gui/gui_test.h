// Shared set-up of the window tests: the scripted prompts every test answers through.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <ostream>

#include "platform/clipboard.h"
#include "platform/scripted_prompts.h"

// Texts in failure messages as text rather than as a row of UTF-16 units.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace rvk::test {

// The prompts and the in-process clipboard installed for the whole test run.
ScriptedPrompts& Prompts();
MemoryClipboard& Clipboard();
// Forgets every stored setting, so the next main window starts as on a first run.
void ClearSettings();

// Base fixture: starts with no recorded questions and an empty clipboard, and fails the test when a
// queued answer was left unused or a top-level window was left open.
class GuiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    ScriptedPrompts& prompts() { return Prompts(); }
    MemoryClipboard& clip() { return Clipboard(); }
};

}  // namespace rvk::test
