#include "shell_test.h"

#include <QAction>
#include <QFile>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

#include "app/main_form.h"
#include "app/program_folder.h"
#include "docwin/file_form.h"
#include "fleet/fleet_form.h"
#include "platform/file_names.h"
#include "platform/toolkit_language.h"
#include "shell/name_list_box.h"
#include "storage/document_files.h"

namespace rvk::test {

namespace {

// The numbers the shell looks up, and those with placeholders get their own texts.
constexpr int kPlainNumbers[] = {
    5, 6, 7, 8, 9, 15, 16, 17, 18, 19, 20, 30, 40, 41, 42, 43, 45, 50, 51, 52, 53, 54, 55, 56, 60,
    61, 62, 63, 64, 65, 66, 102, 170, 500, 510, 511, 513, 521, 541, 542, 543, 544, 546, 547, 548,
    549, 550, 551, 552, 553, 554, 701, 702, 703, 740,
    // the vehicle window's clipboard items and the copy notice
    72, 73, 540, 556,
    // the vehicle window's steam points item
    74,
    // the vehicle window's shift item
    75,
    // the vehicle window's picture items, filter, question and dialog titles
    76, 77, 78, 514, 606, 710, 711, 712,
    // tool panel and vehicle window
    70, 71, 100, 101, 110, 111, 112, 113, 114, 115, 120, 121, 122, 123, 124, 125, 126, 127, 130,
    131, 132, 133, 134, 135, 136, 137, 138, 139, 140, 141, 142, 150, 151, 152, 153, 154, 200, 201,
    202, 203, 204, 205, 207, 208, 210, 211, 212, 213, 215, 216, 217, 218, 219, 220, 506, 563, 564,
    568, 569,
    // File > Import
    512, 557, 700,
    // the recovery question
    640,
    // the fleet window's import item and the import dialog
    66, 522, 566, 750, 751, 752, 753, 754, 755, 756, 757, 758, 759, 760, 761, 762, 763, 764, 765,
    766, 767, 768, 769, 770, 771, 772, 773, 774, 775, 776, 777, 778, 779, 780, 781, 782, 783,
    // reasons of file messages
    591, 592, 593, 594, 597, 598, 599,
    // the vehicle window's status: view names; its cell grid and joined strokes items
    620, 621, 622, 623, 624, 625, 626, 627, 631, 690,
    // another program's change, another editor's record, the read-only mark
    660, 664, 666,
    // the names of undo steps
    902, 903, 904, 905, 906, 907, 908, 909, 910, 911, 912, 913, 914, 915, 916, 917, 918, 919, 920,
    // the preview pane and the train strip
    850, 851, 852, 853, 854, 855, 856, 857,
    // the picture to trace
    858, 859, 860, 861, 862, 863, 865,
    // the tool panel's typed, recent and vehicle colours
    160, 161, 162, 163, 164, 165};

QByteArray Texts(char prefix) {
    QByteArray out = "RVK30b2lng\r\n";
    const auto add = [&out](int number, const QByteArray& text) {
        out += QByteArray::number(number) + "\r\n" + text + "\r\n";
    };
    add(1, prefix + QByteArray("-missing #%i"));
    for (int n : kPlainNumbers) add(n, prefix + QByteArray::number(n));
    add(501, prefix == 'E' ? "New" : "Neu");
    add(505, prefix + QByteArray("-info %s"));
    add(545, prefix + QByteArray("-save %s?"));
    add(555, prefix + QByteArray("-cannot open %s"));
    add(567, prefix + QByteArray("-unusable %s"));
    add(590, prefix + QByteArray("-cannot save %s: %s"));
    add(595, prefix + QByteArray("-unread %s"));
    add(596, prefix + QByteArray("-interrupted %s: %s"));
    add(572, prefix + QByteArray("-only in %s"));
    add(573, prefix + QByteArray("-damaged %s"));
    add(574, prefix + QByteArray("-companion damaged %s"));
    add(575, prefix + QByteArray("-too many vehicles %s"));
    add(580, prefix + QByteArray("-open elsewhere %s"));
    add(741, prefix + QByteArray("-by %s, %s"));
    add(600, prefix + QByteArray("-cannot import %s"));
    add(601, prefix + QByteArray("-cannot write %s"));
    add(602, prefix + QByteArray("-%i unknown types"));
    add(603, prefix + QByteArray("-zoom 1 to %i"));
    add(605, prefix + QByteArray("-no zoom 1 to %i"));
    add(641, prefix + QByteArray("-restore?\\n%s"));
    add(642, prefix + QByteArray("-%s at %s"));
    add(643, prefix + QByteArray("-kept copy damaged %s"));
    add(644, prefix + QByteArray("-no copies in %s: %s"));
    add(645, prefix + QByteArray("-no settings in %s"));
    add(651, prefix + QByteArray("-journal %s set aside as %s"));
    add(661, prefix + QByteArray("-changed, overwrite %s?"));
    add(662, prefix + QByteArray("-changed, reload %s?"));
    add(663, prefix + QByteArray("-changed, reload and lose edits of %s?"));
    add(665, prefix + QByteArray("-%s in use by %s on %s, %i, since %s"));
    add(565, prefix + QByteArray("-no installation %s"));
    add(628, prefix + QByteArray("-cell %i, %i"));
    add(629, prefix + QByteArray("-pixel %s %s %i %i %i"));
    add(630, prefix + QByteArray("-selection %i x %i"));
    add(691, prefix + QByteArray("-%s key %s"));
    add(864, prefix + QByteArray("-trace gone %s"));
    add(866, prefix + QByteArray("-show key %s"));
    add(867, prefix + QByteArray("-no picture %s"));
    add(900, prefix + QByteArray("-undo %s"));
    add(901, prefix + QByteArray("-redo %s"));
    return out;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

}  // namespace

QByteArray LangFile(std::initializer_list<std::pair<int, const char*>> entries) {
    QByteArray out = "RVK30b2lng\n";
    for (const auto& [number, text] : entries)
        out += QByteArray::number(number) + "\n" + text + "\n";
    return out;
}

QByteArray EnglishTexts() {
    return Texts('E');
}
QByteArray GermanTexts() {
    return Texts('D');
}

void ShellTest::SetUp() {
    GuiTest::SetUp();
    ClearSettings();
    SetProgramFolder(programDir_.path());
    WriteFile(programDir_.filePath("rvk3b2.lng"), EnglishTexts());
    WriteFile(programDir_.filePath("deutsch.lng"), GermanTexts());
}

void ShellTest::TearDown() {
    SetProgramFolder(QString());
    UseToolkitLanguage(QString());  // a language file's locale would outlast the test
    GuiTest::TearDown();
}

std::unique_ptr<TMainForm> ShellTest::startMain() {
    auto main = std::make_unique<TMainForm>();
    if (main->ready()) main->show();
    return main;
}

void ShellTest::endMain(std::unique_ptr<TMainForm>& main) {
    main->close();
    main.reset();
}

QString ShellTest::writeDocument(const QString& name, int fleets, int vehicles) {
    FileDoc doc;
    doc.path = PathFromQString(dataPath(name));
    doc.info = "test document";
    for (int f = 0; f < fleets; ++f) {
        auto fleet = CreateFleet("Fleet " + std::to_string(f));
        for (int k = 0; k < vehicles; ++k) {
            auto rec = std::make_unique<VehicleRec>();
            InitVehicle(*rec);
            rec->Info[0] = fleet->name + "/" + std::to_string(k);
            rec->Planes[0].set(k, 3, 0x00112233u + static_cast<PixelValue>(f));
            fleet->vehicles.push_back(std::move(rec));
        }
        doc.fleets.push_back(std::move(fleet));
    }
    EXPECT_TRUE(SaveDocument(doc).ok());
    return QStringFromPath(doc.path);
}

QAction* ShellTest::item(QMenu* menu, const char* name) {
    for (QAction* a : menu->actions())
        if (a->objectName() == QLatin1String(name)) return a;
    return nullptr;
}

QMenu* ShellTest::menu(QWidget* owner, const char* name) {
    return owner->findChild<QMenu*>(QLatin1String(name));
}

bool ShellTest::trigger(QMenu* menu, const char* name) {
    emit menu->aboutToShow();
    QAction* action = item(menu, name);
    EXPECT_NE(action, nullptr) << name;
    if (!action || !action->isEnabled()) return false;
    action->trigger();
    return true;
}

TFleetForm* ShellTest::openFleet(TFileForm* doc, int index) {
    doc->fleetBox()->selectRow(index);
    trigger(doc->popupMenu(), "pEdit");
    return doc->fleetWindowOf(doc->document().fleets[static_cast<std::size_t>(index)].get());
}

}  // namespace rvk::test
