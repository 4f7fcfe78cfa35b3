// The import dialog on a made-up host installation, opened from a real fleet window.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

#include "app/main_form.h"
#include "docwin/file_form.h"
#include "fleet/fleet_form.h"
#include "fleet/import_form.h"
#include "host/host_catalogue.h"
#include "host_fixture.h"
#include "platform/registry.h"
#include "records/pixel.h"
#include "records/render.h"
#include "shell/name_list_box.h"
#include "shell_test.h"

namespace rvk {
namespace {

using test::ShellTest;

// Category items of the small installation.
constexpr int kTramDe = 1;
constexpr int kSubway = 6;

class ImportFormTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        hostfixture::WriteInstallation(hostfixture::SmallInstallation(),
                                       host_.path().toStdString());
        installation_ = QDir::toNativeSeparators(host_.path() + QLatin1Char('/')).toStdString();
        main_ = startMain();
        dialog_ = new TImportForm(*main_, main_.get(), [this] {
            ++searches_;
            return found_;
        });
        // Shown without a modal loop of its own, so the test goes on to work it.
        dialog_->setModalRunner([](QDialog& d) { d.open(); });
    }
    void TearDown() override {
        dialog_->close();
        for (TFileForm* doc : main_->documents()) doc->document().modified = false;
        endMain(main_);
        ShellTest::TearDown();
    }

    TFleetForm* openFleetWith(int vehicles) {
        main_->OpenDocument(writeDocument(QStringLiteral("f%1.rvk").arg(docs_++), 1, vehicles));
        return openFleet(main_->documents().back(), 0);
    }
    // Import from the fleet window's menu, as the user opens the dialog.
    void openDialog(TFleetForm* fleet) {
        ASSERT_TRUE(trigger(fleet->popupMenu(), "pImport"));
        ASSERT_TRUE(dialog_->isVisible());
    }
    // The user picks the installation from the list, which reads its vuvi.ini and texts.
    void pickInstallation(int index) {
        dialog_->installBox()->setCurrentIndex(index);
        emit dialog_->installBox()->activated(index);
    }
    void pickCategory(int item) {
        dialog_->catBox()->setCurrentIndex(item);
        emit dialog_->catBox()->activated(item);
    }
    int setRow(std::uint16_t number) const {
        const auto& sets = dialog_->sets();
        for (std::size_t i = 0; i < sets.size(); ++i)
            if (sets[i].number == number) return static_cast<int>(i);
        return -1;
    }
    void pickSet(std::uint16_t number) {
        const int row = setRow(number);
        ASSERT_GE(row, 0) << number;
        dialog_->setList()->setCurrentRow(row);
        emit dialog_->setList()->itemClicked(dialog_->setList()->item(row));
    }
    void pickVehicle(int row) { dialog_->vehicleBox()->setCurrentRow(row); }
    // The dialog open on the small installation's "tram, DE" with its own texts.
    TFleetForm* readyFleet(int vehicles) {
        found_ = {installation_};
        TFleetForm* fleet = openFleetWith(vehicles);
        openDialog(fleet);
        pickInstallation(0);
        pickCategory(kTramDe);
        return fleet;
    }

    QTemporaryDir host_;
    std::string installation_;
    std::vector<std::string> found_;
    int searches_ = 0;
    int docs_ = 0;
    std::unique_ptr<TMainForm> main_;
    TImportForm* dialog_ = nullptr;
};

