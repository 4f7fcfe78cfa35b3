#include "app/program_folder.h"

#include <QCoreApplication>
#include <QDir>

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

void SetProgramFolder(const QString& folder) {
    Override() = folder.isEmpty() ? QString() : QDir::cleanPath(QDir(folder).absolutePath());
}

}  // namespace rvk
