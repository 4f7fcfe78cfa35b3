// The size, property and info-string controls of the vehicle window, driven by clicks
// and keys as the user works them.
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolButton>

#include "app/main_form.h"
#include "docwin/file_form.h"
#include "editor/up_down.h"
#include "editor_test_host.h"
#include "fleet/fleet_form.h"
#include "platform/cp1252_text.h"
#include "shell/name_list_box.h"
#include "shell_test.h"
#include "formats/vehicle_image.h"
#include "storage/companion_files.h"

namespace rvk {
namespace {

using test::EditorTest;
using test::ShellTest;

template <class T>
T* Control(QWidget* form, const char* name) {
    T* control = form->findChild<T*>(QLatin1String(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
}

QString LabelText(VehicleForm* form, const char* name) {
    return Control<QLabel>(form, name)->text();
}

// A click on the box itself (its indicator), wherever the layout stretched it.
void ClickBox(QCheckBox* box) {
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect r = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    QTest::mouseClick(box, Qt::LeftButton, {}, r.center());
}

void ClickArrow(VehicleForm* form, const char* upDown, bool up) {
    auto* ud = Control<UpDown>(form, upDown);
    QTest::mouseClick(up ? ud->upButton() : ud->downButton(), Qt::LeftButton);
}

// Holds the down arrow of ud0 until the length reached `length`, then lets go.
void HoldLengthDownTo(VehicleForm* form, int length) {
    QToolButton* down = Control<UpDown>(form, "ud0")->downButton();
    QTest::mousePress(down, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->Record()->Length <= length; }, 10000));
    QTest::mouseRelease(down, Qt::LeftButton);
}

void ShowTab(VehicleForm* form, int index) {
    auto* tabs = Control<QTabBar>(form, "Tabs");
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
}

int TabCount(VehicleForm* form) {
    return Control<QTabBar>(form, "Tabs")->count();
}

class ControlsTest : public EditorTest {
protected:
    QCheckBox* box(VehicleForm* form, const char* name) { return Control<QCheckBox>(form, name); }
    QLineEdit* info(VehicleForm* form, int i) {
        return Control<QLineEdit>(form, QStringLiteral("Info%1").arg(i).toLatin1().constData());
    }
    const PromptCall& lastMessage() { return prompts().calls().back(); }
};

TEST_F(ControlsTest, SizeLabelsInMillimetresAtBothScales) {
    VehicleRec& rec = vehicle();
    rec.Length = 256;
    rec.Zoom2Exists = true;
    rec.Zoom2Width = 17;
    rec.Info[1] = "second";
    VehicleForm* form = open(rec);
    EXPECT_EQ(LabelText(form, "labLength"), "Length = 256 (= 119552 mm)");
    EXPECT_EQ(LabelText(form, "labHeightS"), "Height (side) = 14 (= 6538 mm)");
    EXPECT_EQ(LabelText(form, "labWidth"), "Width = 8 (= 3736 mm)");
    EXPECT_EQ(box(form, "cbExtra")->text(), "Extra views");

    ShowTab(form, 1);
    ASSERT_TRUE(form->ShowsZoom2());
    EXPECT_EQ(LabelText(form, "labLength"), "Length = 512 (= 119552 mm)");
    EXPECT_EQ(LabelText(form, "labWidth"), "Width = 17 (= 3969 mm)");
    EXPECT_FALSE(Control<UpDown>(form, "ud0")->isEnabled());
    EXPECT_EQ(Control<UpDown>(form, "ud1")->maximum(), 28);
    for (const char* name : {"cbSE", "cbMotor", "cbRev", "cbLwx", "cbExtra"})
        EXPECT_FALSE(box(form, name)->isEnabled()) << name;
    EXPECT_TRUE(box(form, "cbZoom2")->isEnabled());
    for (int i = 1; i < 5; ++i) {
        QLineEdit* edit = info(form, i);
        EXPECT_FALSE(edit->isEnabled());
        EXPECT_TRUE(edit->text().isEmpty());
        EXPECT_EQ(edit->palette().color(QPalette::Disabled, QPalette::Base),
                  edit->palette().color(QPalette::Disabled, QPalette::Button));
    }
    EXPECT_EQ(rec.Info[1], "second");
    EXPECT_EQ(owner.modified, 0);

    ShowTab(form, 0);
    EXPECT_TRUE(info(form, 1)->isEnabled());
    EXPECT_EQ(info(form, 1)->text(), "second");
    EXPECT_EQ(Control<UpDown>(form, "ud1")->maximum(), 14);
}

TEST_F(ControlsTest, ArrowsStepTheSizesWithoutWrapping) {
    VehicleRec& rec = vehicle();
    VehicleForm* form = open(rec);
    ClickArrow(form, "ud1", true);  // already at 14
    EXPECT_EQ(rec.HeightS, 14);
    EXPECT_EQ(owner.modified, 0);
    ClickArrow(form, "ud1", false);
    EXPECT_EQ(rec.HeightS, 13);
    EXPECT_EQ(form->View(1)->height(), 13 * 4);
    ClickArrow(form, "ud0", true);
    ClickArrow(form, "ud2", true);
    EXPECT_EQ(rec.Length, 34);
    EXPECT_EQ(rec.Width, 10);
    EXPECT_EQ(form->View(1)->width(), 34 * 4);
    EXPECT_EQ(LabelText(form, "labWidth"), "Width = 10 (= 4670 mm)");
    EXPECT_EQ(owner.modified, 3);

    rec.Zoom2Exists = true;
    form->UpdateTabs();
    ShowTab(form, 1);
    ClickArrow(form, "ud2", false);
    EXPECT_EQ(rec.Zoom2Width, 14);
    EXPECT_EQ(rec.Width, 10);
    EXPECT_TRUE(rec.Zoom2Modified);
    EXPECT_EQ(form->View(3)->width(), 14 * form->Zoom());
}

TEST_F(ControlsTest, SizesOutsideTheRangesStayUntilChanged) {
    VehicleRec& rec = vehicle();
    rec.Length = 6;
    rec.HeightS = 1;
    VehicleForm* form = open(rec);
    EXPECT_EQ(LabelText(form, "labLength"), "Length = 8 (= 3736 mm)");
    EXPECT_EQ(rec.Length, 6);
    ClickArrow(form, "ud1", true);
    EXPECT_EQ(rec.HeightS, 3);
    EXPECT_EQ(rec.Length, 6);
    ClickArrow(form, "ud0", true);
    EXPECT_EQ(rec.Length, 10);
}

TEST_F(ControlsTest, ExtraViewsExcludeRevAndLwx) {
    VehicleRec& rec = vehicle();  // 0x8301: single ended, motorized, extra views
    DeriveZoom2(rec, "saved");
    rec.Zoom2Modified = false;  // as read from its companion file
    VehicleForm* form = open(rec);
    QCheckBox* rev = box(form, "cbRev");
    QCheckBox* lwx = box(form, "cbLwx");
    QCheckBox* extra = box(form, "cbExtra");
    ASSERT_TRUE(extra->isChecked());

    ClickBox(extra);
    EXPECT_EQ(rec.Props, 0x8201u);
    EXPECT_FALSE(form->View(6)->isVisible());
    // The companion file holds the views the bit names, so it must be written again.
    EXPECT_TRUE(rec.Zoom2Modified);
    rec.Zoom2Modified = false;
    ClickBox(rev);
    EXPECT_EQ(rec.Props, 0x8241u);
    EXPECT_FALSE(extra->isEnabled());
    ClickBox(lwx);
    EXPECT_EQ(rec.Props, 0x82C1u);
    ClickBox(rev);
    EXPECT_EQ(rec.Props, 0x8281u);
    EXPECT_FALSE(extra->isEnabled());
    ClickBox(lwx);
    EXPECT_TRUE(extra->isEnabled());
    ClickBox(extra);
    EXPECT_EQ(rec.Props, 0x8301u);
    EXPECT_FALSE(rev->isEnabled());
    EXPECT_FALSE(lwx->isEnabled());
    EXPECT_TRUE(form->View(7)->isVisible());
    EXPECT_TRUE(rec.Zoom2Modified);
    EXPECT_EQ(owner.modified, 6);

    // Right after filling all boxes are enabled; Rev beside Extra keeps neither bit.
    form->ApplyTexts();
    ASSERT_TRUE(rev->isEnabled());
    ClickBox(rev);
    EXPECT_EQ(rec.Props, 0x8201u);
    for (QCheckBox* b : {rev, lwx, extra}) EXPECT_FALSE(b->isEnabled());
    EXPECT_FALSE(form->View(6)->isVisible());
}

TEST_F(ControlsTest, PropertyClicksDropUnknownBits) {
    VehicleRec& rec = vehicle();
    rec.Props = 0x8301 | 0x0004 | 0x10000;
    VehicleForm* form = open(rec);
    ClickBox(box(form, "cbSE"));
    EXPECT_EQ(rec.Props, 0x8300u);
    ClickBox(box(form, "cbSE"));
    EXPECT_EQ(rec.Props, 0x8301u);
    ClickBox(box(form, "cbMotor"));
    EXPECT_EQ(rec.Props, 0x0301u);
}

TEST_F(ControlsTest, SteamPointReachingBeyondTheNewLength) {
    for (const MsgAnswer answer : {MsgAnswer::Yes, MsgAnswer::No}) {
        VehicleRec& rec = vehicle();
        rec.Length = 40;
        rec.SteamCount = 1;
        rec.Steam = {28, 8, 5};
        VehicleForm* form = open(rec);
        prompts().answerMessage(answer);
        HoldLengthDownTo(form, 30);
        ASSERT_EQ(prompts().calls().size(), 1u);
        EXPECT_EQ(lastMessage().text, "Shorten steam point?");
        EXPECT_EQ(lastMessage().caption, "Question");
        EXPECT_EQ(lastMessage().icon, MsgIcon::Question);
        EXPECT_EQ(lastMessage().buttons, MsgButtons::YesNo);
        if (answer == MsgAnswer::Yes) {
            EXPECT_EQ(rec.Length, 30);
            EXPECT_EQ(rec.Steam[2], 2);
        } else {
            EXPECT_EQ(rec.Length, 33);
            EXPECT_EQ(rec.Steam[2], 5);
            EXPECT_EQ(LabelText(form, "labLength"), "Length = 33 (= 15411 mm)");
            EXPECT_EQ(form->View(1)->width(), 33 * 4);
        }
        form->closeWindow();
        prompts().reset();
    }
}

TEST_F(ControlsTest, SteamPointBeyondTheNewLengthLengthensTheVehicle) {
    VehicleRec& rec = vehicle();
    rec.Length = 30;
    rec.SteamCount = 2;
    // The second point fits the length the first one forces.
    rec.Steam = {25, 8, 4, 27, 9, 2};
    VehicleForm* form = open(rec);
    prompts().answerMessage(MsgAnswer::Ok);
    HoldLengthDownTo(form, 20);
    ASSERT_EQ(prompts().calls().size(), 1u);
    EXPECT_EQ(lastMessage().text, "Steam point beyond");
    EXPECT_EQ(lastMessage().caption, "Warning");
    EXPECT_EQ(lastMessage().icon, MsgIcon::Warning);
    EXPECT_EQ(lastMessage().buttons, MsgButtons::Ok);
    EXPECT_EQ(rec.Length, 29);
    EXPECT_EQ(Control<UpDown>(form, "ud0")->position(), 29);
    EXPECT_EQ(rec.Steam[2], 4);
    EXPECT_EQ(rec.Steam[5], 2);
}

TEST_F(ControlsTest, InfoTypingRenamesAtEveryKeystroke) {
    VehicleRec& rec = vehicle();
    rec.Info[0] = "Tw";
    rec.Info[3] = "third";
    VehicleForm* form = open(rec);
    EXPECT_EQ(form->windowTitle(), "Tw");
    QLineEdit* name = info(form, 0);
    name->setFocus();
    name->end(false);
    QTest::keyClick(name, Qt::Key_1);
    EXPECT_EQ(rec.Info[0], "Tw1");
    EXPECT_EQ(form->windowTitle(), "Tw1");
    EXPECT_EQ(owner.renamed.size(), 1u);
    for (const QChar c : QString::fromUtf8("é€Ω"))
        QTest::sendKeyEvent(QTest::Click, name, Qt::Key_unknown, QString(c), {});
    EXPECT_EQ(rec.Info[0], "Tw1\xE9\x80?");
    EXPECT_EQ(owner.renamed.size(), 4u);
    EXPECT_EQ(owner.modified, 4);
    EXPECT_EQ(rec.Info[3], "third");

    QTest::keyClicks(name, QString(100, QLatin1Char('x')));
    EXPECT_EQ(rec.Info[0].size(), 80u);

    info(form, 4)->setFocus();
    QTest::keyClicks(info(form, 4), QStringLiteral("ab"));
    EXPECT_EQ(rec.Info[4], "ab");

    rec.Zoom2Exists = true;
    rec.Zoom2Info = "big";
    form->UpdateTabs();
    ShowTab(form, 1);
    EXPECT_EQ(name->text(), "big");
    const std::string before = rec.Info[0];
    const std::size_t renamed = owner.renamed.size();
    name->setFocus();
    name->end(false);
    QTest::keyClick(name, Qt::Key_2);
    EXPECT_EQ(rec.Zoom2Info, "big2");
    EXPECT_TRUE(rec.Zoom2Modified);
    EXPECT_EQ(rec.Info[0], before);
    EXPECT_EQ(owner.renamed.size(), renamed);
    EXPECT_EQ(form->windowTitle(), FromCp1252(before));
}

TEST_F(ControlsTest, Zoom2OffAndDerivedAgainOnlyWhenAgreed) {
    VehicleRec& rec = vehicle();
    rec.Zoom2Exists = true;
    rec.Zoom2Info = "drawn";
    rec.Zoom2Planes[3].set(0, 0, 0x000000FF);
    rec.Planes[3].set(0, 0, 0x0000FF00);
    VehicleForm* form = open(rec);
    QCheckBox* zoom2 = box(form, "cbZoom2");
    ShowTab(form, 1);
    ASSERT_EQ(form->Zoom(), 2);

    prompts().answerMessage(MsgAnswer::No);
    ClickBox(zoom2);
    EXPECT_EQ(lastMessage().text, "Switch Zoom2 off?");
    EXPECT_EQ(lastMessage().caption, "Warning");
    EXPECT_EQ(lastMessage().icon, MsgIcon::Warning);
    EXPECT_TRUE(zoom2->isChecked());
    EXPECT_TRUE(form->ShowsZoom2());

    prompts().answerMessage(MsgAnswer::Yes);
    ClickBox(zoom2);
    EXPECT_FALSE(rec.Zoom2Exists);
    EXPECT_EQ(TabCount(form), 1);
    EXPECT_EQ(form->Zoom(), 4);
    EXPECT_TRUE(info(form, 1)->isEnabled());
    EXPECT_FALSE(zoom2->isChecked());

    // No companion file: the window offers to derive, and No keeps the old planes.
    prompts().answerMessage(MsgAnswer::No);
    ClickBox(zoom2);
    EXPECT_EQ(lastMessage().text, "Derive Zoom2?");
    EXPECT_EQ(lastMessage().caption, "Question");
    EXPECT_FALSE(zoom2->isChecked());
    EXPECT_FALSE(rec.Zoom2Exists);
    EXPECT_EQ(rec.Zoom2Planes[3].at(0, 0), 0x000000FFu);

    prompts().answerMessage(MsgAnswer::Yes);
    ClickBox(zoom2);
    EXPECT_TRUE(rec.Zoom2Exists);
    EXPECT_TRUE(zoom2->isChecked());
    EXPECT_EQ(rec.Zoom2Info, "Derived");
    EXPECT_EQ(rec.Zoom2Planes[3].at(1, 1), 0x0000FF00u);
    EXPECT_TRUE(rec.Zoom2Modified);
    EXPECT_EQ(TabCount(form), 2);
    EXPECT_FALSE(form->ShowsZoom2());
    EXPECT_EQ(form->Zoom(), 4);

    // Undoing the derivation brings back the graphics switched off, then switched on.
    form->Undo();
    EXPECT_FALSE(rec.Zoom2Exists);
    EXPECT_EQ(rec.Zoom2Info, "drawn");
    EXPECT_EQ(rec.Zoom2Planes[3].at(0, 0), 0x000000FFu);
    form->Undo();
    EXPECT_TRUE(rec.Zoom2Exists);
    EXPECT_TRUE(zoom2->isChecked());
    EXPECT_EQ(TabCount(form), 2);
}

TEST_F(ControlsTest, SwitchingZoom2IsAnUndoStep) {
    VehicleRec& rec = vehicle();
    rec.Zoom2Exists = true;
    VehicleForm* form = open(rec);
    click(form->View(3), Qt::LeftButton, {}, cell(form, 1, 1));
    const PixelValue drawn = rec.Planes[3].at(1, 1);
    ASSERT_NE(drawn, kTransparent);
    prompts().answerMessage(MsgAnswer::Yes);
    ClickBox(box(form, "cbZoom2"));
    ASSERT_FALSE(rec.Zoom2Exists);
    EXPECT_EQ(form->findChild<QAction*>(QStringLiteral("iUndo"))->text(), "Undo Zoom2 off");
    form->Undo();
    EXPECT_TRUE(rec.Zoom2Exists);
    EXPECT_TRUE(box(form, "cbZoom2")->isChecked());
    EXPECT_EQ(TabCount(form), 2);
    EXPECT_EQ(rec.Planes[3].at(1, 1), drawn);
    form->Undo();
    EXPECT_EQ(rec.Planes[3].at(1, 1), kTransparent);
}

// Sizes, property bits and info strings are undo steps named in the Edit menu; typing
// into a field is one step. Undoing a new length leaves the planes and the companion
// file's state as they were.
TEST_F(ControlsTest, RecordEditsAreUndoSteps) {
    VehicleRec& rec = vehicle();
    rec.Planes[0].set(30, 13, 0x000000FFu);
    DeriveZoom2(rec, "z");
    rec.Zoom2Modified = false;
    rec.Zoom2Path = "v-00-00.fzz";
    VehicleForm* form = open(rec);
    const std::vector<std::uint8_t> start = VehicleToImage(rec);
    const bool motorized = rec.Props & kMotorized;
    const std::string name = rec.Info[0];
    const int length = rec.Length;
    QAction* undo = form->findChild<QAction*>(QStringLiteral("iUndo"));
    QAction* redo = form->findChild<QAction*>(QStringLiteral("iRedo"));

    ClickArrow(form, "ud0", true);
    ASSERT_EQ(rec.Length, length + 2);
    ASSERT_TRUE(rec.Zoom2Modified);
    ClickBox(box(form, "cbMotor"));
    info(form, 0)->setFocus();
    info(form, 0)->end(false);
    QTest::keyClicks(info(form, 0), QStringLiteral("ab"));
    QTest::keyClick(info(form, 0), Qt::Key_Return);
    const std::vector<std::uint8_t> end = VehicleToImage(rec);
    const int modified = owner.modified;

    EXPECT_EQ(undo->text(), "Undo Info string");
    undo->trigger();
    EXPECT_EQ(rec.Info[0], name);
    EXPECT_EQ(info(form, 0)->text(), FromCp1252(name));
    EXPECT_EQ(form->windowTitle(), FromCp1252(name));
    EXPECT_EQ(undo->text(), "Undo Motorized");
    undo->trigger();
    EXPECT_EQ(box(form, "cbMotor")->isChecked(), motorized);
    EXPECT_EQ(undo->text(), "Undo Length");
    undo->trigger();
    EXPECT_EQ(VehicleToImage(rec), start);
    EXPECT_EQ(Control<UpDown>(form, "ud0")->position(), rec.Length);
    EXPECT_EQ(undo->text(), "Undo");
    EXPECT_EQ(redo->text(), "Redo Length");
    EXPECT_EQ(owner.modified, modified + 3);

    for (int i = 0; i < 3; ++i) redo->trigger();
    EXPECT_EQ(VehicleToImage(rec), end);
    EXPECT_EQ(redo->text(), "Redo");
}

TEST_F(ControlsTest, Zoom2SwitchedOnFromTheCompanionFile) {
    QTemporaryDir dir;
    VehicleRec source;
    DeriveZoom2(source, "from file");
    source.Zoom2Planes[0].set(3, 20, 0x00123456);
    owner.companion = dir.filePath(QStringLiteral("doc-00-00.fzz")).toStdString();
    ASSERT_FALSE(WriteZoom2File(source, owner.companion).has_value());

    VehicleRec& rec = vehicle();
    VehicleForm* form = open(rec);
    ClickBox(box(form, "cbZoom2"));
    EXPECT_TRUE(prompts().calls().empty());
    EXPECT_TRUE(rec.Zoom2Exists);
    EXPECT_EQ(rec.Zoom2Info, "from file");
    EXPECT_EQ(rec.Zoom2Planes[0].at(3, 20), 0x00123456u);
    EXPECT_TRUE(box(form, "cbZoom2")->isChecked());
    EXPECT_EQ(TabCount(form), 2);
    EXPECT_EQ(owner.modified, 1) << "the vehicle changed; autosave must follow";
    // One step takes the read back, and brings it again.
    EXPECT_EQ(form->findChild<QAction*>(QStringLiteral("iUndo"))->text(), "Undo Read Zoom2");
    form->Undo();
    EXPECT_FALSE(rec.Zoom2Exists);
    EXPECT_FALSE(box(form, "cbZoom2")->isChecked());
    EXPECT_EQ(TabCount(form), 1);
    EXPECT_EQ(rec.Zoom2Planes[0].at(3, 20), kTransparent);
    EXPECT_TRUE(rec.Zoom2Path.empty());
    form->Redo();
    EXPECT_TRUE(rec.Zoom2Exists);
    EXPECT_EQ(rec.Zoom2Planes[0].at(3, 20), 0x00123456u);
    EXPECT_EQ(rec.Zoom2Path, owner.companion);

    // A file that cannot be read leaves the vehicle, and the box, without Zoom2.
    VehicleRec& other = vehicle();
    other.Length = 40;
    VehicleForm* second = open(other);
    ClickBox(box(second, "cbZoom2"));
    EXPECT_FALSE(other.Zoom2Exists);
    EXPECT_FALSE(box(second, "cbZoom2")->isChecked());
    EXPECT_EQ(TabCount(second), 1);
    EXPECT_EQ(owner.modified, 3) << "nothing changed after the read, its undo and its redo";
}

// The same controls in the real frame, where the fleet window names the vehicle's
// companion file and shows its name.
class ControlsShellTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        main_ = startMain();
        path_ = writeDocument(QStringLiteral("trains.rvk"), 2, 2);
        main_->OpenDocument(path_);
        doc_ = main_->documents().back();
        fleet_ = openFleet(doc_, 1);
        fleet_->vehicleBox()->selectRow(1);
        trigger(fleet_->popupMenu(), "pEdit");
        form_ = qobject_cast<VehicleForm*>(fleet_->vehicleWindowOf(rec()));
    }
    void TearDown() override {
        doc_->document().modified = false;
        endMain(main_);
        ShellTest::TearDown();
    }
    VehicleRec* rec() { return fleet_->fleet().vehicles[1].get(); }

