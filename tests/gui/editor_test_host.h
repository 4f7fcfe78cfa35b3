// A stand-in frame for the vehicle editor tests: a main window with the child-window
// area, the tool panel on the right and the active vehicle window's Edit menu merged
// into its menu bar; and an owner that records what the windows report.
#pragma once

#include <QMainWindow>
#include <QMdiArea>
#include <QPoint>
#include <QTest>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/tool_panel.h"
#include "editor/vehicle_form.h"
#include "editor/vehicle_owner.h"
#include "formats/lang_table.h"
#include "gui_test.h"

namespace rvk::test {

struct OwnerLog : VehicleOwner {
    int modified = 0;
    std::vector<TChildForm*> removed;
    void MarkModified() override { ++modified; }
    void RemoveVehicleWindow(TChildForm* window) override { removed.push_back(window); }
    TChildForm* documentWindow() override { return nullptr; }
    std::vector<const VehicleRec*> renamed;
    void UpdateVehicleLine(const VehicleRec* rec) override { renamed.push_back(rec); }
    std::string companion;  // the Zoom2 file name every vehicle is given
    std::string CompanionFileName(const VehicleRec*) override { return companion; }
};

// The plane pixels of a view that are not transparent.
std::vector<std::pair<int, int>> Painted(const Plane& plane);

class EditorTest : public GuiTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A record that lives as long as the fixture, so that it outlasts every window the
    // test leaves open for TearDown to close.
    VehicleRec& vehicle(VehicleRec initial = {});
    // Opens a vehicle window on rec and makes it the active child.
    VehicleForm* open(VehicleRec& rec);
    void activate(VehicleForm* form);
    // The centre of cell (x, y) of a view in its paint box (visible-row coordinates).
    static QPoint cell(VehicleForm* form, int x, int y);
    // Press at the first point, move through the others, release at the last.
    static void drag(QWidget* view, Qt::MouseButton button, Qt::KeyboardModifiers mods,
                     const std::vector<QPoint>& points);
    static void click(QWidget* view, Qt::MouseButton button, Qt::KeyboardModifiers mods,
                      QPoint at) {
        drag(view, button, mods, {at});
    }
    // Presses a tool bar button of the panel by its name.
    void clickTool(const char* name);
    void key(int key, Qt::KeyboardModifiers mods);
    template <class T>
    T* find(const char* name) const {
        return panel->findChild<T*>(QLatin1String(name));
    }

    // Declared first, so destroyed last.
    std::deque<VehicleRec> records;
    LangTexts texts;
    OwnerLog owner;
    std::unique_ptr<QMainWindow> frame;
    QMdiArea* mdi = nullptr;
    ToolPanel* panel = nullptr;
};

}  // namespace rvk::test
