// Stored strings are Windows-1252 bytes; the widgets show Unicode.
#pragma once

#include <QString>
#include <string>

#include "formats/codepage.h"

namespace rvk {

inline QString FromCp1252(const std::string& bytes) {
    return QString::fromUtf8(Cp1252ToUtf8(bytes));
}

// At most capacity - 1 bytes, as the stored field holds them; characters without a
// Windows-1252 form become '?'.
inline std::string ToCp1252(const QString& text, std::size_t capacity) {
    return Utf8ToCp1252(text.toStdString()).substr(0, capacity - 1);
}

}  // namespace rvk