TEST_F(ImportFormTest, CreatedWithItsTextsAndFixedSize) {
    EXPECT_EQ(dialog_->windowTitle(), "E750");
    EXPECT_EQ(dialog_->size(), TImportForm::kClientSize);
    EXPECT_EQ(dialog_->minimumSize(), dialog_->maximumSize());
    ASSERT_EQ(dialog_->catBox()->count(), 17);
    EXPECT_EQ(dialog_->catBox()->itemText(16), "E771");
    EXPECT_EQ(dialog_->catBox()->currentIndex(), 0);
    EXPECT_EQ(dialog_->findChild<QPushButton*>(QStringLiteral("CloseBtn"))->text(), "E522");
    EXPECT_FALSE(dialog_->insertButton()->isEnabled());
    EXPECT_TRUE(dialog_->motLabel()->text().isEmpty());
    // The captions leave the table; the close button's text stays for others.
    EXPECT_FALSE(main_->texts().table().find(777));
    EXPECT_TRUE(main_->texts().table().find(522));
}

TEST_F(ImportFormTest, FirstShowingSearchesOnceAndStateSurvivesClosing) {
    found_ = {installation_};
    TFleetForm* fleet = openFleetWith(2);
    openDialog(fleet);
    EXPECT_EQ(searches_, 1);
    ASSERT_EQ(dialog_->installBox()->count(), 1);
    EXPECT_EQ(dialog_->installBox()->currentText().toStdString(), installation_);
    EXPECT_TRUE(dialog_->catBox()->isEnabled());
    // The first showing reads vuvi.lnv, not the file vuvi.ini names.
    pickCategory(kTramDe);
    const int boundary = setRow(5000);
    ASSERT_GE(boundary, 0);
    EXPECT_EQ(dialog_->sets()[static_cast<std::size_t>(boundary)].name, "Grenze");
    EXPECT_EQ(setRow(4999), -1);
    EXPECT_EQ(dialog_->setList()->currentRow(), -1);
    EXPECT_TRUE(dialog_->statusText().isEmpty());

    pickInstallation(0);  // now vuvi_en.lnv, and the category starts over
    EXPECT_EQ(dialog_->catBox()->currentIndex(), 0);
    EXPECT_EQ(dialog_->setList()->count(), 0);
    pickCategory(kTramDe);
    EXPECT_EQ(dialog_->sets()[static_cast<std::size_t>(setRow(5000))].name, "Boundary");
    pickSet(5012);
    pickVehicle(2);
    // A hurried user: Escape, then Import again.
    QTest::keyClick(dialog_, Qt::Key_Escape);
    EXPECT_FALSE(dialog_->isVisible());
    openDialog(fleet);
    EXPECT_EQ(searches_, 1);
    EXPECT_EQ(dialog_->catBox()->currentIndex(), kTramDe);
    EXPECT_EQ(dialog_->setList()->currentRow(), setRow(5012));
    EXPECT_EQ(dialog_->vehicleBox()->currentRow(), 2);
    EXPECT_TRUE(dialog_->insertButton()->isEnabled());
}

TEST_F(ImportFormTest, ChoicesResetWhatDependsOnThem) {
    readyFleet(0);
    pickSet(5012);
    ASSERT_EQ(dialog_->vehicleBox()->count(), 3);
    EXPECT_EQ(dialog_->vehicleBox()->currentRow(), 0);
    pickVehicle(1);
    pickSet(5012);  // clicking the selected set again keeps the vehicle
    EXPECT_EQ(dialog_->vehicleBox()->currentRow(), 1);
    pickSet(5001);
    EXPECT_EQ(dialog_->vehicleBox()->count(), 2);
    EXPECT_EQ(dialog_->vehicleBox()->currentRow(), 0);

    // Changing the category while a set is chosen empties both lists.
    pickCategory(kSubway);
    EXPECT_EQ(dialog_->setList()->count(), 0);
    EXPECT_EQ(dialog_->vehicleBox()->count(), 0);
    EXPECT_FALSE(dialog_->insertButton()->isEnabled());
    EXPECT_TRUE(dialog_->infoLabel(0)->text().isEmpty());
    EXPECT_FALSE(dialog_->rightArrow()->isVisibleTo(dialog_));
    pickCategory(kTramDe);
    EXPECT_EQ(dialog_->vehicleBox()->count(), 0);
    EXPECT_EQ(dialog_->setList()->currentRow(), -1);
}

