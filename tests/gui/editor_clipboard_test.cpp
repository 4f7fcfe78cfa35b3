// Copy, paste, mirror and rotate of the selection through the vehicle window, its Edit
// menu and the panel's buttons, against the in-process clipboard.
#include <QAbstractButton>
#include <QAction>
#include <QImage>
#include <QMenu>
#include <QTabBar>

#include "editor/qt_support.h"
#include "editor_test_host.h"

namespace rvk {
namespace {

using test::EditorTest;

constexpr PixelValue kRed = 0x000000FF;
constexpr PixelValue kLamp = 0x5000A0FF;

class ClipboardTest : public EditorTest {
protected:
    // Shift-clicks: the left button puts the first corner at a, the right the second at b.
    void select(VehicleForm* form, int view, QPoint a, QPoint b) {
        click(form->View(view), Qt::LeftButton, Qt::ShiftModifier, cell(form, a.x(), a.y()));
        click(form->View(view), Qt::RightButton, Qt::ShiftModifier, cell(form, b.x(), b.y()));
    }
    void press(const char* button) {
        QAbstractButton* b = find<QAbstractButton>(button);
        ASSERT_TRUE(b && b->isEnabled()) << button;
        QTest::mouseClick(b, Qt::LeftButton);
    }
    static void trigger(VehicleForm* form, const char* item) {
        form->findChild<QAction*>(QLatin1String(item))->trigger();
    }
};

// Pixels 1..6 with a transparent one and a lamp among them, at (1, 1)..(3, 2) of view 2.
void FillSource(VehicleRec& rec) {
    const PixelValue values[2][3] = {{kRed, kTransparent, 0x00123456}, {kLamp, 0x00010203, kRed}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) rec.Planes[2].set(1 + x, 1 + y, values[y][x]);
}

TEST_F(ClipboardTest, CopyPutsBothFormsAndPasteIntoOneCellTakesTheWholeImage) {
    VehicleRec& rec = vehicle();
    FillSource(rec);
    VehicleForm* form = open(rec);
    select(form, 2, {3, 2}, {1, 1});
    trigger(form, "iCopy");
    EXPECT_EQ(owner.modified, 0);

    const std::optional<QByteArray> block = clip().block(ClipFormat::Image);
    ASSERT_TRUE(block);
    ASSERT_EQ(block->size(), 28);
    EXPECT_EQ(block->left(8), QByteArray("\x03\x00\x02\x00\xFF\x00\x00\x00", 8));
    const std::optional<QImage> bitmap = clip().bitmap();
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->size(), QSize(3, 2));
    EXPECT_EQ(bitmap->pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(bitmap->pixel(1, 0), qRgb(0, 0x70, 0));
    EXPECT_EQ(bitmap->pixel(2, 0), qRgb(0x56, 0x34, 0x12));

    // A one-cell selection in an end view; the image reaches past the visible 8 x 9
    // cells into the plane's hidden columns and rows.
    select(form, 3, {6, 8}, {6, 8});
    press("bPaste");
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(rec.Planes[3].at(6 + x, 8 + y), rec.Planes[2].at(1 + x, 1 + y));
    EXPECT_EQ(rec.Planes[3].at(7, 8), kTransparent);  // survives as the very value
    EXPECT_EQ(rec.Planes[3].at(6, 9), kLamp);
    EXPECT_EQ(rec.Planes[3].at(5, 8), kTransparent);
    EXPECT_EQ(rec.Planes[3].at(9, 8), kTransparent);
    EXPECT_EQ(owner.modified, 1);
    EXPECT_EQ(form->RenderView(3).pixel(cell(form, 6, 8)), qRgb(255, 0, 0));

    // One Undo takes the paste back.
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(rec.Planes[3].at(6, 8), kTransparent);
    EXPECT_EQ(rec.Planes[3].at(6, 9), kTransparent);
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(rec.Planes[3].at(6, 9), kLamp);
}

TEST_F(ClipboardTest, ThePlainBitmapAloneGivesNormalColours) {
    VehicleRec& rec = vehicle();
    FillSource(rec);
    VehicleForm* form = open(rec);
    select(form, 2, {1, 1}, {3, 2});
    press("bCopy");
    const QImage bitmap = *clip().bitmap();
    const QByteArray payload = *clip().block(ClipFormat::Image);

    // Another program's content: a bitmap and no image of our own.
    clip().put(ClipFormat::Fleet, QByteArray("x"), bitmap);
    select(form, 4, {0, 0}, {0, 0});
    trigger(form, "iPaste");
    EXPECT_EQ(rec.Planes[4].at(0, 0), kRed);
    EXPECT_EQ(rec.Planes[4].at(1, 0), 0x00007000u);  // the dark green of transparency
    EXPECT_EQ(rec.Planes[4].at(2, 0), 0x00123456u);
    EXPECT_EQ(rec.Planes[4].at(0, 1), 0x0000A0FFu);  // the lamp loses its type

    // A cut-off image of our own is not pasted in part; the bitmap beside it serves.
    clip().put(ClipFormat::Image, payload.left(payload.size() - 1), bitmap);
    select(form, 4, {5, 5}, {5, 5});
    press("bPaste");
    EXPECT_EQ(rec.Planes[4].at(6, 5), 0x00007000u);
    EXPECT_EQ(rec.Planes[4].at(5, 6), 0x0000A0FFu);

    // The same image in full wins over the bitmap.
    clip().put(ClipFormat::Image, payload, bitmap);
    press("bPaste");
    EXPECT_EQ(rec.Planes[4].at(6, 5), kTransparent);
    EXPECT_EQ(rec.Planes[4].at(5, 6), kLamp);
}

TEST_F(ClipboardTest, CopyWithoutASelectionInOneViewTellsTheUser) {
    VehicleRec& rec = vehicle();
    VehicleForm* form = open(rec);
    // Opening the Edit menu offers copy and paste only with a selection in one view.
    QMenu* edit = form->editMenu();
    emit edit->aboutToShow();
    EXPECT_FALSE(form->findChild<QAction*>(QStringLiteral("iCopy"))->isEnabled());
    EXPECT_FALSE(form->findChild<QAction*>(QStringLiteral("iPaste"))->isEnabled());
    EXPECT_FALSE(form->findChild<QAction*>(QStringLiteral("iImportPicture"))->isEnabled());
    EXPECT_TRUE(form->findChild<QAction*>(QStringLiteral("iExportViews"))->isEnabled());
    EXPECT_EQ(form->findChild<QAction*>(QStringLiteral("iCopy"))->text(), LookupQText(texts, 72));
    EXPECT_EQ(form->findChild<QAction*>(QStringLiteral("iPaste"))->text(), LookupQText(texts, 73));

    // The corners of a fresh window lie in the two side views.
    prompts().answerMessage(MsgAnswer::Ok);
    form->CopySelection();
    const std::vector<PromptCall> calls = prompts().callsOf(PromptKind::Message);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].text, LookupQText(texts, 556));
    EXPECT_EQ(calls[0].caption, LookupQText(texts, 540));
    EXPECT_EQ(calls[0].icon, MsgIcon::Information);
    EXPECT_EQ(calls[0].buttons, MsgButtons::Ok);
    EXPECT_FALSE(clip().block(ClipFormat::Image));

