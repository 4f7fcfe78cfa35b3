#include <QAction>
#include <QCoreApplication>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScrollBar>
#include <QSettings>
#include <QStyle>
#include <QTest>
#include <QUrl>

#include "app/main_form.h"
#include "app/recent_files.h"
#include "docwin/file_form.h"
#include "fleet/fleet_form.h"
#include "storage/file_io.h"
#include "storage/companion_files.h"
#include "platform/settings_store.h"
#include "shell/name_list_box.h"
#include "shell_test.h"

namespace rvk {
namespace {

using test::ShellTest;

QString StatusText(TMainForm& main) {
    return main.findChild<QLabel*>("StatusText")->text();
}

std::vector<QString> Recent(const TMainForm& main) {
    const auto& e = main.recentFiles().entries();
    return {e.begin(), e.end()};
}

TEST(RecentFilesTest, NewestFirstSevenSlotsCaseInsensitiveMoves) {
    RecentFiles r;
    for (int i = 1; i <= 8; ++i) r.add(QStringLiteral("/d/f%1.rvk").arg(i));
    EXPECT_EQ(r.at(0), "/d/f8.rvk");
    EXPECT_EQ(r.at(6), "/d/f2.rvk");  // f1 dropped out

    // Reopening index 3 moves it to the top in its new spelling; 0..2 shift down, 4..6 stay.
    r.add("/D/F5.RVK");
    EXPECT_EQ(r.at(0), "/D/F5.RVK");
    EXPECT_EQ(r.at(1), "/d/f8.rvk");
    EXPECT_EQ(r.at(3), "/d/f6.rvk");
    EXPECT_EQ(r.at(4), "/d/f4.rvk");
    EXPECT_EQ(r.at(6), "/d/f2.rvk");

    r.removeAt(1);
    EXPECT_EQ(r.at(1), "/d/f7.rvk");
    EXPECT_EQ(r.at(5), "/d/f2.rvk");
    EXPECT_TRUE(r.at(6).isEmpty());
}

TEST_F(ShellTest, FirstRunMenusTextsAndStatus) {
    auto main = startMain();
    ASSERT_TRUE(main->ready());
    EXPECT_EQ(main->size(), QSize(870, 640));
    EXPECT_EQ(main->windowTitle(), "RVK Editor 3.0 Beta2");
    EXPECT_EQ(main->toolPanelHost()->width(), 206);
    EXPECT_EQ(StatusText(*main), "E102 0");

    QStringList titles;
    for (QAction* a : main->menuBar()->actions()) titles << a->text();
    EXPECT_EQ(titles, QStringList({"E5", "E7", "E8", "E9"}));
    QMenu* file = menu(main.get(), "mFile");
    EXPECT_EQ(item(file, "iOpen")->shortcut(), QKeySequence(Qt::Key_F3));
    EXPECT_EQ(item(file, "iSave")->shortcut(), QKeySequence(Qt::Key_F2));
    EXPECT_EQ(item(file, "iExit")->shortcut(), QKeySequence(Qt::ALT | Qt::Key_X));

    // First run: no recent entries, and nothing to save.
    emit file->aboutToShow();
    for (int i = 0; i < 7; ++i)
        EXPECT_FALSE(item(file, QStringLiteral("H%1").arg(i).toLatin1().constData())->isVisible());
    EXPECT_FALSE(item(file, "iSave")->isEnabled());
    EXPECT_FALSE(item(file, "iSaveAs")->isEnabled());

    // The menu texts were taken once: a second lookup misses; message texts stay.
    prompts().answerMessage(MsgAnswer::Ok);
    EXPECT_EQ(main->text(5), "#5");
    EXPECT_EQ(prompts().calls().back().text, "E-missing #5");
    EXPECT_EQ(prompts().calls().back().caption, "RVK");
    EXPECT_EQ(main->text(544), "E544");
    EXPECT_EQ(main->text(99999), "#99999");  // reported once per run only
    EXPECT_EQ(prompts().calls().size(), 1u);
    endMain(main);

    QSettings raw("DUR", SettingsApplication());
    EXPECT_EQ(raw.value("P1").toString(), programFolder());
    EXPECT_EQ(raw.value("LangFile").toString(), "rvk3b2.lng");
}

TEST_F(ShellTest, MaximisedWindowComesBackMaximisedOverItsNormalRectangle) {
    auto main = startMain();
    const QRect normal(40, 50, 700, 500);
    main->setGeometry(normal);
    main->showMaximized();
    endMain(main);
    const std::optional<QByteArray> stored = SettingsStore().block("WindowPos");
    ASSERT_TRUE(stored && stored->size() == 17);
    EXPECT_EQ(stored->at(16), '\1');

    main = startMain();
    EXPECT_TRUE(main->isMaximized());
    main->showNormal();
    EXPECT_EQ(main->geometry(), normal);
    endMain(main);
    EXPECT_EQ(SettingsStore().block("WindowPos").value_or(QByteArray(17, '?')).at(16), '\0');
}

TEST_F(ShellTest, StoredPlacementOutOfReachKeepsTheDefault) {
    // One far off every screen, one whose right and bottom edges lie before its left and top.
    const QRect offScreen(QPoint(100000, 100000), QSize(700, 500));
    const QRect inverted(QPoint(300, 200), QPoint(100, 100));
    for (const QRect& stored : {offScreen, inverted}) {
        SettingsStore().setBlock("WindowPos", EncodeWindowPos({stored, false}));
        auto main = startMain();
        EXPECT_EQ(main->size(), QSize(870, 640));
        EXPECT_LT(main->x(), 100000);
        endMain(main);
    }
}

TEST_F(ShellTest, OpenSameFileTwiceAndInOtherLetterCase) {
    const QString lower = writeDocument("trams.rvk", 2);
    const QString upper = writeDocument("TRAMS.rvk", 1);  // another file, but on Windows
    auto main = startMain();
    main->OpenDocument(lower);
    main->OpenDocument(writeDocument("other.rvk", 0));
    ASSERT_EQ(main->documents().size(), 2u);
    main->OpenDocument(lower);
    EXPECT_EQ(main->documents().size(), 2u);
    EXPECT_EQ(main->DocumentOfActiveWindow(), main->documents()[0]);
    EXPECT_EQ(main->recentFiles().at(0), dataPath("other.rvk"));  // untouched by the re-open

#ifdef _WIN32
    // One file on this file system: its window comes to the front.
    main->OpenDocument(upper);
    EXPECT_EQ(main->documents().size(), 2u);
    EXPECT_EQ(main->DocumentOfActiveWindow(), main->documents()[0]);
    endMain(main);
    return;
#endif
    main->OpenDocument(upper);
    EXPECT_EQ(main->documents().size(), 3u);
    EXPECT_EQ(Recent(*main)[0], upper);
    EXPECT_EQ(Recent(*main)[1], dataPath("other.rvk"));
    EXPECT_TRUE(Recent(*main)[2].isEmpty());  // one entry for both spellings
    EXPECT_EQ(main->documents()[0]->fleetBox()->count(), 2);
    EXPECT_EQ(main->documents()[0]->windowTitle(), "trams.rvk");
    endMain(main);
}

TEST_F(ShellTest, UnreadableFileIsReportedAndItsWindowCloses) {
    const QString bad = dataPath("broken.rvk");
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a document");
    f.close();
    auto main = startMain();
    prompts().answerMessage(MsgAnswer::Ok);
    prompts().answerMessage(MsgAnswer::Ok);
    main->OpenDocument(bad);
    main->OpenDocument(dataPath("missing.rvk"));
    ASSERT_EQ(prompts().calls().size(), 2u);
    EXPECT_EQ(prompts().calls()[0].text, "E-cannot open " + bad);
    EXPECT_EQ(prompts().calls()[0].caption, "E544");
    EXPECT_EQ(prompts().calls()[0].icon, MsgIcon::Error);
    EXPECT_TRUE(main->documents().empty());
    EXPECT_TRUE(main->recentFiles().at(0).isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(main->mdiArea()->subWindowList().isEmpty());
    EXPECT_EQ(StatusText(*main), "E102 0");
    endMain(main);
}

TEST_F(ShellTest, RecentItemsOpenAndAVanishedFileLeavesTheList) {
    const QString a = writeDocument("a.rvk", 1);
    const QString b = writeDocument("b.rvk", 1);
    const QString c = writeDocument("c.rvk", 1);
    auto main = startMain();
    for (const QString& p : {a, b, c}) main->OpenDocument(p);
    for (TFileForm* doc : std::vector<TFileForm*>(main->documents())) doc->closeWindow();
    ASSERT_TRUE(main->documents().empty());

    QMenu* file = menu(main.get(), "mFile");
    emit file->aboutToShow();
    EXPECT_EQ(item(file, "H0")->text(), "&1 " + c);
    EXPECT_EQ(item(file, "H2")->text(), "&3 " + a);
    EXPECT_FALSE(item(file, "H3")->isVisible());

    ASSERT_TRUE(QFile::remove(b));
    prompts().answerMessage(MsgAnswer::Ok);
    EXPECT_TRUE(trigger(file, "H1"));
    EXPECT_EQ(prompts().calls().at(0).text, "E-cannot open " + b);
    EXPECT_EQ(Recent(*main)[0], c);
    EXPECT_EQ(Recent(*main)[1], a);
    EXPECT_TRUE(Recent(*main)[2].isEmpty());
    emit file->aboutToShow();
    EXPECT_FALSE(item(file, "H2")->isVisible());

    EXPECT_TRUE(trigger(file, "H1"));
    ASSERT_EQ(main->documents().size(), 1u);
    EXPECT_EQ(main->documents()[0]->path(), a);
    EXPECT_EQ(Recent(*main)[0], a);
    endMain(main);
}

TEST_F(ShellTest, SaveOnANewDocumentRunsSaveAs) {
    auto main = startMain();
    QMenu* file = menu(main.get(), "mFile");
    EXPECT_TRUE(trigger(file, "iNew"));
    EXPECT_TRUE(trigger(file, "iNew"));
    EXPECT_TRUE(trigger(file, "iNew"));
    TFileForm* doc = main->documents().at(2);
    EXPECT_EQ(doc->path(), "New03.rvk");
    EXPECT_EQ(doc->windowTitle(), "New03.rvk");
    EXPECT_EQ(doc->document().info, "E-info RVK Editor 3.0 Beta2");
    EXPECT_FALSE(doc->document().modified);

    doc->document().modified = true;
    prompts().answerText(std::nullopt);
    EXPECT_TRUE(trigger(file, "iSave"));
    EXPECT_EQ(prompts().calls().at(0).kind, PromptKind::SaveFile);
    EXPECT_EQ(prompts().calls().at(0).caption, "E703");
    EXPECT_EQ(prompts().calls().at(0).filter, "E510|*.rvk|E511|*.*");
    EXPECT_FALSE(doc->document().named);
    EXPECT_TRUE(doc->document().modified);

    const QString target = dataPath("saved.rvk");
    prompts().answerText(target);
    EXPECT_TRUE(trigger(file, "iSave"));
    EXPECT_TRUE(FileExists(target.toStdString()));
    EXPECT_TRUE(doc->document().named);
    EXPECT_FALSE(doc->document().modified);
    EXPECT_EQ(doc->windowTitle(), "saved.rvk");
    EXPECT_EQ(main->recentFiles().at(0), target);
    EXPECT_EQ(main->documentFolder(), dataFolder());
    endMain(main);
}

TEST_F(ShellTest, SaveAsFromAFleetWindowSavesItsDocument) {
    auto main = startMain();
    main->OpenDocument(writeDocument("first.rvk", 1));
    main->OpenDocument(writeDocument("second.rvk", 2, 1));
    TFileForm* second = main->documents()[1];
    TFleetForm* fleet = openFleet(second, 1);
    ASSERT_NE(fleet, nullptr);
    EXPECT_EQ(fleet->windowTitle(), "[second.rvk] - Fleet 1");
    EXPECT_EQ(main->activeChild(), fleet);
    EXPECT_EQ(StatusText(*main), "E102 2");  // documents, not windows

    const QString target = dataPath("copy.rvk");
    prompts().answerText(target);
    EXPECT_TRUE(trigger(menu(main.get(), "mFile"), "iSaveAs"));
    EXPECT_EQ(second->path(), target);
    EXPECT_EQ(fleet->windowTitle(), "[copy.rvk] - Fleet 1");
    FileDoc back;
    back.path = target.toStdString();
    ASSERT_TRUE(LoadDocument(back).ok);
    EXPECT_EQ(back.fleets.size(), 2u);
    endMain(main);
}

// A hurried user: F2 on a write-protected file, Save As into a folder that is not
// there, then Save As under a good name.
TEST_F(ShellTest, RefusedSavesKeepTheDocumentItsNameAndTheFile) {
    auto main = startMain();
    QMenu* file = menu(main.get(), "mFile");
    const QString locked = writeDocument("locked.rvk", 1);
    const auto before = ReadFileBytes(locked.toStdString());
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    main->OpenDocument(locked);
    TFileForm* doc = main->documents().at(0);
    doc->SetModified(true);
    prompts().reset();

    prompts().answerMessage(MsgAnswer::Ok);
    EXPECT_TRUE(trigger(file, "iSave"));
    ASSERT_EQ(prompts().calls().size(), 1u);
    EXPECT_EQ(prompts().calls()[0].text, "E-cannot save " + locked + ": E592");
    EXPECT_EQ(prompts().calls()[0].caption, "E544");
    EXPECT_EQ(doc->windowTitle(), "locked.rvk E666 *");
    EXPECT_EQ(ReadFileBytes(locked.toStdString()), before);

    const QString nowhere = dataPath("missing/elsewhere.rvk");
    prompts().answerText(nowhere);
    prompts().answerMessage(MsgAnswer::Ok);
    EXPECT_TRUE(trigger(file, "iSaveAs"));
    EXPECT_EQ(prompts().calls().back().text,
              "E-cannot save " + nowhere + ": " +
                  QString::fromStdString(
                      std::make_error_code(std::errc::no_such_file_or_directory).message()));
    EXPECT_EQ(doc->path(), locked);
    EXPECT_EQ(doc->windowTitle(), "locked.rvk E666 *");
    EXPECT_EQ(Recent(*main).front(), locked);

    const QString freed = dataPath("freed.rvk");
    prompts().answerText(freed);
    EXPECT_TRUE(trigger(file, "iSaveAs"));
    EXPECT_EQ(doc->path(), freed);
    EXPECT_EQ(doc->windowTitle(), "freed.rvk");
    EXPECT_EQ(Recent(*main).front(), freed);
    EXPECT_EQ(ReadFileBytes(freed.toStdString()), before);
    EXPECT_EQ(ReadFileBytes(locked.toStdString()), before);
    endMain(main);
}

TEST_F(ShellTest, CompanionsThatCannotBeReadAreNamedInOneMessage) {
    auto main = startMain();
    const QString path = writeDocument("damaged.rvk", 1, 3);
    const std::string first = dataPath("damaged-00-00.fzz").toStdString();
    const std::string third = dataPath("damaged-00-02.fzz").toStdString();
    ASSERT_TRUE(WriteFileAtomic(first, std::vector<std::uint8_t>{1, 2, 3}));
    ASSERT_TRUE(WriteFileAtomic(third, std::vector<std::uint8_t>{4}));
    prompts().reset();
    prompts().answerMessage(MsgAnswer::Ok);
    main->OpenDocument(path);
    ASSERT_EQ(main->documents().size(), 1u);
    ASSERT_EQ(prompts().calls().size(), 1u);
    EXPECT_EQ(prompts().calls()[0].text,
              "E-unread " + QDir::toNativeSeparators(QString::fromStdString(first)) + ": E597\n" +
                  QDir::toNativeSeparators(QString::fromStdString(third)) + ": E597");
    EXPECT_EQ(prompts().calls()[0].caption, "E543");
    EXPECT_EQ(prompts().calls()[0].icon, MsgIcon::Warning);
    // Saving leaves them as they are.
    main->documents()[0]->SetModified(true);
    EXPECT_TRUE(main->Save(main->documents()[0]));
    EXPECT_EQ(ReadFileBytes(first), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(ReadFileBytes(third), std::vector<std::uint8_t>{4});
    endMain(main);
}

// Save As onto a document: refused while another window has it open, and once done the
// overwritten document's companion files go with it instead of attaching to this
// document's vehicles when it is opened again.
TEST_F(ShellTest, SaveAsOverADocumentReplacesItsCompanionFiles) {
    FileDoc old;
    old.path = dataPath("old.rvk").toStdString();
    old.fleets.push_back(CreateFleet("Old"));
    for (int k = 0; k < 2; ++k) {
        auto rec = std::make_unique<VehicleRec>();
        InitVehicle(*rec);
        DeriveZoom2(*rec, "old");
        old.fleets[0]->vehicles.push_back(std::move(rec));
    }
    ASSERT_TRUE(SaveDocument(old).ok());
    ASSERT_EQ(ExistingZoom2Files(old.path).size(), 2u);

    auto main = startMain();
    main->OpenDocument(dataPath("old.rvk"));
    main->OpenDocument(writeDocument("new.rvk", 1, 2));
    TFileForm* doc = main->documents()[1];
    doc->document().modified = true;
    prompts().answerText(dataPath("old.rvk"));
    prompts().answerMessage(MsgAnswer::Ok);
    EXPECT_TRUE(trigger(menu(main.get(), "mFile"), "iSaveAs"));
    ASSERT_EQ(prompts().callsOf(PromptKind::Message).size(), 1u);
    EXPECT_EQ(prompts().calls().back().text, "E-open elsewhere " + dataPath("old.rvk"));
    EXPECT_EQ(doc->path(), dataPath("new.rvk"));
    EXPECT_TRUE(doc->document().modified);

    EXPECT_TRUE(main->documents()[0]->closeWindow());
    QCoreApplication::processEvents();
    prompts().answerText(dataPath("old.rvk"));
    EXPECT_TRUE(trigger(menu(main.get(), "mFile"), "iSaveAs"));
    EXPECT_FALSE(doc->document().modified);
    EXPECT_TRUE(ExistingZoom2Files(old.path).empty());
    FileDoc back;
    back.path = old.path;
    ASSERT_TRUE(LoadDocument(back).ok);
    ASSERT_EQ(back.fleets.at(0)->vehicles.size(), 2u);
    for (const auto& rec : back.fleets[0]->vehicles) EXPECT_FALSE(rec->Zoom2Exists);
    endMain(main);
}

TEST_F(ShellTest, ChildEditMenuSitsBetweenFileAndOptions) {
    auto main = startMain();
    main->OpenDocument(writeDocument("m.rvk", 1));
    TFileForm* doc = main->documents()[0];
    const auto titles = [&main] {
        QStringList t;
        for (QAction* a : main->menuBar()->actions()) t << a->text();
        return t;
    };
    EXPECT_EQ(titles(), QStringList({"E5", "E6", "E7", "E8", "E9"}));
    TFleetForm* fleet = openFleet(doc, 0);
    EXPECT_EQ(main->menuBar()->actions().at(1), fleet->editMenu()->menuAction());
    fleet->closeWindow();
    EXPECT_EQ(main->menuBar()->actions().at(1), doc->editMenu()->menuAction());
    doc->closeWindow();
    EXPECT_EQ(titles(), QStringList({"E5", "E7", "E8", "E9"}));
    endMain(main);
}

TEST_F(ShellTest, DroppedDocumentsOpenOthersAreIgnored) {
    const QString doc = writeDocument("Dropped.RVK", 1);
    auto main = startMain();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(dataPath("notes.txt")), QUrl::fromLocalFile(doc)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(main.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(main.get(), &drop);
    ASSERT_EQ(main->documents().size(), 1u);
    EXPECT_EQ(main->documents()[0]->path(), QDir::toNativeSeparators(doc));
    // F2 works at once, without the File menu having been opened.
    EXPECT_TRUE(item(menu(main.get(), "mFile"), "iSave")->isEnabled());
    endMain(main);
}

// Window > Tile chosen with the mouse leaves every title bar in sight without scrolling,
// however many windows there are: six (documents, their fleets, vehicles) and eighteen.
TEST_F(ShellTest, TileKeepsEveryTitleBarInSight) {
    auto main = startMain();
    QMdiArea* mdi = main->mdiArea();
    const auto tileWithTheMouse = [&] {
        QMenuBar* bar = main->menuBar();
        QMenu* window = menu(main.get(), "mWindow");
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          bar->actionGeometry(window->menuAction()).center());
        ASSERT_TRUE(QTest::qWaitFor([window] { return window->isVisible(); }));
        QTest::mouseClick(window, Qt::LeftButton, {},
                          window->actionGeometry(item(window, "iTile")).center());
        QCoreApplication::processEvents();
    };
    int opened = 0;
    for (const int windows : {6, 18}) {
        SCOPED_TRACE(windows);
        while (static_cast<int>(mdi->subWindowList().size()) < windows) {
            main->OpenDocument(writeDocument(QStringLiteral("t%1.rvk").arg(opened++), 1, 1));
            TFleetForm* fleet = openFleet(main->documents().back(), 0);
            fleet->vehicleBox()->selectRow(0);
            trigger(fleet->popupMenu(), "pEdit");
        }
        ASSERT_EQ(mdi->subWindowList().size(), windows);
        tileWithTheMouse();
        EXPECT_FALSE(mdi->horizontalScrollBar()->isVisible());
        EXPECT_FALSE(mdi->verticalScrollBar()->isVisible());
        const auto subs = mdi->subWindowList();
        for (QMdiSubWindow* sub : subs) {
            const int titleHeight =
                sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub);
            const QRect title(sub->pos(), QSize(sub->width(), titleHeight));
            EXPECT_TRUE(mdi->viewport()->rect().contains(title))
                << sub->windowTitle().toStdString();
            for (QMdiSubWindow* other : subs)
                EXPECT_TRUE(other == sub || !other->geometry().intersects(title))
                    << sub->windowTitle().toStdString() << " under "
                    << other->windowTitle().toStdString();
        }
    }
    endMain(main);
}

TEST_F(ShellTest, AboutBoxAndWindowCommands) {
    auto main = startMain();
    prompts().answerMessage(MsgAnswer::Ok);
    EXPECT_TRUE(trigger(menu(main.get(), "mHelp"), "iAbout"));
    const PromptCall about = prompts().calls().at(0);
    EXPECT_TRUE(about.text.startsWith("RVK Editor 3.0 Beta2\n\nE-by "));
    EXPECT_TRUE(about.text.endsWith(", 01-2008"));
    EXPECT_EQ(about.caption, "E740");
    EXPECT_EQ(about.icon, MsgIcon::Information);

    main->OpenDocument(writeDocument("w.rvk", 1));
    openFleet(main->documents()[0], 0);
    QMenu* window = menu(main.get(), "mWindow");
    EXPECT_TRUE(trigger(window, "iMinimize"));
    for (QMdiSubWindow* sub : main->mdiArea()->subWindowList()) EXPECT_TRUE(sub->isMinimized());
    EXPECT_TRUE(trigger(window, "iArrange"));
    const auto subs = main->mdiArea()->subWindowList(QMdiArea::CreationOrder);
    EXPECT_EQ(subs[0]->x(), 0);
    EXPECT_EQ(subs[1]->x(), subs[0]->width());
    EXPECT_EQ(subs[0]->geometry().bottom() + 1, main->mdiArea()->viewport()->height());
    for (QMdiSubWindow* sub : subs) sub->showNormal();
    EXPECT_TRUE(trigger(window, "iCascade"));
    EXPECT_GT(subs[1]->x(), subs[0]->x());
    EXPECT_GT(subs[1]->y(), subs[0]->y());
    endMain(main);
}

}  // namespace
}  // namespace rvk