TEST_F(ImportFormTest, InfoPanelAndRadioButtonsFollowTheVehicle) {
    readyFleet(0);
    struct Case {
        std::uint16_t set;
        int vehicle;
        bool standard, alternative, alternativeChecked, upper, bothArrows, motorised;
        const char* zoom2Label;
    };
    // 5012/0: archive graphics and an alternative file; /1: a refused archive block and
    // an alternative file, single-ended; /2: a second vehicle at position 3 gets no
    // archive graphics but the same alternative file; 5001/0: neither.
    const Case cases[] = {
        {5012, 0, true, true, false, false, true, true, "E780"},
        {5012, 1, false, true, true, true, false, true, "E780"},
        {5012, 2, false, true, true, true, true, false, "E780"},
        {5001, 0, false, false, false, false, true, true, "E783"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.set << "/" << c.vehicle);
        pickSet(c.set);
        pickVehicle(c.vehicle);
        EXPECT_EQ(dialog_->standardButton()->isVisibleTo(dialog_), c.standard);
        EXPECT_EQ(dialog_->alternativeButton()->isVisibleTo(dialog_), c.alternative);
        EXPECT_EQ(dialog_->alternativeButton()->isChecked(), c.alternativeChecked);
        if (c.alternative) {
            EXPECT_EQ(dialog_->alternativeButton()->y(), c.upper ? 533 : 549);
        }
        EXPECT_EQ(dialog_->zoom2Label()->text(), c.zoom2Label);
        EXPECT_TRUE(dialog_->rightArrow()->isVisibleTo(dialog_));
        EXPECT_EQ(dialog_->leftArrow()->isVisibleTo(dialog_), c.bothArrows);
        EXPECT_EQ(dialog_->motLabel()->text(), c.motorised ? "E778" : "E779");
        EXPECT_EQ(dialog_->infoLabel(0)->text(), QString::fromUtf8("Motor car \xE2\x82\xAC"));
        EXPECT_EQ(dialog_->infoLabel(1)->text(), "Trailer ?");
        EXPECT_EQ(dialog_->infoLabel(3)->text(), QString(80, QLatin1Char('x')));
        EXPECT_TRUE(dialog_->infoLabel(4)->text().isEmpty());
    }
    // With both offered the user's choice stays while the vehicle is shown again.
    pickSet(5012);
    pickVehicle(0);
    dialog_->alternativeButton()->click();
    pickVehicle(0);
    EXPECT_TRUE(dialog_->alternativeButton()->isChecked());
}

