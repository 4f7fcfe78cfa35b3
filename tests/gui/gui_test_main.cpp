// Entry of the window tests: one QApplication for the whole run, the scripted prompts and
// an in-process clipboard in place of the desktop's, settings in a throw-away folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>

#include "gui_test.h"
#include "platform/clipboard.h"
#include "platform/prompts.h"
#include "platform/settings_store.h"

namespace rvk::test {

ScriptedPrompts& Prompts() {
    static ScriptedPrompts scripted;
    return scripted;
}

MemoryClipboard& Clipboard() {
    static MemoryClipboard memory;
    return memory;
}

void ClearSettings() {
    QSettings(QStringLiteral("DUR"), SettingsApplication()).clear();
}

void GuiTest::SetUp() {
    Prompts().reset();
    Clipboard().clear();
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
#ifdef Q_OS_WIN
    // The registry knows no other path: a key of this process's own, removed at the end.
    rvk::SetSettingsApplication(
        QStringLiteral("RVK 3.0 test %1").arg(QCoreApplication::applicationPid()));
#endif

    rvk::test::Prompts().setFailureHandler(
        [](const QString& what) { ADD_FAILURE() << what.toStdString(); });
    rvk::setPrompts(&rvk::test::Prompts());
    rvk::setClipboard(&rvk::test::Clipboard());
    const int result = RUN_ALL_TESTS();
#ifdef Q_OS_WIN
    QSettings(QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\DUR"), QSettings::NativeFormat)
        .remove(rvk::SettingsApplication());
#endif
    return result;
}
