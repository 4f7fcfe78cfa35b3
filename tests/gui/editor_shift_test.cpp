// The shift dialog on a real vehicle window, worked through its controls.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <string>

#include "editor/move_form.h"
#include "editor/up_down.h"
#include "editor_test_host.h"

namespace rvk {
namespace {

constexpr PixelValue kRed = 0x000000FF;
constexpr PixelValue kBlue = 0x00FF0000;

class ShiftDialogTest : public test::EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        const std::string file =
            "RVK30b2lng\n522\nClose\n544\nError\n800\nMove front/rear views\n801\nMove by:\n"
            "802\npixels\n803\nInclude roof part:\n804\nUp\n805\nDown\n806\nMove\n"
            "807\n%s: no number\n";
        dialogTexts.setTable(
            *LangTable::Parse({reinterpret_cast<const std::uint8_t*>(file.data()), file.size()}));
        dialog = new TMoveForm(dialogTexts, frame.get());
        // Shown without a modal loop of its own, so the test goes on to work it.
        dialog->setModalRunner([](QDialog& d) { d.open(); });
    }
    void TearDown() override {
        dialog->close();
        EditorTest::TearDown();
    }

    // The vehicle window on rec with the dialog shown for it through iShift.
    VehicleForm* openDialog(VehicleRec& rec) {
        VehicleForm* form = open(rec);
        form->findChild<QAction*>(QStringLiteral("iShift"))->trigger();
        EXPECT_TRUE(dialog->isVisible());
        return form;
    }
    static void setText(QLineEdit* edit, const QString& text) {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }

    LangTexts dialogTexts;
    TMoveForm* dialog = nullptr;
};

TEST_F(ShiftDialogTest, TextsAreTakenOnceAtCreation) {
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Move front/rear views"));
    EXPECT_EQ(dialog->findChild<QLabel*>(QStringLiteral("Label1"))->text(), "Move by:");
    EXPECT_EQ(dialog->findChild<QLabel*>(QStringLiteral("Label3"))->text(), "Include roof part:");
    EXPECT_EQ(dialog->findChild<QLabel*>(QStringLiteral("Label4"))->text(), "pixels");
    EXPECT_EQ(dialog->upCheck()->text(), "Up");
    EXPECT_EQ(dialog->downCheck()->text(), "Down");
    EXPECT_EQ(dialog->moveButton()->text(), "Move");
    EXPECT_EQ(dialog->closeButton()->text(), "Close");
    for (int number = 800; number <= 806; ++number)
        EXPECT_FALSE(dialogTexts.table().find(number)) << number;
    EXPECT_TRUE(dialogTexts.table().find(522));
    EXPECT_EQ(dialog->moveEdit()->text(), "1");
    EXPECT_EQ(dialog->roofEdit()->text(), "0");
    EXPECT_TRUE(dialog->downCheck()->isChecked());
    // The fixed client area, also once shown with its texts laid out.
    dialog->show();
    QApplication::processEvents();
    EXPECT_EQ(dialog->size(), QSize(249, 139));
    dialog->close();
}

