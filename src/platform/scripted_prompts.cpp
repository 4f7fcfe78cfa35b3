#include "platform/scripted_prompts.h"

#include <QtGlobal>

namespace rvk {

namespace {

QString KindName(PromptKind kind) {
    switch (kind) {
        case PromptKind::Message:
            return QStringLiteral("message");
        case PromptKind::InputBox:
            return QStringLiteral("inputBox");
        case PromptKind::NameInput:
            return QStringLiteral("nameInput");
        case PromptKind::OpenFile:
            return QStringLiteral("openFile");
        case PromptKind::SaveFile:
            return QStringLiteral("saveFile");
        case PromptKind::ChooseNumber:
            return QStringLiteral("chooseNumber");
        case PromptKind::ChooseColor:
            return QStringLiteral("chooseColor");
        case PromptKind::ChooseFolder:
            return QStringLiteral("chooseFolder");
    }
    return {};
}

}  // namespace

std::vector<PromptCall> ScriptedPrompts::callsOf(PromptKind kind) const {
    std::vector<PromptCall> out;
    for (const auto& c : calls_)
        if (c.kind == kind) out.push_back(c);
    return out;
}

void ScriptedPrompts::reset() {
    calls_.clear();
    answers_.clear();
}

void ScriptedPrompts::fail(const QString& what) {
    if (onFailure_) {
        onFailure_(what);
        return;
    }
    qFatal("%s", qPrintable(what));
}

template <class T>
std::optional<T> ScriptedPrompts::next(const PromptCall& call) {
    calls_.push_back(call);
    const QString asked = KindName(call.kind) + QStringLiteral(" \"") + call.caption +
                          QStringLiteral("\": \"") + call.text + QStringLiteral("\"");
    if (answers_.empty() && improviser_) improviser_(*this, call);
    if (answers_.empty()) {
        fail(QStringLiteral("unexpected ") + asked + QStringLiteral(" with no answer queued"));
        return std::nullopt;
    }
    if (!std::holds_alternative<T>(answers_.front())) {
        fail(QStringLiteral("the next queued answer does not fit ") + asked);
        return std::nullopt;
    }
    std::optional<T> answer(std::move(std::get<T>(answers_.front())));
    answers_.pop_front();
    return answer;
}

MsgAnswer ScriptedPrompts::message(QWidget*, const QString& text, const QString& caption,
                                   MsgIcon icon, MsgButtons buttons) {
    PromptCall call;
    call.kind = PromptKind::Message;
    call.text = text;
    call.caption = caption;
    call.icon = icon;
    call.buttons = buttons;
    // An unanswered question counts as the safe way out.
    return next<MsgAnswer>(call).value_or(buttons == MsgButtons::Ok ? MsgAnswer::Ok
                                                                    : MsgAnswer::Cancel);
}

std::optional<QString> ScriptedPrompts::textQuestion(PromptCall call) {
    const auto answer = next<TextAnswer>(call);
    if (!answer || !answer->given) return std::nullopt;
    return answer->text;
}

std::optional<QString> ScriptedPrompts::inputBox(QWidget*, const QString& caption,
                                                 const QString& prompt, const QString& initial) {
    PromptCall call;
    call.kind = PromptKind::InputBox;
    call.caption = caption;
    call.text = prompt;
    call.initial = initial;
    return textQuestion(call);
}

std::optional<QString> ScriptedPrompts::nameInput(QWidget*, const QString& caption,
                                                  const QString& prompt, const QString& initial,
                                                  const QString& cancelText, int maxLength) {
    PromptCall call;
    call.kind = PromptKind::NameInput;
    call.caption = caption;
    call.text = prompt;
    call.initial = initial;
    call.cancelText = cancelText;
    call.maxLength = maxLength;
    return textQuestion(call);
}

std::optional<QString> ScriptedPrompts::openFile(QWidget*, const QString& title,
                                                 const QString& filter, const QString& folder,
                                                 const QString& defaultSuffix) {
    PromptCall call;
    call.kind = PromptKind::OpenFile;
    call.caption = title;
    call.filter = filter;
    call.folder = folder;
    call.defaultSuffix = defaultSuffix;
    return textQuestion(call);
}

std::optional<QString> ScriptedPrompts::saveFile(QWidget*, const QString& title,
                                                 const QString& filter, const QString& folder,
                                                 const QString& defaultSuffix) {
    PromptCall call;
    call.kind = PromptKind::SaveFile;
    call.caption = title;
    call.filter = filter;
    call.folder = folder;
    call.defaultSuffix = defaultSuffix;
    return textQuestion(call);
}

std::optional<int> ScriptedPrompts::chooseNumber(QWidget*, const QString& caption,
                                                 const QString& prompt, int minimum, int maximum,
                                                 int initial) {
    PromptCall call;
    call.kind = PromptKind::ChooseNumber;
    call.caption = caption;
    call.text = prompt;
    call.initial = QString::number(initial);
    call.minimum = minimum;
    call.maximum = maximum;
    const auto answer = next<NumberAnswer>(call);
    if (!answer || !answer->number) return std::nullopt;
    if (*answer->number < minimum || *answer->number > maximum) {
        fail(QStringLiteral("chooseNumber \"%1\" answered %2, outside %3 to %4")
                 .arg(caption)
                 .arg(*answer->number)
                 .arg(minimum)
                 .arg(maximum));
        return std::nullopt;
    }
    return answer->number;
}

std::optional<QColor> ScriptedPrompts::chooseColor(QWidget*, const QColor& initial) {
    PromptCall call;
    call.kind = PromptKind::ChooseColor;
    call.initial = initial.name();
    auto answer = next<ColorAnswer>(call);
    return answer ? answer->color : std::nullopt;
}

std::optional<QString> ScriptedPrompts::chooseFolder(QWidget*, const QString& caption,
                                                     const QString& start) {
    PromptCall call;
    call.kind = PromptKind::ChooseFolder;
    call.caption = caption;
    call.folder = start;
    return textQuestion(call);
}

}  // namespace rvk
