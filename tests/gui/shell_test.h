// Fixture of the shell tests: a program folder with small language files, fresh
// settings, and helpers to drive the windows through their menus.
#pragma once

#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "gui_test.h"

class QAction;
class QMenu;
class QWidget;

namespace rvk {
class TFileForm;
class TFleetForm;
class TMainForm;
struct FleetRec;
}  // namespace rvk

namespace rvk::test {

class ShellTest : public GuiTest {
protected:
    void SetUp() override;
    void TearDown() override;

    QString programFolder() const { return programDir_.path(); }
    QString dataFolder() const { return dataDir_.path(); }
    QString dataPath(const QString& name) const { return dataDir_.filePath(name); }

    // A main window on the test program folder, shown like the program does.
    std::unique_ptr<TMainForm> startMain();
    // Closes the main window the way Exit does, then destroys it (writing the settings).
    void endMain(std::unique_ptr<TMainForm>& main);

    // Writes a document with the given number of fleets, each with `vehicles` vehicles
    // named "<fleet>/<k>"; returns its path.
    QString writeDocument(const QString& name, int fleets, int vehicles = 0);

    // Opens the menu (which computes its enabling), then triggers the named item
    // if it is enabled. Returns whether it was.
    static bool trigger(QMenu* menu, const char* item);
    static QAction* item(QMenu* menu, const char* name);
    static QMenu* menu(QWidget* owner, const char* name);

    // Opens the selected fleet of a document window in a fleet window.
    TFleetForm* openFleet(TFileForm* doc, int index);

private:
    QTemporaryDir programDir_;
    QTemporaryDir dataDir_;
};

// Language file bytes: the header, then "number\ntext" for each pair.
QByteArray LangFile(std::initializer_list<std::pair<int, const char*>> entries);
// Every number the shell uses, with short English texts ("E<number>" where no
// placeholder is needed); the German file has "D<number>".
QByteArray EnglishTexts();
QByteArray GermanTexts();

}  // namespace rvk::test