    // Paste and the transforms keep silent.
    rec.Planes[0].set(0, 0, kRed);
    clip().put(ClipFormat::Image, QByteArray("\x01\x00\x01\x00\x00\x00\x00\x00", 8));
    form->PasteSelection();
    form->Transform(TransformKind::Rotate180);
    EXPECT_EQ(prompts().calls().size(), 1u);
    EXPECT_EQ(owner.modified, 0);

    select(form, 1, {0, 0}, {0, 0});
    emit edit->aboutToShow();
    EXPECT_TRUE(form->findChild<QAction*>(QStringLiteral("iExportSelection"))->isEnabled());
    EXPECT_TRUE(form->findChild<QAction*>(QStringLiteral("iCopy"))->isEnabled());
    EXPECT_TRUE(form->findChild<QAction*>(QStringLiteral("iPaste"))->isEnabled());
}

TEST_F(ClipboardTest, PasteWithNothingToPasteRecordsNoStep) {
    VehicleRec& rec = vehicle();
    VehicleForm* form = open(rec);
    click(form->View(2), Qt::LeftButton, {}, cell(form, 4, 4));
    select(form, 2, {0, 0}, {2, 2});
    press("bPaste");  // empty clipboard
    clip().put(ClipFormat::Vehicle, QByteArray(16, '\0'));
    press("bPaste");  // foreign content only
    EXPECT_EQ(owner.modified, 1);
    // Had either paste recorded a step, this Undo would restore the pen pixel's state.
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(rec.Planes[2].at(4, 4), kTransparent);
}

