// The folder of the program file, and the folder of the language files.
#pragma once

#include <QString>

namespace rvk {

// Without a trailing separator.
QString ProgramFolder();
// Points the program at another folder (tests); an empty folder restores the default.
void SetProgramFolder(const QString& folder);
// Where the language files lie: the program folder when the default language file is
// there (a build tree, a copied program), else the installed share/rvkedit beside the
// program's bin folder when that has it. Without a trailing separator.
QString LanguageFolder();

}  // namespace rvk
