// Language texts and screen colours as the widgets take them.
#pragma once

#include <QColor>
#include <QString>
#include <string>

#include "model/codepage.h"
#include "model/lang_table.h"
#include "model/pixel.h"

namespace rvk {

inline QString LookupQText(LangTexts& texts, int number, bool removeAfterUse = false) {
    return QString::fromStdU16String(Cp1252ToUtf16(texts.lookup(number, removeAfterUse)));
}

inline QColor ScreenColor(RgbColor c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

}  // namespace rvk