TEST_F(ImportFormTest, PreviewsShowBothSidesAtOneSizeForBothScales) {
    readyFleet(0);
    // 5001/0 has normal graphics only, 5012/0 Zoom2 graphics from the archive.
    for (const std::uint16_t number : {std::uint16_t{5001}, std::uint16_t{5012}}) {
        SCOPED_TRACE(number);
        pickSet(number);
        const QImage shot = dialog_->vehicleBox()->viewport()->grab().toImage();
        const VehicleRec rec = HostVehicleRecord(
            dialog_->sets()[static_cast<std::size_t>(setRow(number))].vehicles[0]);
        const bool zoom2 = rec.Zoom2Exists;
        EXPECT_EQ(zoom2, number == 5012);
        const int f = zoom2 ? 2 : 1;
        const int d = 3 - f;
        const int quarter = shot.width() / 4;
        int painted = 0;
        for (const auto& [view, x0] : {std::pair{1, quarter + 2},
                                       std::pair{0, quarter - static_cast<int>(rec.Length) - 2}}) {
            const ConstPlaneRef plane = PlaneOf(&rec, view, zoom2);
            for (int r = 0; r < plane.height; ++r) {
                for (int c = 0; c < ViewGeometry(&rec, view, zoom2).width; ++c) {
                    const int x = (x0 * f + c) * d;
                    // The first line's frame covers its outermost pixels.
                    if (x < 1 || x + d >= shot.width() - 1) continue;
                    const PixelValue pixel = plane.plane->at(c, r);
                    const RgbColor want =
                        pixel == kTransparent ? MakeRgb(0, 112, 0) : DisplayColor(pixel, 0);
                    const QColor got = shot.pixelColor(x, (r + 1) * d);
                    ASSERT_EQ(MakeRgb(static_cast<std::uint8_t>(got.red()),
                                      static_cast<std::uint8_t>(got.green()),
                                      static_cast<std::uint8_t>(got.blue())),
                              want)
                        << "view " << view << " cell " << c << "," << r;
                    painted += pixel != kTransparent;
                }
            }
        }
        EXPECT_GT(painted, 100);
    }
    // Two sets share a number: each shows its own vehicles.
    std::vector<QImage> pair;
    for (std::size_t i = 0; i < dialog_->sets().size(); ++i) {
        if (dialog_->sets()[i].number != 5040) continue;
        dialog_->setList()->setCurrentRow(static_cast<int>(i));
        pair.push_back(dialog_->vehicleBox()->viewport()->grab().toImage());
    }
    ASSERT_EQ(pair.size(), 2u);
    EXPECT_NE(pair[0], pair[1]);
}

// A double click, Space or Enter on a vehicle line shows it magnified, by day above by
// night, in a popup of its own; any click, key or leaving closes it, and nothing of the
// dialog moves.
TEST_F(ImportFormTest, VehicleShowsMagnifiedUntilAClickAKeyOrLeaving) {
    readyFleet(0);
    pickSet(5001);
    QListWidget* box = dialog_->vehicleBox();
    const auto geometries = [this] {
        QList<QRect> g{dialog_->geometry()};
        for (const QWidget* w : dialog_->findChildren<QWidget*>()) g << w->geometry();
        return g;
    };
    const QList<QRect> before = geometries();
    const QPoint line = box->visualItemRect(box->item(0)).center();
    const VehicleRec rec =
        HostVehicleRecord(dialog_->sets()[static_cast<std::size_t>(setRow(5001))].vehicles[0]);
    // Side view 0 as the window paints it at zoom 4.
    const auto sideView = [&rec](NightLevel level) {
        const ViewSize size = ViewGeometry(&rec, 0, false);
        QImage image(4 * size.width, 4 * size.height, QImage::Format_RGB32);
        Canvas canvas{reinterpret_cast<std::uint32_t*>(image.bits()), image.width(), image.height(),
                      static_cast<int>(image.bytesPerLine() / 4)};
        PaintVehicleView(canvas, rec, 0, false, 4, level);
        return image;
    };
    const QImage day = sideView(0), night = sideView(3);
    ASSERT_NE(day, night);
    const auto popup = [] { return QApplication::activePopupWidget(); };
    const struct {
        const char* what;
        std::function<void()> open, close;
    } ways[] = {
        {"double click, then a click",
         [&] {
             // The toolkit's test double click comes without the press before it.
             QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, line);
             QTest::mouseDClick(box->viewport(), Qt::LeftButton, {}, line);
         },
         [&] { QTest::mouseClick(popup(), Qt::LeftButton); }},
        {"Space, then a key", [&] { QTest::keyClick(box, Qt::Key_Space); },
         [&] { QTest::keyClick(popup(), Qt::Key_X); }},
        {"Enter, then leaving", [&] { QTest::keyClick(box, Qt::Key_Return); },
         [&] {
             QEvent leave(QEvent::Leave);
             QApplication::sendEvent(popup(), &leave);
         }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.what);
        way.open();
        QWidget* shown = popup();
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->objectName(), "MagnifiedVehicle");
        // Below the line, the right side by day at the top, the same by night below.
        EXPECT_GE(shown->y(), box->viewport()->mapToGlobal(line).y());
        const QImage shot = shown->grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(shot.copy(QRect(QPoint(4, 4), day.size())), day);
        const int nightTop =
            shot.height() - 4 - day.height() - 4 - 4 * ViewGeometry(&rec, 1, false).height;
        EXPECT_EQ(shot.copy(QRect(QPoint(4, nightTop), night.size())), night);
        way.close();
        QCoreApplication::processEvents();
        EXPECT_EQ(popup(), nullptr);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(dialog_->findChild<QWidget*>(QStringLiteral("MagnifiedVehicle")));
    EXPECT_EQ(geometries(), before);
}

