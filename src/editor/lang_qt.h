// Language texts as the widgets show them.
#pragma once

#include <QString>
#include <string>

#include "model/codepage.h"
#include "model/lang_table.h"

namespace rvk {

inline QString LookupQText(LangTexts& texts, int number, bool removeAfterUse = false) {
    return QString::fromStdU16String(Cp1252ToUtf16(texts.lookup(number, removeAfterUse)));
}

}  // namespace rvk
