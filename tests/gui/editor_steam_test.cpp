// The steam points dialog with a vehicle window: the list, the buttons and the placing
// round trip driven by real clicks.
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>

#include "editor/steam_form.h"
#include "editor_test_host.h"

namespace rvk {
namespace {

using test::EditorTest;

using Items = std::vector<std::pair<int, QString>>;

// The dialog as the program creates it, except that showing it does not wait: the
// test goes on with the dialog open.
class ModalFreeSteamForm : public TSteamForm {
public:
    using TSteamForm::TSteamForm;
    int exec() override {
        ++shown;
        show();
        return 0;
    }
    int shown = 0;
};

class SteamTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        QFile file(QStringLiteral(RVK_SOURCE_DIR "/lang/rvk3b2.lng"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        texts.setTable(*LangTable::Parse(
            {reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())}));
        dialog = new ModalFreeSteamForm(texts, frame.get());
    }

    // Opens rec and its steam points dialog through the Edit menu.
    VehicleForm* openDialog(VehicleRec& rec) {
        VehicleForm* form = open(rec);
        steamItem(form)->trigger();
        return form;
    }
    static QAction* steamItem(VehicleForm* form) {
        return form->editMenu()->findChild<QAction*>(QStringLiteral("iSteam"));
    }
    void press(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    void selectLine(int line) {
        QListWidget* list = dialog->steamList();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(line)).center());
    }
    // Add/Move up to the placing mode: the instruction is acknowledged.
    void startPlacing() {
        prompts().answerMessage(MsgAnswer::Ok);
        press(dialog->moveButton());
    }
    PromptCall lastMessage() { return prompts().callsOf(PromptKind::Message).back(); }
    static std::array<int, 9> steamOf(const VehicleRec& rec) {
        std::array<int, 9> out{};
        for (int i = 0; i < 9; ++i) out[i] = rec.Steam[i];
        return out;
    }
    static bool enabled(QPushButton* b) { return b->isEnabled(); }

    ModalFreeSteamForm* dialog = nullptr;
};

VehicleRec Vehicle(int length, std::uint8_t count, std::array<std::uint16_t, 9> steam) {
    VehicleRec rec;
    rec.Length = static_cast<std::uint16_t>(length);
    rec.SteamCount = count;
    rec.Steam = steam;
    return rec;
}

