#include "platform/toolkit_language.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

namespace rvk {

void UseToolkitLanguage(const QString& locale) {
    // One translation at a time, owned here for the rest of the run.
    static std::unique_ptr<QTranslator> current;
    if (current) {
        QCoreApplication::removeTranslator(current.get());
        current.reset();
    }
    if (locale.isEmpty()) return;
    auto translator = std::make_unique<QTranslator>();
    // "qtbase_de_AT", then "qtbase_de": the toolkit ships most languages without region.
    if (!translator->load(QLocale(locale), QStringLiteral("qtbase"), QStringLiteral("_"),
                          ToolkitTranslationsFolder()))
        return;
    QCoreApplication::installTranslator(translator.get());
    current = std::move(translator);
}

QString ToolkitTranslationsFolder() {
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/translations");
    return QDir(beside).exists() ? beside : QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

}  // namespace rvk
