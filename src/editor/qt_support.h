// Language texts, screen colours and pictures as the widgets take them.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>

#include "formats/lang_table.h"
#include "platform/cp1252_text.h"
#include "records/pixel.h"
#include "records/render.h"

namespace rvk {

inline QString LookupQText(LangTexts& texts, int number, bool removeAfterUse = false) {
    return FromCp1252(texts.lookup(number, removeAfterUse));
}

inline QColor ScreenColor(RgbColor c) {
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

// An RGB32 picture of the given size (kept when it has it already) to draw into.
inline Canvas CanvasOf(QImage& image, int width, int height) {
    if (image.width() != width || image.height() != height)
        image = QImage(width, height, QImage::Format_RGB32);
    return Canvas{reinterpret_cast<std::uint32_t*>(image.bits()), width, height,
                  static_cast<int>(image.bytesPerLine() / 4)};
}

}  // namespace rvk
