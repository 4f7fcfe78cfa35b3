// Language texts and screen colours as the widgets take them.
#pragma once

#include <QColor>
#include <QString>

#include "model/lang_table.h"
#include "model/pixel.h"
#include "platform/cp1252_text.h"

namespace rvk {

inline QString LookupQText(LangTexts& texts, int number, bool removeAfterUse = false) {
    return FromCp1252(texts.lookup(number, removeAfterUse));
}

inline QColor ScreenColor(RgbColor c) {
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

}  // namespace rvk
