// The real dialogs behind Prompts.
#pragma once

#include "platform/prompts.h"

namespace rvk {

// "desc|*.a;*.b|desc|*" becomes "desc (*.a *.b);;desc (*)".
QString QtFileFilter(const QString& pipeFilter);

class QtPrompts : public Prompts {
public:
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
};

}  // namespace rvk