TEST_F(ImportFormTest, InsertAddsCopiesToTheActiveFleetWindow) {
    TFleetForm* fleet = readyFleet(14);
    TFileForm* doc = main_->documents().back();
    pickSet(5012);
    pickVehicle(0);
    fleet->vehicleBox()->selectRow(1);
    dialog_->insertButton()->click();  // archive graphics, before the selected vehicle
    ASSERT_EQ(fleet->fleet().vehicles.size(), 15u);
    const VehicleRec& archive = *fleet->fleet().vehicles[1];
    EXPECT_EQ(archive.Zoom2Info, "archive");
    EXPECT_TRUE(archive.Zoom2Path.empty());
    EXPECT_FALSE(archive.Zoom2Modified);
    EXPECT_TRUE(doc->document().modified);

    dialog_->alternativeButton()->click();
    fleet->vehicleBox()->selectRow(-1);
    dialog_->insertButton()->click();  // the alternative file's graphics, at the end
    ASSERT_EQ(fleet->fleet().vehicles.size(), 16u);
    const VehicleRec& alternative = *fleet->fleet().vehicles.back();
    EXPECT_EQ(alternative.Zoom2Info, "alternative");
    EXPECT_EQ(QFileInfo(QString::fromStdString(alternative.Zoom2Path)).fileName(), "05012-03.fzz");
    EXPECT_EQ(fleet->vehicleBox()->item(15)->text(), QString::fromUtf8("Motor car \xE2\x82\xAC"));

    // Full: nothing more, and nothing said.
    dialog_->insertButton()->click();
    EXPECT_EQ(fleet->fleet().vehicles.size(), 16u);
    EXPECT_TRUE(prompts().calls().empty());
    QTest::keyClick(dialog_, Qt::Key_Escape);
    QMenu* popup = fleet->popupMenu();
    emit popup->aboutToShow();
    EXPECT_FALSE(item(popup, "pImport")->isEnabled());
}

TEST_F(ImportFormTest, InsertWithoutAFleetWindowAddsNothing) {
    TFleetForm* fleet = readyFleet(3);
    pickSet(5001);
    TFileForm* doc = main_->documents().back();
    doc->document().modified = false;
    main_->activateChildWindow(doc);
    ASSERT_EQ(main_->activeChild(), doc);
    dialog_->insertButton()->click();
    EXPECT_EQ(fleet->fleet().vehicles.size(), 3u);
    EXPECT_FALSE(doc->document().modified);
    EXPECT_TRUE(prompts().calls().empty());
}

