#include "platform/qt_prompts.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>

#include "platform/file_names.h"
#include "platform/input_dialog.h"

namespace rvk {

namespace {

Prompts* g_installed = nullptr;

QMessageBox::Icon BoxIcon(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Error:
            return QMessageBox::Critical;
        case MsgIcon::Warning:
            return QMessageBox::Warning;
        case MsgIcon::Question:
            return QMessageBox::Question;
        case MsgIcon::Information:
            return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

std::optional<QString> FileDialog(QWidget* parent, const QString& title, const QString& filter,
                                  const QString& folder, const QString& defaultSuffix,
                                  QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, title, folder, QtFileFilter(filter));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return PathFromDialog(dialog.selectedFiles().constFirst());
}

}  // namespace

Prompts& prompts() {
    static QtPrompts real;
    return g_installed ? *g_installed : real;
}

void setPrompts(Prompts* p) {
    g_installed = p;
}

QString QtFileFilter(const QString& pipeFilter) {
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        const QString shown = QStringLiteral("(") + patterns + QLatin1Char(')');
        // A description that already names its patterns is shown as it is.
        filters << (parts[i].endsWith(shown) ? parts[i] : parts[i] + QLatin1Char(' ') + shown);
    }
    return filters.join(QStringLiteral(";;"));
}

MsgAnswer QtPrompts::message(QWidget* parent, const QString& text, const QString& caption,
                             MsgIcon icon, MsgButtons buttons) {
    QMessageBox::StandardButtons set = QMessageBox::Ok;
    if (buttons == MsgButtons::YesNo) set = QMessageBox::Yes | QMessageBox::No;
    if (buttons == MsgButtons::YesNoCancel)
        set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    QMessageBox box(BoxIcon(icon), caption, text, set, parent);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return MsgAnswer::Yes;
        case QMessageBox::No:
            return MsgAnswer::No;
        case QMessageBox::Ok:
            return MsgAnswer::Ok;
        default:
            return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
    }
}

std::optional<QString> QtPrompts::inputBox(QWidget* parent, const QString& caption,
                                           const QString& prompt, const QString& initial) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok) return std::nullopt;
    return text;
}

std::optional<QString> QtPrompts::nameInput(QWidget* parent, const QString& caption,
                                            const QString& prompt, const QString& initial,
                                            const QString& cancelText, int maxLength) {
    TInputDialog dialog(parent, caption, prompt, initial, cancelText, maxLength);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.text();
}

std::optional<QString> QtPrompts::openFile(QWidget* parent, const QString& title,
                                           const QString& filter, const QString& folder,
                                           const QString& defaultSuffix) {
    return FileDialog(parent, title, filter, folder, defaultSuffix, QFileDialog::AcceptOpen);
}

std::optional<QString> QtPrompts::saveFile(QWidget* parent, const QString& title,
                                           const QString& filter, const QString& folder,
                                           const QString& defaultSuffix) {
    return FileDialog(parent, title, filter, folder, defaultSuffix, QFileDialog::AcceptSave);
}

std::optional<int> QtPrompts::chooseNumber(QWidget* parent, const QString& caption,
                                           const QString& prompt, int minimum, int maximum,
                                           int initial) {
    bool ok = false;
    const int number =
        QInputDialog::getInt(parent, caption, prompt, initial, minimum, maximum, 1, &ok);
    if (!ok) return std::nullopt;
    return number;
}

std::optional<QColor> QtPrompts::chooseColor(QWidget* parent, const QColor& initial) {
    const QColor color = QColorDialog::getColor(initial, parent);
    if (!color.isValid()) return std::nullopt;
    return color;
}

std::optional<QString> QtPrompts::chooseFolder(QWidget* parent, const QString& caption,
                                               const QString& start) {
    const QString folder = QFileDialog::getExistingDirectory(parent, caption, start);
    if (folder.isEmpty()) return std::nullopt;
    return folder;
}

}  // namespace rvk
