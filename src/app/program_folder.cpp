#include "app/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "formats/lang_table.h"

namespace rvk {

namespace {

QString& Override() {
    static QString folder;
    return folder;
}

}  // namespace

QString ProgramFolder() {
    const QString& set = Override();
    return set.isEmpty() ? QCoreApplication::applicationDirPath() : set;
}

QString LanguageFolder() {
    const QString program = ProgramFolder();
    const QString defaultFile =
        QString::fromLatin1(kDefaultLangFile.data(), kDefaultLangFile.size());
    if (QFileInfo::exists(program + QLatin1Char('/') + defaultFile)) return program;
    const QString installed = QDir::cleanPath(program + QStringLiteral("/../share/rvkedit"));
    return QFileInfo::exists(installed + QLatin1Char('/') + defaultFile) ? installed : program;
}

void SetProgramFolder(const QString& folder) {
    Override() = folder.isEmpty() ? QString() : QDir::cleanPath(QDir(folder).absolutePath());
}

}  // namespace rvk