TEST_F(ImportFormTest, BrowsingWhenNothingIsFound) {
    TFleetForm* fleet = openFleetWith(0);
    // Nothing in the registry: the folder chooser at once, cancelled.
    prompts().answerText(std::nullopt);
    openDialog(fleet);
    ASSERT_EQ(prompts().callsOf(PromptKind::ChooseFolder).size(), 1u);
    EXPECT_EQ(prompts().calls().back().caption, "E753");
    EXPECT_EQ(dialog_->installBox()->count(), 0);
    EXPECT_FALSE(dialog_->catBox()->isEnabled());

    // A folder that is no installation: error 565 naming it, the list unchanged.
    prompts().answerText(dataFolder());
    prompts().answerMessage(MsgAnswer::Ok);
    dialog_->browseButton()->click();
    const PromptCall refusal = prompts().calls().back();
    EXPECT_EQ(refusal.text.toStdString(),
              "E-no installation " + TImportForm::BrowsedPath(dataFolder()));
    EXPECT_EQ(refusal.caption, "E544");
    EXPECT_EQ(refusal.icon, MsgIcon::Error);
    EXPECT_EQ(dialog_->installBox()->count(), 0);
    EXPECT_FALSE(dialog_->catBox()->isEnabled());

    // The installation: added with its separator, its own texts read.
    prompts().answerText(host_.path());
    dialog_->browseButton()->click();
    ASSERT_EQ(dialog_->installBox()->count(), 1);
    const std::string browsed = TImportForm::BrowsedPath(host_.path());
    EXPECT_EQ(dialog_->installBox()->currentText().toStdString(), browsed);
    EXPECT_TRUE(dialog_->catBox()->isEnabled());
    pickCategory(kTramDe);
    EXPECT_EQ(dialog_->sets()[static_cast<std::size_t>(setRow(5000))].name, "Boundary");

    // Browsing again starts there and replaces the browsed entry.
    QTemporaryDir other;
    hostfixture::WriteInstallation(hostfixture::SmallInstallation(), other.path().toStdString());
    prompts().answerText(other.path());
    dialog_->browseButton()->click();
    EXPECT_EQ(prompts().calls().back().folder.toStdString(), browsed);
    ASSERT_EQ(dialog_->installBox()->count(), 1);
    EXPECT_EQ(dialog_->installBox()->currentText().toStdString(),
              TImportForm::BrowsedPath(other.path()));
    EXPECT_EQ(dialog_->setList()->count(), 0);
    EXPECT_EQ(dialog_->catBox()->currentIndex(), 0);
}

#ifdef Q_OS_WIN
// The host's key names installations by string values whose names hold "_PFAD" (case
// matters), in the order the registry gives them, not sorted; other types, other names
// and folders that are no installation are passed over.
TEST_F(ImportFormTest, InstallationsAreTheHostKeysPathStringsInRegistryOrder) {
    QTemporaryDir other;
    hostfixture::WriteInstallation(hostfixture::SmallInstallation(), other.path().toStdString());
    const QString first = QString::fromStdString(installation_);
    const QString second = QDir::toNativeSeparators(other.path() + QLatin1Char('/'));
    const auto text = [](const QString& value) {
        const std::wstring wide = value.toStdWString();
        return QByteArray(reinterpret_cast<const char*>(wide.c_str()),
                          static_cast<qsizetype>((wide.size() + 1) * sizeof(wchar_t)));
    };
    const QString key = QStringLiteral("Software\\RVK test host %1")
                            .arg(QCoreApplication::applicationPid());
    const struct {
        const char* name;
        RegistryType type;
        QByteArray data;
    } values[] = {{"a_PFAD", REG_SZ, text(first)},
                  {"B_PFAD", REG_SZ, text(second)},
                  {"C_PFAD", REG_EXPAND_SZ, text(first)},
                  {"Ordner", REG_SZ, text(first)},
                  {"d_pfad", REG_SZ, text(first)},
                  {"E_PFAD", REG_SZ, text(first + QStringLiteral("nothing\\"))},
                  {"F_PFAD", REG_DWORD, QByteArray(4, '\1')}};
    for (const auto& v : values)
        ASSERT_TRUE(SetRegistryValue(key, QLatin1String(v.name), v.type, v.data));
    const std::vector<std::string> found = InstallationsInRegistryKey(key);
    RegDeleteKeyW(HKEY_CURRENT_USER, key.toStdWString().c_str());
    EXPECT_EQ(found, (std::vector<std::string>{first.toStdString(), second.toStdString()}));
}
#endif

}  // namespace
}  // namespace rvk
