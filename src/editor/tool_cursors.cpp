#include "editor/tool_cursors.h"

#include <QString>
#include <iterator>

// The images live in this static library; the resource must be registered explicitly.
static void InitEditorResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(editor_images);
        return true;
    }();
    (void)done;
}

namespace rvk {

namespace {

// Cursor images keep their hot spot at the crosshair's centre.
constexpr int kCursorHotSpot = 7;

}  // namespace

QPixmap EditorImage(const char* name) {
    InitEditorResources();
    return QPixmap(QStringLiteral(":/rvk/images/%1.xpm").arg(QLatin1String(name)));
}

QCursor ToolCursor(int number) {
    static const char* const names[] = {nullptr,        nullptr,       "cursor_line",
                                        "cursor_rect",  "cursor_fill", "cursor_select",
                                        "cursor_color", "cursor_steam"};
    if (number < 0 || number >= static_cast<int>(std::size(names)) || !names[number])
        return QCursor(Qt::ArrowCursor);
    return QCursor(EditorImage(names[number]), kCursorHotSpot, kCursorHotSpot);
}

}  // namespace rvk
