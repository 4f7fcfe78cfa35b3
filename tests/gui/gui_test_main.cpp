// Entry of the window tests: one QApplication for the whole run, the scripted prompts
// installed in place of the real dialogs, and settings kept in a throw-away folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>

#include "gui_test.h"
#include "platform/prompts.h"

namespace rvk::test {

ScriptedPrompts& Prompts() {
    static ScriptedPrompts scripted;
    return scripted;
}

void GuiTest::SetUp() {
    Prompts().reset();
}

void GuiTest::TearDown() {
    EXPECT_EQ(Prompts().pendingAnswers(), 0u) << "queued answers were not asked for";
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible()) {
            ADD_FAILURE() << "window left open: " << w->metaObject()->className();
            w->close();
        }
    }
    Prompts().reset();
}

}  // namespace rvk::test

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);

    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());

    rvk::test::Prompts().setFailureHandler(
        [](const QString& what) { ADD_FAILURE() << what.toStdString(); });
    rvk::setPrompts(&rvk::test::Prompts());
    return RUN_ALL_TESTS();
}
