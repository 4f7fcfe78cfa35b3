#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include "gui_test.h"
#include "platform/input_dialog.h"
#include "platform/qt_prompts.h"

namespace rvk {
namespace {

using test::GuiTest;

TEST(QtFileFilterTest, PipeFormBecomesQtFilters) {
    EXPECT_EQ(QtFileFilter("RVK files|*.rvk|All files|*.*"), "RVK files (*.rvk);;All files (*.*)");
    EXPECT_EQ(QtFileFilter("Pictures|*.bmp;*.png"), "Pictures (*.bmp *.png)");
    EXPECT_EQ(QtFileFilter("Language files (*.lng)|*.lng"), "Language files (*.lng)");
    // A trailing description without a pattern is dropped rather than shown broken.
    EXPECT_EQ(QtFileFilter("Lang|*.lng|dangling"), "Lang (*.lng)");
}

TEST_F(GuiTest, ScriptedPromptsRecordAndAnswerInOrder) {
    prompts().answerMessage(MsgAnswer::No);
    prompts().answerText(QStringLiteral("name"));
    prompts().answerText(std::nullopt);
    EXPECT_EQ(rvk::prompts().message(nullptr, "t", "c", MsgIcon::Warning, MsgButtons::YesNo),
              MsgAnswer::No);
    EXPECT_EQ(rvk::prompts().nameInput(nullptr, "cap", "pr", "init", "Abbrechen", 32), "name");
    EXPECT_EQ(rvk::prompts().openFile(nullptr, "Open", "a|*.rvk", "/tmp", "rvk"), std::nullopt);

    ASSERT_EQ(prompts().calls().size(), 3u);
    const PromptCall& m = prompts().calls()[0];
    EXPECT_EQ(m.kind, PromptKind::Message);
    EXPECT_EQ(m.icon, MsgIcon::Warning);
    EXPECT_EQ(m.buttons, MsgButtons::YesNo);
    const PromptCall& n = prompts().calls()[1];
    EXPECT_EQ(n.cancelText, "Abbrechen");
    EXPECT_EQ(n.maxLength, 32);
    EXPECT_EQ(prompts().callsOf(PromptKind::OpenFile).at(0).folder, "/tmp");
}

TEST(ScriptedPromptsTest, UnansweredQuestionIsReportedAndAnsweredSafely) {
    ScriptedPrompts p;
    QStringList failures;
    p.setFailureHandler([&](const QString& what) { failures << what; });
    EXPECT_EQ(p.message(nullptr, "Save?", "Q", MsgIcon::Warning, MsgButtons::YesNoCancel),
              MsgAnswer::Cancel);
    p.answerMessage(MsgAnswer::Yes);
    EXPECT_EQ(p.saveFile(nullptr, "Save as", "", "", ""), std::nullopt);  // wrong kind queued
    ASSERT_EQ(failures.size(), 2);
    EXPECT_TRUE(failures[0].contains("Save?"));
}

// Typed with the keys as a user would: letters and numbers beyond the range never get
// in, so no typing mistake can cancel the command that asked.
TEST_F(GuiTest, NumberChoiceTakesOnlyNumbersOfItsRange) {
    QtPrompts real;
    const struct {
        const char* typed;  // after selecting all; empty: the Up key
        Qt::Key key;        // that ends the dialog
        std::optional<int> chosen;
    } cases[] = {
        {"", Qt::Key_Return, 5},
        {"x1", Qt::Key_Return, 1},
        {"99", Qt::Key_Enter, 9},
        {"17", Qt::Key_Return, 1},
        {"12", Qt::Key_Escape, std::nullopt},
    };
    for (const auto& c : cases) {
        QTimer::singleShot(0, [&c] {
            auto* box = QApplication::activeModalWidget()->findChild<QSpinBox*>();
            ASSERT_NE(box, nullptr);
            if (*c.typed) {
                QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(box, QString::fromLatin1(c.typed));
            } else {
                QTest::keyClick(box, Qt::Key_Up);
            }
            QTest::keyClick(box, c.key);
        });
        EXPECT_EQ(real.chooseNumber(nullptr, "Zoom", "Zoom (1 to 16):", 1, 16, 4), c.chosen)
            << c.typed;
    }
}

TEST(ScriptedPromptsTest, NumberOutsideTheRangeIsAFailure) {
    ScriptedPrompts p;
    QStringList failures;
    p.setFailureHandler([&](const QString& what) { failures << what; });
    p.answerNumber(17);
    EXPECT_EQ(p.chooseNumber(nullptr, "Zoom", "", 1, 16, 4), std::nullopt);
    EXPECT_EQ(failures.size(), 1);
}

TEST(InputDialogTest, LaidOutInDialogUnits) {
    TInputDialog d(nullptr, "Neue Flotte", "Name:", "Neu", "Abbrechen", 32);
    EXPECT_EQ(d.windowTitle(), "Neue Flotte");
    EXPECT_EQ(d.edit()->maxLength(), 32);
    EXPECT_EQ(d.edit()->selectedText(), "Neu");
    EXPECT_EQ(d.cancelButton()->text(), "Abbrechen");
    EXPECT_TRUE(d.okButton()->isDefault());
    // Edit 5 px under the label, buttons 15 px under the edit, 13 px margin below them.
    EXPECT_EQ(d.edit()->y(), d.promptLabel()->geometry().bottom() + 1 + 5);
    EXPECT_EQ(d.okButton()->y(), d.edit()->geometry().bottom() + 1 + 15);
    EXPECT_EQ(d.height(), d.okButton()->geometry().bottom() + 1 + 13);
    EXPECT_EQ(d.okButton()->y(), d.cancelButton()->y());
    EXPECT_GT(d.cancelButton()->x(), d.okButton()->geometry().right());
    EXPECT_NEAR(d.edit()->width(), d.width() * 164 / 180, 2);
}

}  // namespace
}  // namespace rvk