    std::unique_ptr<TMainForm> main_;
    QString path_;
    TFileForm* doc_ = nullptr;
    TFleetForm* fleet_ = nullptr;
    VehicleForm* form_ = nullptr;
};

TEST_F(ControlsShellTest, NameFollowsInTheFleetWindow) {
    ASSERT_NE(form_, nullptr);
    QLineEdit* name = Control<QLineEdit>(form_, "Info0");
    name->setFocus();
    name->end(false);
    QTest::keyClick(name, Qt::Key_X);
    EXPECT_EQ(fleet_->vehicleBox()->item(1)->text(), "Fleet 1/1x");
    EXPECT_EQ(form_->windowTitle(), "Fleet 1/1x");
    QTest::keyClick(name, Qt::Key_Backspace);
    QTest::keyClick(name, Qt::Key_Backspace);
    EXPECT_EQ(fleet_->vehicleBox()->item(1)->text(), "Fleet 1/");
    EXPECT_EQ(fleet_->vehicleBox()->item(0)->text(), "Fleet 1/0");
    EXPECT_TRUE(doc_->document().modified);
}

TEST_F(ControlsShellTest, CompanionFileOfTheVehiclesPlaceIsRead) {
    ASSERT_NE(form_, nullptr);
    VehicleRec source;
    DeriveZoom2(source, "companion");
    const std::string name = Zoom2FileName(path_.toStdString(), 1, 1);
    ASSERT_FALSE(WriteZoom2File(source, name).has_value());
    ClickBox(Control<QCheckBox>(form_, "cbZoom2"));
    EXPECT_TRUE(prompts().calls().empty());
    EXPECT_TRUE(rec()->Zoom2Exists);
    EXPECT_EQ(rec()->Zoom2Info, "companion");
    EXPECT_EQ(rec()->Zoom2Path, name);
    EXPECT_EQ(TabCount(form_), 2);
}

}  // namespace
}  // namespace rvk