TEST_F(SteamTest, DialogListsTheSlotsAndEnablesItsButtons) {
    // The captions were taken once, at creation.
    EXPECT_EQ(dialog->windowTitle(), "Steam points");
    EXPECT_FALSE(texts.table().find(720));
    EXPECT_EQ(dialog->findChild<QLabel*>("Label4")->text(), "Length");
    EXPECT_EQ(dialog->moveButton()->text(), "Add/Move");
    EXPECT_EQ(dialog->closeButton()->text(), "Close");
    EXPECT_EQ(dialog->size(), QSize(217, 225));
    EXPECT_TRUE(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(dialog->steamList()->font(), QFontDatabase::systemFont(QFontDatabase::FixedFont));

    VehicleRec& rec = vehicle(Vehicle(40, 1, {10, 11, 5, 1, 1, 1, 1, 1, 1}));
    VehicleForm* form = openDialog(rec);
    EXPECT_EQ(steamItem(form)->text(), "&Steam points...");
    EXPECT_EQ(dialog->shown, 1);
    EXPECT_EQ(dialog->vehicleWindow(), form);
    // The values stand under their column titles, counted from the "#" column.
    EXPECT_EQ(dialog->lineItems(0), (Items{{2, "1:"}, {32, "10"}, {72, "11"}, {112, "5"}}));
    EXPECT_EQ(dialog->lineItems(1), (Items{{2, "2:"}, {32, "(free)"}}));
    EXPECT_EQ(dialog->lineItems(2), (Items{{2, "3:"}, {32, "(free)"}}));

    EXPECT_TRUE(enabled(dialog->moveButton()));
    EXPECT_FALSE(enabled(dialog->editLenButton()));
    EXPECT_FALSE(enabled(dialog->removeButton()));
    selectLine(1);  // a free slot
    EXPECT_TRUE(enabled(dialog->moveButton()));
    EXPECT_FALSE(enabled(dialog->editLenButton()));
    selectLine(0);
    EXPECT_TRUE(enabled(dialog->editLenButton()));
    EXPECT_TRUE(enabled(dialog->removeButton()));
    const QImage shown = dialog->steamList()->viewport()->grab().toImage();
    EXPECT_NE(shown.pixel(0, 1), shown.pixel(0, 1 + TSteamForm::kLineHeight));  // highlighted
    press(dialog->closeButton());
    EXPECT_FALSE(dialog->isVisible());

    // All three slots in use: Add/Move needs a line to move.
    rec.SteamCount = 3;
    dialog->steamList()->clearSelection();
    steamItem(form)->trigger();
    EXPECT_FALSE(enabled(dialog->moveButton()));
    selectLine(2);
    EXPECT_TRUE(enabled(dialog->moveButton()));
    press(dialog->closeButton());
}

TEST_F(SteamTest, ClickIntoTheLeftSideViewAddsAPoint) {
    VehicleRec& rec = vehicle(Vehicle(40, 0, {1, 1, 1, 1, 1, 1, 1, 1, 1}));
    VehicleForm* form = openDialog(rec);
    ASSERT_EQ(form->Zoom(), 4);
    startPlacing();
    const PromptCall instruction = lastMessage();
    EXPECT_EQ(instruction.caption, "Information");
    EXPECT_EQ(instruction.icon, MsgIcon::Information);
    EXPECT_EQ(instruction.buttons, MsgButtons::Ok);
    EXPECT_TRUE(instruction.text.startsWith("Click the place"));
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(form->PlacingSteam());
    EXPECT_EQ(form->View(1)->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(form->RenderView(1).pixel(0, 8), qRgb(0, 255, 0));  // the band

    QTest::mouseClick(form->View(1), Qt::LeftButton, {}, QPoint(41, 8));
    EXPECT_EQ(rec.SteamCount, 1);
    EXPECT_EQ(steamOf(rec), (std::array<int, 9>{10, 11, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_FALSE(form->PlacingSteam());
    EXPECT_EQ(form->View(1)->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(owner.modified, 1);
    EXPECT_EQ(rec.Planes[1].at(10, 2), kTransparent);  // nothing drawn
    EXPECT_EQ(dialog->shown, 2);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->lineItems(0)[2].second, "11");

    // With the top rows of the side view hidden the height counts from the bottom row,
    // so the point's marker stands on the cell clicked.
    rec.HeightS = 10;
    form->Relayout();
    startPlacing();
    click(form->View(1), Qt::RightButton, {}, cell(form, 20, 3));
    EXPECT_EQ(rec.SteamCount, 2);
    EXPECT_EQ(rec.Steam[3], 20);
    EXPECT_EQ(rec.Steam[4], 6);
    EXPECT_EQ(form->RenderView(1).pixel(cell(form, 20, 3) + QPoint(-2, 1)), qRgb(255, 0, 0));
    press(dialog->closeButton());
}

TEST_F(SteamTest, ClickOutsideTheBandAsksToTryAgain) {
    VehicleRec& rec = vehicle(Vehicle(40, 0, {1, 1, 1, 1, 1, 1, 1, 1, 1}));
    VehicleForm* form = openDialog(rec);
    startPlacing();
    // Row 11 is height 2, below the lowest place.
    prompts().answerMessage(MsgAnswer::Yes);
    QTest::mouseClick(form->View(1), Qt::LeftButton, {}, QPoint(41, 44));
    const PromptCall question = lastMessage();
    EXPECT_EQ(question.caption, "Error");
    EXPECT_EQ(question.icon, MsgIcon::Error);
    EXPECT_EQ(question.buttons, MsgButtons::YesNo);
    EXPECT_TRUE(question.text.startsWith("A steam point cannot be placed there."));
    EXPECT_TRUE(form->PlacingSteam());
    EXPECT_FALSE(dialog->isVisible());

    // Nor the column just past the vehicle's end, where a press at the box's edge lands.
    prompts().answerMessage(MsgAnswer::Yes);
    QTest::mouseClick(form->View(1), Qt::LeftButton, {}, QPoint(form->View(1)->width(), 8));
    EXPECT_EQ(rec.SteamCount, 0);
    EXPECT_EQ(lastMessage().text, question.text);

    // The right side view is never the place; No gives up.
    prompts().answerMessage(MsgAnswer::No);
    QTest::mouseClick(form->View(0), Qt::LeftButton, {}, QPoint(41, 8));
    EXPECT_FALSE(form->PlacingSteam());
    EXPECT_EQ(rec.SteamCount, 0);
    EXPECT_EQ(owner.modified, 0);
    EXPECT_EQ(prompts().callsOf(PromptKind::Message).size(), 4u);
    EXPECT_TRUE(dialog->isVisible());
    press(dialog->closeButton());
}

TEST_F(SteamTest, AddMoveTakesTheSelectedPointOrTheNextFreeSlot) {
    VehicleRec& rec = vehicle(Vehicle(40, 3, {1, 5, 2, 3, 6, 30, 7, 8, 9}));
    VehicleForm* form = openDialog(rec);
    selectLine(1);
    startPlacing();
    click(form->View(1), Qt::LeftButton, {}, cell(form, 30, 4));
    EXPECT_EQ(rec.SteamCount, 3);
    // The moved point keeps its length as far as the vehicle reaches.
    EXPECT_EQ(steamOf(rec), (std::array<int, 9>{1, 5, 2, 30, 9, 10, 7, 8, 9}));
    EXPECT_EQ(form->RenderView(0).pixel(36, 19), qRgb(255, 0, 0));  // mirrored in vRight
    press(dialog->closeButton());

    // One point in use and the third line selected: the new point goes to the second.
    rec.SteamCount = 1;
    steamItem(form)->trigger();
    selectLine(2);
    startPlacing();
    click(form->View(1), Qt::LeftButton, {}, cell(form, 0, 0));
    EXPECT_EQ(rec.SteamCount, 2);
    EXPECT_EQ(steamOf(rec), (std::array<int, 9>{1, 5, 2, 0, 13, 10, 7, 8, 9}));
    EXPECT_EQ(owner.modified, 2);
    press(dialog->closeButton());
}

// The steam dialog reopened while a point waits for its place, its selection changed,
// then the click: the point goes where Add/Move aimed, and no fourth slot is written.
TEST_F(SteamTest, PlacingKeepsItsTargetWhateverTheDialogShowsMeanwhile) {
    VehicleRec& rec = vehicle(Vehicle(40, 3, {1, 5, 2, 3, 6, 4, 7, 8, 9}));
    rec.Info[0] = "first";
    VehicleForm* form = openDialog(rec);
    selectLine(1);
    startPlacing();
    // Not for this window while it waits for the click.
    EXPECT_FALSE(steamItem(form)->isEnabled());
    steamItem(form)->trigger();
    EXPECT_EQ(dialog->shown, 1);
    // For another vehicle the dialog comes; Ctrl+click deselects the line, Close.
    VehicleRec& other = vehicle(Vehicle(40, 3, {2, 5, 2, 4, 6, 4, 8, 8, 9}));
    openDialog(other);
    QListWidget* list = dialog->steamList();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      list->visualItemRect(list->item(1)).center());
    ASSERT_EQ(dialog->selectedSlot(), -1);
    press(dialog->closeButton());
    activate(form);
    click(form->View(1), Qt::LeftButton, {}, cell(form, 30, 4));
    EXPECT_EQ(rec.SteamCount, 3);
    EXPECT_EQ(steamOf(rec), (std::array<int, 9>{1, 5, 2, 30, 9, 4, 7, 8, 9}));
    EXPECT_EQ(rec.Info[0], "first");
    EXPECT_EQ(steamOf(other), (std::array<int, 9>{2, 5, 2, 4, 6, 4, 8, 8, 9}));
    EXPECT_TRUE(steamItem(form)->isEnabled());
    press(dialog->closeButton());

    // A new point aimed at while a slot was free finds all three in use at the click.
    rec.SteamCount = 2;
    steamItem(form)->trigger();
    list->clearSelection();
    startPlacing();
    ASSERT_EQ(form->SteamPlacingSlot(), -1);
    rec.SteamCount = 3;
    click(form->View(1), Qt::LeftButton, {}, cell(form, 20, 4));
    EXPECT_FALSE(form->PlacingSteam());
    EXPECT_EQ(rec.SteamCount, 3);
    EXPECT_EQ(steamOf(rec), (std::array<int, 9>{1, 5, 2, 30, 9, 4, 7, 8, 9}));
    EXPECT_EQ(rec.Info[0], "first");
    press(dialog->closeButton());
}

TEST_F(SteamTest, EditLengthAsksUntilTheLengthFits) {
    VehicleRec& rec = vehicle(Vehicle(40, 1, {30, 8, 4, 1, 1, 1, 1, 1, 1}));
    openDialog(rec);
    selectLine(0);
    prompts().answerText(QStringLiteral("11"));
    prompts().answerMessage(MsgAnswer::Ok);
    prompts().answerText(QStringLiteral("x"));
    prompts().answerMessage(MsgAnswer::Ok);
    prompts().answerText(QStringLiteral("7"));
    press(dialog->editLenButton());
    const std::vector<PromptCall> inputs = prompts().callsOf(PromptKind::InputBox);
    ASSERT_EQ(inputs.size(), 3u);
    for (const PromptCall& input : inputs) {
        EXPECT_EQ(input.caption, "Steam length");
        EXPECT_EQ(input.text, "Length of the steam (1 to 10):");
        EXPECT_EQ(input.initial, "4");  // the stored length, never the rejected entry
    }
    const PromptCall error = lastMessage();
    EXPECT_EQ(error.text, "Invalid length. Please enter a number from 1 to 10.");
    EXPECT_EQ(error.caption, "Error");
    EXPECT_EQ(error.icon, MsgIcon::Error);
    EXPECT_EQ(rec.Steam[2], 7);
    EXPECT_EQ(dialog->lineItems(0)[3].second, "7");
    EXPECT_EQ(owner.modified, 1);

    // Cancel keeps the length.
    prompts().answerText(std::nullopt);
    press(dialog->editLenButton());
    EXPECT_EQ(rec.Steam[2], 7);
    EXPECT_EQ(owner.modified, 1);
    press(dialog->closeButton());
}

TEST_F(SteamTest, RemoveShiftsTheLaterPointsUp) {
    VehicleRec& rec = vehicle(Vehicle(40, 3, {1, 5, 2, 3, 6, 4, 7, 8, 9}));
    VehicleForm* form = openDialog(rec);
    // The bottom-left corner of the marker of the second point.
    const QPoint secondMarker(12, 31);
    EXPECT_EQ(form->RenderView(1).pixel(secondMarker), qRgb(255, 0, 0));
    selectLine(1);
    press(dialog->removeButton());
    EXPECT_NE(form->RenderView(1).pixel(secondMarker), qRgb(255, 0, 0));
    EXPECT_EQ(rec.SteamCount, 2);
    EXPECT_EQ(steamOf(rec), (std::array<int, 9>{1, 5, 2, 7, 8, 9, 1, 1, 1}));
    EXPECT_EQ(dialog->lineItems(2), (Items{{2, "3:"}, {32, "(free)"}}));
    EXPECT_TRUE(enabled(dialog->removeButton()));  // line 2 now holds the former third point

    press(dialog->removeButton());
    EXPECT_EQ(rec.SteamCount, 1);
    EXPECT_FALSE(enabled(dialog->removeButton()));
    EXPECT_FALSE(enabled(dialog->editLenButton()));
    EXPECT_EQ(owner.modified, 2);
    press(dialog->closeButton());
}

TEST_F(SteamTest, AddMoveOnTheZoom2TabAsksForTheNormalScale) {
    VehicleRec& rec = vehicle(Vehicle(40, 0, {1, 1, 1, 1, 1, 1, 1, 1, 1}));
    rec.Zoom2Exists = true;
    VehicleForm* form = open(rec);
    form->findChild<QTabBar*>(QStringLiteral("Tabs"))->setCurrentIndex(1);
    ASSERT_TRUE(form->ShowsZoom2());
    steamItem(form)->trigger();

    prompts().answerMessage(MsgAnswer::No);
    press(dialog->moveButton());
    EXPECT_TRUE(lastMessage().text.startsWith("Steam points are placed at normal scale."));
    EXPECT_EQ(lastMessage().buttons, MsgButtons::YesNo);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(form->ShowsZoom2());
    EXPECT_FALSE(form->PlacingSteam());

    prompts().answerMessage(MsgAnswer::Yes);
    startPlacing();
    EXPECT_FALSE(form->ShowsZoom2());
    EXPECT_EQ(form->Zoom(), 4);
    EXPECT_TRUE(form->PlacingSteam());
    EXPECT_EQ(prompts().callsOf(PromptKind::Message).size(), 3u);
    click(form->View(1), Qt::LeftButton, {}, cell(form, 10, 2));
    EXPECT_EQ(rec.Steam[0], 10);
    EXPECT_FALSE(rec.Zoom2Modified);
    press(dialog->closeButton());
}

TEST_F(SteamTest, EscapeEndsPlacingWithoutAPoint) {
    VehicleRec& rec = vehicle(Vehicle(40, 0, {1, 1, 1, 1, 1, 1, 1, 1, 1}));
    VehicleForm* form = openDialog(rec);
    startPlacing();
    // Pressed in an info edit, the key still reaches the window.
    QTest::keyClick(form->findChild<QLineEdit*>(QStringLiteral("Info0")), Qt::Key_Escape);
    EXPECT_FALSE(form->PlacingSteam());
    EXPECT_EQ(rec.SteamCount, 0);
    EXPECT_EQ(owner.modified, 0);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->shown, 2);
    // Without placing, Escape does nothing.
    press(dialog->closeButton());
    QTest::keyClick(form, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(SteamTest, EachSteamChangeIsAnUndoStep) {
    VehicleRec& rec = vehicle(Vehicle(40, 1, {5, 8, 2, 1, 1, 1, 1, 1, 1}));
    VehicleForm* form = open(rec);
    click(form->View(3), Qt::LeftButton, {}, cell(form, 1, 1));
    steamItem(form)->trigger();
    startPlacing();
    click(form->View(1), Qt::LeftButton, {}, cell(form, 12, 4));
    const auto added = rec.Steam;
    selectLine(0);
    prompts().answerText(QStringLiteral("3"));
    press(dialog->editLenButton());
    const auto lengthened = rec.Steam;
    press(dialog->removeButton());
    press(dialog->closeButton());
    ASSERT_EQ(rec.SteamCount, 1);
    const auto removed = rec.Steam;

    QAction* undo = form->findChild<QAction*>(QStringLiteral("iUndo"));
    const struct {
        const char* item;
        int count;
        std::array<std::uint16_t, 9> steam;
    } steps[] = {{"&Undo Delete steam point", 2, lengthened},
                 {"&Undo Steam length", 2, added},
                 {"&Undo Add steam point", 1, {5, 8, 2, 1, 1, 1, 1, 1, 1}}};
    for (const auto& step : steps) {
        EXPECT_EQ(undo->text(), step.item);
        undo->trigger();
        EXPECT_EQ(rec.SteamCount, step.count) << step.item;
        EXPECT_EQ(rec.Steam, step.steam) << step.item;
    }
    EXPECT_EQ(undo->text(), "&Undo Pen");
    undo->trigger();
    EXPECT_EQ(rec.Planes[3].at(1, 1), kTransparent);
    for (int i = 0; i < 4; ++i) form->Redo();
    EXPECT_NE(rec.Planes[3].at(1, 1), kTransparent);
    EXPECT_EQ(rec.SteamCount, 1);
    EXPECT_EQ(rec.Steam, removed);
}

}  // namespace
}  // namespace rvk
