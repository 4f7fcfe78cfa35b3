// The folder of the program file: where the language files lie.
#pragma once

#include <QString>

namespace rvk {

// Without a trailing separator.
QString ProgramFolder();
// Points the program at another folder (tests); an empty folder restores the default.
void SetProgramFolder(const QString& folder);

}  // namespace rvk
