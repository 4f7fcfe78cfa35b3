// The toolkit's own texts (message-box buttons, the file and colour dialogs) in the
// language of the chosen language file.
#pragma once

#include <QString>

namespace rvk {

// Replaces the toolkit translation in use by the one for `locale` ("de", "fr_CA", ...).
// An empty locale, or one the toolkit has no translation for, leaves the toolkit's
// built-in English.
void UseToolkitLanguage(const QString& locale);

// Where the toolkit's translations are looked for: the folder "translations" beside the
// program when it has one (the Windows installation brings its own), else the toolkit's.
QString ToolkitTranslationsFolder();

}  // namespace rvk