TEST_F(ShiftDialogTest, DefaultsMoveBothEndViewsDownAsOneUndoStep) {
    VehicleRec& rec = vehicle();
    for (int x = 0; x < 8; ++x) {
        rec.Planes[2].set(x, 15, kRed);  // last visible roof row above the first end
        rec.Planes[4].set(x, 15, kBlue);
        rec.Planes[3].set(x, 0, kBlue);
    }
    VehicleForm* form = openDialog(rec);
    ASSERT_TRUE(dialog->moveButton()->isEnabled());
    QTest::mouseClick(dialog->moveButton(), Qt::LeftButton);

    EXPECT_EQ(rec.HeightF, 10);
    EXPECT_EQ(rec.Planes[3].at(0, 0), kRed);
    EXPECT_EQ(rec.Planes[3].at(7, 1), kBlue);
    EXPECT_EQ(rec.Planes[5].at(3, 0), kBlue);
    EXPECT_EQ(rec.Planes[2].at(0, 15), kRed);
    EXPECT_EQ(form->Layout().views[3].height, 10 * form->Zoom());
    EXPECT_EQ(form->findChild<UpDown*>(QStringLiteral("ud3"))->position(), 10);
    EXPECT_GT(owner.modified, 0);

    QAction* undo = form->findChild<QAction*>(QStringLiteral("iUndo"));
    EXPECT_EQ(undo->text(), "Undo Move end views");
    undo->trigger();
    EXPECT_EQ(rec.HeightF, 9);
    EXPECT_EQ(rec.Planes[3].at(0, 0), kBlue);
    EXPECT_EQ(rec.Planes[3].at(7, 1), kTransparent);
    EXPECT_EQ(form->findChild<UpDown*>(QStringLiteral("ud3"))->position(), 9);
    form->findChild<QAction*>(QStringLiteral("iRedo"))->trigger();
    EXPECT_EQ(rec.HeightF, 10);
    EXPECT_EQ(rec.Planes[3].at(0, 0), kRed);

    QTest::mouseClick(dialog->closeButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(ShiftDialogTest, MoveButtonFollowsDirectionCountAndHeight) {
    VehicleRec& rec = vehicle();
    rec.HeightF = 14;
    openDialog(rec);
    EXPECT_FALSE(dialog->moveButton()->isEnabled());  // no room below
    QTest::mouseClick(dialog->upCheck(), Qt::LeftButton);
    EXPECT_TRUE(dialog->moveButton()->isEnabled());
    setText(dialog->moveEdit(), "13");
    EXPECT_FALSE(dialog->moveButton()->isEnabled());  // would leave one row
    QTest::keyClick(dialog->moveEdit(), Qt::Key_Backspace);
    QTest::keyClick(dialog->moveEdit(), Qt::Key_2);
    EXPECT_TRUE(dialog->moveButton()->isEnabled());
    QTest::keyClicks(dialog->moveEdit(), "x- ");
    EXPECT_EQ(dialog->moveEdit()->text(), "12");

    QTest::mouseClick(dialog->moveButton(), Qt::LeftButton);
    EXPECT_EQ(rec.HeightF, 2);
    EXPECT_FALSE(dialog->moveButton()->isEnabled());  // after the move, up by 12 no longer fits
    setText(dialog->moveEdit(), "0");
    QTest::mouseClick(dialog->downCheck(), Qt::LeftButton);
    EXPECT_FALSE(dialog->moveButton()->isEnabled());
}

TEST_F(ShiftDialogTest, NonNumberIsReportedAndChangesNothing) {
    VehicleRec& rec = vehicle();
    VehicleForm* form = openDialog(rec);
    setText(dialog->roofEdit(), "1.5");
    prompts().answerMessage(MsgAnswer::Ok);
    QTest::mouseClick(dialog->moveButton(), Qt::LeftButton);
    ASSERT_EQ(prompts().calls().size(), 1u);
    EXPECT_EQ(prompts().calls()[0].icon, MsgIcon::Error);
    EXPECT_EQ(prompts().calls()[0].caption, "Error");
    EXPECT_EQ(prompts().calls()[0].text, "1.5: no number");
    EXPECT_EQ(rec.HeightF, 9);
    EXPECT_EQ(owner.modified, 0);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(form->Record(), &rec);
}

TEST_F(ShiftDialogTest, RoofPartIsLimitedToTheRoofAndShown) {
    VehicleRec& rec = vehicle();
    rec.Length = 8;  // four roof rows
    rec.Planes[2].set(0, 3, kRed);
    openDialog(rec);
    setText(dialog->moveEdit(), "3");
    setText(dialog->roofEdit(), "9");
    QTest::mouseClick(dialog->moveButton(), Qt::LeftButton);
    EXPECT_EQ(dialog->roofEdit()->text(), "1");
    EXPECT_EQ(rec.HeightF, 12);
    EXPECT_EQ(rec.Planes[3].at(0, 2), kRed);  // the roof's last row, now the end view's third
}

TEST_F(ShiftDialogTest, Zoom2TabShiftsTheZoom2Graphics) {
    VehicleRec& rec = vehicle();
    rec.HeightF = 14;
    rec.Zoom2Exists = true;
    rec.Zoom2Planes[2].set(5, 31, kRed);  // last row of the Zoom2 roof (Length 32)
    VehicleForm* form = open(rec);
    auto* tabs = form->findChild<QTabBar*>(QStringLiteral("Tabs"));
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    ASSERT_TRUE(form->ShowsZoom2());
    form->findChild<QAction*>(QStringLiteral("iShift"))->trigger();
    ASSERT_TRUE(dialog->moveButton()->isEnabled());  // 18 of 28 Zoom2 rows in use
    QTest::mouseClick(dialog->moveButton(), Qt::LeftButton);
    EXPECT_EQ(rec.Zoom2HeightF, 19);
    EXPECT_EQ(rec.HeightF, 14);
    EXPECT_EQ(rec.Zoom2Planes[3].at(5, 0), kRed);
    EXPECT_TRUE(rec.Zoom2Modified);
}

}  // namespace
}  // namespace rvk