TEST_F(ClipboardTest, MirrorsAndRotationOnTheSelection) {
    VehicleRec& rec = vehicle();
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) rec.Planes[2].set(x, y, static_cast<PixelValue>(10 * y + x));
    VehicleForm* form = open(rec);

    // A one-column mirror changes no pixel but still counts as an edit.
    select(form, 2, {1, 0}, {1, 2});
    press("bMirrorHor");
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(rec.Planes[2].at(x, y), static_cast<PixelValue>(10 * y + x));
    EXPECT_EQ(owner.modified, 1);

    select(form, 2, {0, 0}, {2, 1});
    press("bMirrorVer");
    EXPECT_EQ(rec.Planes[2].at(0, 0), 10u);
    EXPECT_EQ(rec.Planes[2].at(2, 1), 2u);
    EXPECT_EQ(rec.Planes[2].at(0, 2), 20u);  // outside the selection
    press("bRotate");
    EXPECT_EQ(rec.Planes[2].at(0, 0), 2u);
    EXPECT_EQ(rec.Planes[2].at(2, 1), 10u);
    press("bMirrorHor");
    EXPECT_EQ(rec.Planes[2].at(0, 0), 0u);
    EXPECT_EQ(rec.Planes[2].at(2, 1), 12u);
    EXPECT_EQ(owner.modified, 4);

    // Each that moved pixels is an undo step of its own, named in the Edit menu; the
    // one-column mirror changed nothing and left none.
    click(form->View(2), Qt::LeftButton, {}, cell(form, 5, 5));
    QAction* undo = form->findChild<QAction*>(QStringLiteral("iUndo"));
    const struct {
        const char* item;
        PixelValue cornerAfter;
    } steps[] = {{"Undo Pen", 0}, {"Undo Mirror", 2}, {"Undo Rotate", 10}, {"Undo Mirror", 0}};
    for (const auto& step : steps) {
        EXPECT_EQ(undo->text(), step.item);
        key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(rec.Planes[2].at(0, 0), step.cornerAfter) << step.item;
    }
    EXPECT_EQ(rec.Planes[2].at(5, 5), kTransparent);
    EXPECT_EQ(undo->text(), "Undo");
    EXPECT_EQ(form->findChild<QAction*>(QStringLiteral("iRedo"))->text(), "Redo Mirror");
}

TEST_F(ClipboardTest, CommandsActOnTheZoom2PlanesWhenShown) {
    VehicleRec& rec = vehicle();
    rec.Zoom2Exists = true;
    rec.Zoom2Planes[3].set(0, 0, kRed);
    rec.Planes[3].set(0, 0, kLamp);
    VehicleForm* form = open(rec);
    auto* tabs = form->findChild<QTabBar*>(QStringLiteral("Tabs"));
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    ASSERT_TRUE(form->ShowsZoom2());
    select(form, 3, {0, 0}, {10, 0});  // beyond the 8 columns of the normal end view
    press("bMirrorHor");
    EXPECT_EQ(rec.Zoom2Planes[3].at(10, 0), kRed);
    EXPECT_EQ(rec.Planes[3].at(0, 0), kLamp);
    EXPECT_TRUE(rec.Zoom2Modified);
    press("bCopy");
    const std::optional<QByteArray> block = clip().block(ClipFormat::Image);
    ASSERT_TRUE(block);
    EXPECT_EQ(block->size(), 4 + 4 * 11);
}

}  // namespace
}  // namespace rvk
