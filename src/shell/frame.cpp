#include "shell/frame.h"

#include <vector>

#include "platform/cp1252_text.h"

namespace rvk {

QString Frame::text(int number, bool removeAfterUse) {
    return FromCp1252(texts().lookup(number, removeAfterUse));
}

QString FormatQText(const QString& format, std::initializer_list<QVariant> args) {
    // Formatting happens on UTF-8 so that a path keeps every character it has.
    std::vector<TextArg> values;
    for (const QVariant& a : args) {
        if (a.typeId() == QMetaType::Int || a.typeId() == QMetaType::LongLong)
            values.emplace_back(a.toLongLong());
        else
            values.emplace_back(a.toString().toStdString());
    }
    return QString::fromStdString(FormatText(format.toStdString(), values));
}

QString Frame::formatText(int number, std::initializer_list<QVariant> args) {
    return FormatQText(text(number), args);
}

MsgAnswer Frame::message(QWidget* parent, const QString& text, int captionNumber, MsgIcon icon,
                         MsgButtons buttons) {
    return prompts().message(parent, text, this->text(captionNumber), icon, buttons);
}

void Frame::reportError(QWidget* parent, const Message& m) {
    const QString reason = m.reason ? reasonText(*m.reason) : QString();
    message(parent, formatText(m.text, {QString::fromStdString(m.arg), reason}), 544,
            MsgIcon::Error);
}

QString Frame::reasonText(const Reason& reason) {
    return reason.text != 0 ? text(reason.text) : QString::fromStdString(reason.words);
}

}  // namespace rvk
