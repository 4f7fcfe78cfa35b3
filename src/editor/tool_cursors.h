// The cursors of the drawing tools and of steam point placing, and the small images of
// the vehicle window, from the editor's resources.
#pragma once

#include <QCursor>
#include <QPixmap>

namespace rvk {

// Cursor numbers shared by the tools and the steam point placing.
inline constexpr int kCursorPen = 0;
inline constexpr int kCursorLine = 2;
inline constexpr int kCursorRect = 3;
inline constexpr int kCursorFill = 4;
inline constexpr int kCursorSelect = 5;
inline constexpr int kCursorColor = 6;
inline constexpr int kCursorSteam = 7;

// The cursor registered under a number; the default arrow for the pen and any
// unknown number.
QCursor ToolCursor(int number);

// An image of the editor's resources by its file name without extension.
QPixmap EditorImage(const char* name);

}  // namespace rvk
