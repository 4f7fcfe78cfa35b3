// Every modal question the program asks goes through Prompts, so the windows never
// open a dialog themselves and tests can answer in their place.
#pragma once

#include <QColor>
#include <QString>
#include <optional>

class QWidget;

namespace rvk {

enum class MsgIcon { Error, Warning, Question, Information };
enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Yes, No, Cancel };

class Prompts {
public:
    virtual ~Prompts() = default;

    virtual MsgAnswer message(QWidget* parent, const QString& text, const QString& caption,
                              MsgIcon icon, MsgButtons buttons) = 0;
    // The standard one-line text input; nothing when cancelled.
    virtual std::optional<QString> inputBox(QWidget* parent, const QString& caption,
                                            const QString& prompt, const QString& initial) = 0;
    // The document window's name input with its own Cancel caption and length limit.
    virtual std::optional<QString> nameInput(QWidget* parent, const QString& caption,
                                             const QString& prompt, const QString& initial,
                                             const QString& cancelText, int maxLength) = 0;
    // filter in "description|pattern|description|pattern" form.
    virtual std::optional<QString> openFile(QWidget* parent, const QString& title,
                                            const QString& filter, const QString& folder,
                                            const QString& defaultSuffix) = 0;
    // Asks before overwriting an existing file.
    virtual std::optional<QString> saveFile(QWidget* parent, const QString& title,
                                            const QString& filter, const QString& folder,
                                            const QString& defaultSuffix) = 0;
    // A whole number from minimum to maximum in a spin box, so that no typing can make
    // it invalid; nothing when cancelled.
    virtual std::optional<int> chooseNumber(QWidget* parent, const QString& caption,
                                            const QString& prompt, int minimum, int maximum,
                                            int initial) = 0;
    virtual std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) = 0;
    virtual std::optional<QString> chooseFolder(QWidget* parent, const QString& caption,
                                                const QString& start) = 0;
};

// The prompts in use: the real dialogs unless another implementation was installed.
Prompts& prompts();
// Installs p (not owned); nullptr restores the real dialogs.
void setPrompts(Prompts* p);

}  // namespace rvk
