// A Prompts implementation for tests: records every question and returns answers
// queued in advance. A question without a matching queued answer is reported through
// the failure handler instead of blocking.
#pragma once

#include <QColor>
#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <variant>
#include <vector>

#include "platform/prompts.h"

namespace rvk {

enum class PromptKind {
    Message,
    InputBox,
    NameInput,
    OpenFile,
    SaveFile,
    ChooseNumber,
    ChooseColor,
    ChooseFolder
};

struct PromptCall {
    PromptKind kind = PromptKind::Message;
    QString text;     // message text or input prompt
    QString caption;  // caption or dialog title
    MsgIcon icon = MsgIcon::Information;
    MsgButtons buttons = MsgButtons::Ok;
    QString initial;  // initial text or number, start folder or colour name
    QString filter;
    QString folder;
    QString defaultSuffix;
    QString cancelText;
    int maxLength = 0;
    int minimum = 0;  // the range of chooseNumber
    int maximum = 0;
};

class ScriptedPrompts : public Prompts {
public:
    using FailureHandler = std::function<void(const QString& what)>;

    // Without a handler an unexpected question aborts the program.
    void setFailureHandler(FailureHandler handler) { onFailure_ = std::move(handler); }
    // Asked for a question when no answer is queued; it may queue one that fits (a
    // test that wanders through the windows answers whatever comes up this way).
    using Improviser = std::function<void(ScriptedPrompts& prompts, const PromptCall& call)>;
    void setImproviser(Improviser improviser) { improviser_ = std::move(improviser); }

    // Answers, consumed in order by the questions of the matching kind.
    void answerMessage(MsgAnswer a) { answers_.emplace_back(a); }
    // Text for inputBox / nameInput / openFile / saveFile / chooseFolder; nothing = cancel.
    void answerText(const std::optional<QString>& text) {
        answers_.emplace_back(TextAnswer{text.has_value(), text.value_or(QString())});
    }
    // For chooseNumber; nothing = cancel. A number outside the asked range is a failure,
    // as the real spin box cannot give it.
    void answerNumber(std::optional<int> number) { answers_.emplace_back(NumberAnswer{number}); }
    void answerColor(std::optional<QColor> color) { answers_.emplace_back(ColorAnswer{color}); }

    const std::vector<PromptCall>& calls() const { return calls_; }
    // Calls of one kind only, in order.
    std::vector<PromptCall> callsOf(PromptKind kind) const;
    std::size_t pendingAnswers() const { return answers_.size(); }
    // Forgets calls and answers.
    void reset();

    MsgAnswer message(QWidget* parent, const QString& text, const QString& caption, MsgIcon icon,
                      MsgButtons buttons) override;
    std::optional<QString> inputBox(QWidget* parent, const QString& caption, const QString& prompt,
                                    const QString& initial) override;
    std::optional<QString> nameInput(QWidget* parent, const QString& caption, const QString& prompt,
                                     const QString& initial, const QString& cancelText,
                                     int maxLength) override;
    std::optional<QString> openFile(QWidget* parent, const QString& title, const QString& filter,
                                    const QString& folder, const QString& defaultSuffix) override;
    std::optional<QString> saveFile(QWidget* parent, const QString& title, const QString& filter,
                                    const QString& folder, const QString& defaultSuffix) override;
    std::optional<int> chooseNumber(QWidget* parent, const QString& caption, const QString& prompt,
                                    int minimum, int maximum, int initial) override;
    std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) override;
    std::optional<QString> chooseFolder(QWidget* parent, const QString& caption,
                                        const QString& start) override;

private:
    struct TextAnswer {
        bool given = false;  // false: the dialog was cancelled
        QString text;
    };
    struct NumberAnswer {
        std::optional<int> number;
    };
    struct ColorAnswer {
        std::optional<QColor> color;
    };
    using Answer = std::variant<MsgAnswer, TextAnswer, NumberAnswer, ColorAnswer>;

    template <class T>
    std::optional<T> next(const PromptCall& call);
    std::optional<QString> textQuestion(PromptCall call);
    void fail(const QString& what);

    std::vector<PromptCall> calls_;
    std::deque<Answer> answers_;
    FailureHandler onFailure_;
    Improviser improviser_;
};

}  // namespace rvk
