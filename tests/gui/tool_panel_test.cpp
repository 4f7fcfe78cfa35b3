// The tool panel: mouse colours and their types, zoom, selection info, single
// selection and day/night, driven through its controls.
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>

#include "app/color_swatches.h"
#include "editor_test_host.h"

namespace rvk {
namespace {

using test::EditorTest;

class ToolPanelTest : public EditorTest {
protected:
    // Picks an item from the drop-down list as a user does.
    void chooseType(const char* box, int item) {
        auto* combo = find<QComboBox>(box);
        combo->showPopup();
        QAbstractItemView* list = combo->view();
        const QRect r = list->visualRect(list->model()->index(item, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
        ASSERT_EQ(combo->currentIndex(), item);
    }
    QString label(const char* name) { return find<QLabel>(name)->text(); }
    bool enabled(const char* action) { return find<QAction>(action)->isEnabled(); }
    // On the indicator: the rest of the button's width does not react.
    void clickRadio(const char* name) {
        auto* rb = find<QRadioButton>(name);
        QTest::mouseClick(rb, Qt::LeftButton, {}, QPoint(6, rb->height() / 2));
    }
    void switchTab(VehicleForm* form, int index) {
        auto* tabs = form->findChild<QTabBar*>(QStringLiteral("Tabs"));
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
    }
    // The values a swatch grid ("Palette", "RecentColors") shows, in its order.
    std::vector<PixelValue> shown(const char* grid) {
        std::vector<PixelValue> values;
        for (const ColorUse& use : find<ColorSwatches>(grid)->colors()) values.push_back(use.value);
        return values;
    }
    void clickSwatch(const char* grid, std::size_t index, Qt::MouseButton button) {
        auto* swatches = find<ColorSwatches>(grid);
        QTest::mouseClick(swatches, button, {}, swatches->swatchRect(index).center());
    }
    void typeColor(const char* field, const QString& text) {
        auto* edit = find<QLineEdit>(field);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
};

TEST_F(ToolPanelTest, StartsWithWhiteAndTransparent) {
    EXPECT_EQ(panel->MouseColor(0), 0x00FFFFFFu);
    EXPECT_EQ(label("FGLabel"), "RGB = 255, 255, 255");
    EXPECT_EQ(find<QComboBox>("bFG")->currentIndex(), 0);
    EXPECT_EQ(panel->MouseColor(1), kTransparent);
    EXPECT_EQ(label("BGLabel"), "RGB = 0, 112, 0");
    EXPECT_EQ(find<QComboBox>("bBG")->currentIndex(), 1);
    EXPECT_EQ(find<QWidget>("sBG")->grab().toImage().pixel(5, 5), qRgb(0, 112, 0));
    EXPECT_EQ(panel->PressedTool(), PanelTool::Pen);
    EXPECT_EQ(panel->CurrentNightLevel(), 0);
}

TEST_F(ToolPanelTest, EveryToolButtonFitsTheBar) {
    auto* bar = find<QToolBar>("ToolBar");
    for (const char* name : {"tbPen", "tbLine", "tbRect", "tbFill", "tbSelect", "tbColor",
                             "tbZoomIn", "tbZoomOut"}) {
        QWidget* button = bar->widgetForAction(find<QAction>(name));
        EXPECT_TRUE(button->isVisible()) << name;
        EXPECT_TRUE(bar->rect().contains(button->geometry())) << name;
    }
}

TEST_F(ToolPanelTest, ColourTypeChangesKeepTheLastRealColour) {
    panel->SetMouseColor(0, 0x000000FF, true);
    chooseType("bFG", 5);  // Lamp (red at night)
    EXPECT_EQ(panel->MouseColor(0), 0x510000FFu);
    chooseType("bFG", 1);  // Transparent
    EXPECT_EQ(panel->MouseColor(0), kTransparent);
    EXPECT_EQ(panel->SavedColor(0), 0x510000FFu);
    EXPECT_EQ(label("FGLabel"), "RGB = 0, 112, 0");
    chooseType("bFG", 2);  // Halftransparent keeps the saved colour
    EXPECT_EQ(panel->MouseColor(0), kHalfTransparent);
    EXPECT_EQ(panel->SavedColor(0), 0x510000FFu);
    chooseType("bFG", 0);
    EXPECT_EQ(panel->MouseColor(0), 0x000000FFu);
    EXPECT_EQ(label("FGLabel"), "RGB = 255, 0, 0");

    // The right button starts transparent; its saved colour is transparent too.
    chooseType("bBG", 0);
    EXPECT_EQ(panel->MouseColor(1), 0x00000001u);
    EXPECT_EQ(label("BGLabel"), "RGB = 1, 0, 0");
    chooseType("bBG", 11);
    EXPECT_EQ(panel->MouseColor(1), 0x66000001u);
}

TEST_F(ToolPanelTest, ColourDialogKeepsTheTypeUnlessSeeThrough) {
    chooseType("bFG", 4);  // Lamp (white at night)
    prompts().answerColor(QColor(10, 20, 30));
    QTest::mouseClick(find<QWidget>("sFG"), Qt::LeftButton);
    EXPECT_EQ(panel->MouseColor(0), 0x501E140Au);
    EXPECT_EQ(find<QComboBox>("bFG")->currentIndex(), 4);
    ASSERT_EQ(prompts().callsOf(PromptKind::ChooseColor).size(), 1u);
    EXPECT_EQ(prompts().calls().back().initial, QColor(255, 255, 255).name());

    // A colour chosen while the type is transparent becomes a normal colour.
    prompts().answerColor(QColor(1, 2, 3));
    QTest::mouseClick(find<QWidget>("sBG"), Qt::RightButton);
    EXPECT_EQ(panel->MouseColor(1), 0x00030201u);
    EXPECT_EQ(find<QComboBox>("bBG")->currentIndex(), 0);
    EXPECT_EQ(label("BGLabel"), "RGB = 1, 2, 3");

    prompts().answerColor(std::nullopt);
    QTest::mouseClick(find<QWidget>("sBG"), Qt::LeftButton);
    EXPECT_EQ(panel->MouseColor(1), 0x00030201u);
}

TEST_F(ToolPanelTest, PaletteClickTakesColourAndTypeForEachButton) {
    VehicleRec& rec = vehicle();
    rec.Planes[0].set(0, 13, 0x510000FF);
    rec.Planes[0].set(1, 13, 0x510000FF);
    rec.Planes[3].set(0, 0, 0x00336699);
    open(rec);
    ASSERT_EQ(shown("Palette"), (std::vector<PixelValue>{0x00336699, kTransparent, 0x510000FF}));

    clickSwatch("Palette", 2, Qt::LeftButton);
    EXPECT_EQ(panel->MouseColor(0), 0x510000FFu);
    EXPECT_EQ(find<QComboBox>("bFG")->currentIndex(), 5);
    EXPECT_EQ(label("FGLabel"), "RGB = 255, 0, 0");
    EXPECT_EQ(panel->MouseColor(1), kTransparent);
    clickSwatch("Palette", 0, Qt::RightButton);
    EXPECT_EQ(panel->MouseColor(1), 0x00336699u);
    EXPECT_EQ(find<QComboBox>("bBG")->currentIndex(), 0);
    clickSwatch("Palette", 1, Qt::RightButton);
    EXPECT_EQ(panel->MouseColor(1), kTransparent);
    EXPECT_EQ(find<QComboBox>("bBG")->currentIndex(), 1);
    EXPECT_EQ(panel->MouseColor(0), 0x510000FFu);

    auto* palette = find<ColorSwatches>("Palette");
    const QPoint at = palette->swatchRect(2).center();
    QHelpEvent help(QEvent::ToolTip, at, palette->mapToGlobal(at));
    QApplication::sendEvent(palette, &help);
    EXPECT_EQ(QToolTip::text().toStdString(),
              "pixel 510000ff, Lamp (red at night), day RGB 255, 0, 0\n2 pixels");
}

TEST_F(ToolPanelTest, PaletteFollowsEditsTheScaleAndTheActiveWindow) {
    VehicleRec& a = vehicle();
    a.Planes[3].set(0, 0, 0x00336699);
    a.Zoom2Exists = true;
    a.Zoom2Planes[3].set(0, 0, 0x64000000);
    VehicleRec& b = vehicle();
    b.Planes[4].set(1, 1, 0x40FFFFFF);
    VehicleForm* first = open(a);
    EXPECT_EQ(shown("Palette"), (std::vector<PixelValue>{0x00336699, kTransparent}));
    click(first->View(3), Qt::LeftButton, {}, cell(first, 2, 2));
    EXPECT_EQ(shown("Palette"), (std::vector<PixelValue>{0x00336699, 0x00FFFFFF, kTransparent}));
    first->Undo();
    EXPECT_EQ(shown("Palette"), (std::vector<PixelValue>{0x00336699, kTransparent}));

    open(b);
    EXPECT_EQ(shown("Palette"), (std::vector<PixelValue>{kTransparent, 0x40FFFFFF}));
    // A window that is not active does not change the palette.
    first->Redo();
    EXPECT_EQ(shown("Palette"), (std::vector<PixelValue>{kTransparent, 0x40FFFFFF}));
    activate(first);
    EXPECT_EQ(shown("Palette"), (std::vector<PixelValue>{0x00336699, 0x00FFFFFF, kTransparent}));
    switchTab(first, 1);
    EXPECT_EQ(shown("Palette"), (std::vector<PixelValue>{kTransparent, 0x64000000}));

    mdi->closeAllSubWindows();
    EXPECT_TRUE(shown("Palette").empty());
}

TEST_F(ToolPanelTest, RecentColoursKeepTheLastSixteenDistinct) {
    EXPECT_TRUE(shown("RecentColors").empty());
    for (PixelValue v = 1; v <= 18; ++v) panel->SetMouseColor(v % 2, v, true);
    panel->SetMouseColor(0, 5, true);  // again: to the front, not twice
    std::vector<PixelValue> expected{5};
    for (PixelValue v = 18; expected.size() < 16; --v)
        if (v != 5) expected.push_back(v);
    EXPECT_EQ(shown("RecentColors"), expected);
    EXPECT_EQ(panel->RecentColors(), expected);

    // Chosen again from the list, with either button.
    clickSwatch("RecentColors", 3, Qt::RightButton);
    EXPECT_EQ(panel->MouseColor(1), expected[3]);
    EXPECT_EQ(shown("RecentColors").front(), expected[3]);
    clickSwatch("RecentColors", 15, Qt::LeftButton);
    EXPECT_EQ(panel->MouseColor(0), expected[15]);
}

TEST_F(ToolPanelTest, TypedColourKeepsTheTypeUnlessSeeThrough) {
    EXPECT_EQ(find<QLineEdit>("eFG")->text(), "#FFFFFF");
    EXPECT_EQ(find<QLineEdit>("eBG")->text(), "");  // transparent
    chooseType("bFG", 4);  // Lamp (white at night)
    typeColor("eFG", "#1a2b3c");
    EXPECT_EQ(panel->MouseColor(0), 0x503C2B1Au);
    EXPECT_EQ(find<QLineEdit>("eFG")->text(), "#1A2B3C");
    EXPECT_EQ(label("FGLabel"), "RGB = 26, 43, 60");
    typeColor("eBG", "00ff00");
    EXPECT_EQ(panel->MouseColor(1), 0x0000FF00u);
    EXPECT_EQ(find<QComboBox>("bBG")->currentIndex(), 0);

    // Neither an incomplete colour nor one left without Enter is taken.
    auto* edit = find<QLineEdit>("eBG");
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, "#12");
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClicks(edit, "xyz3456");
    EXPECT_EQ(edit->text(), "#123456");
    find<QLineEdit>("eFG")->setFocus();
    EXPECT_EQ(panel->MouseColor(1), 0x0000FF00u);
    EXPECT_EQ(edit->text(), "#00FF00");
}

TEST_F(ToolPanelTest, ZoomStepsOnBothTabs) {
    EXPECT_FALSE(enabled("tbZoomIn"));
    EXPECT_FALSE(enabled("tbZoomOut"));
    VehicleRec& rec = vehicle();
    rec.Zoom2Exists = true;
    VehicleForm* form = open(rec);
    EXPECT_EQ(form->Zoom(), 4);
    EXPECT_TRUE(enabled("tbZoomIn"));
    clickTool("tbZoomOut");
    EXPECT_EQ(form->Zoom(), 2);
    clickTool("tbZoomOut");
    EXPECT_EQ(form->Zoom(), 1);
    EXPECT_FALSE(enabled("tbZoomOut"));
    std::vector<int> steps;
    for (int i = 0; i < 9; ++i) {
        clickTool("tbZoomIn");
        steps.push_back(form->Zoom());
    }
    EXPECT_EQ(steps, (std::vector<int>{2, 4, 6, 8, 10, 12, 14, 16, 16}));
    EXPECT_FALSE(enabled("tbZoomIn"));
    EXPECT_EQ(form->View(1)->width(), 32 * 16);

    switchTab(form, 1);  // 16 halves to 8, the Zoom2 limit
    EXPECT_EQ(form->Zoom(), 8);
    EXPECT_EQ(form->View(1)->width(), 64 * 8);
    EXPECT_FALSE(enabled("tbZoomIn"));
    clickTool("tbZoomOut");
    EXPECT_EQ(form->Zoom(), 7);
    for (int i = 0; i < 5; ++i) clickTool("tbZoomOut");
    EXPECT_EQ(form->Zoom(), 2);
    EXPECT_FALSE(enabled("tbZoomOut"));
    clickTool("tbZoomIn");
    EXPECT_EQ(form->Zoom(), 3);
    switchTab(form, 0);
    EXPECT_EQ(form->Zoom(), 6);
    switchTab(form, 1);
    EXPECT_EQ(form->Zoom(), 3);
}

TEST_F(ToolPanelTest, SelectionSizeAndTheButtonsItEnables) {
    VehicleRec& rec = vehicle();
    VehicleForm* form = open(rec);
    auto* copy = find<QPushButton>("bCopy");
    EXPECT_TRUE(label("SelLabel").isEmpty());
    EXPECT_FALSE(copy->isEnabled());
    click(form->View(1), Qt::LeftButton, Qt::ShiftModifier, cell(form, 3, 5));
    click(form->View(1), Qt::RightButton, Qt::ShiftModifier, cell(form, 10, 2));
    EXPECT_EQ(label("SelLabel"), "Selection: 8 x 4");
    for (const char* name : {"bCopy", "bPaste", "bMirrorHor", "bMirrorVer", "bRotate"})
        EXPECT_TRUE(find<QWidget>(name)->isEnabled()) << name;
    click(form->View(0), Qt::RightButton, Qt::ShiftModifier, cell(form, 1, 1));
    EXPECT_TRUE(label("SelLabel").isEmpty());
    for (const char* name : {"bCopy", "bPaste", "bMirrorHor", "bMirrorVer", "bRotate"})
        EXPECT_FALSE(find<QWidget>(name)->isEnabled()) << name;
}

TEST_F(ToolPanelTest, ActivatingAnotherWindowRefreshesTheInfo) {
    VehicleRec& a = vehicle();
    VehicleRec& b = vehicle();
    VehicleForm* first = open(a);
    click(first->View(3), Qt::LeftButton, Qt::ShiftModifier, cell(first, 0, 0));
    click(first->View(3), Qt::RightButton, Qt::ShiftModifier, cell(first, 1, 2));
    EXPECT_EQ(label("SelLabel"), "Selection: 2 x 3");
    VehicleForm* second = open(b);
    EXPECT_TRUE(label("SelLabel").isEmpty());
    clickTool("tbZoomIn");
    EXPECT_EQ(second->Zoom(), 6);
    EXPECT_EQ(first->Zoom(), 4);
    activate(first);
    EXPECT_EQ(label("SelLabel"), "Selection: 2 x 3");
}

TEST_F(ToolPanelTest, SingleSelectionShowsTheSameRectangleEverywhere) {
    VehicleRec& a = vehicle();
    VehicleRec& b = vehicle();
    VehicleForm* first = open(a);
    click(first->View(2), Qt::LeftButton, Qt::ShiftModifier, cell(first, 1, 1));
    click(first->View(2), Qt::RightButton, Qt::ShiftModifier, cell(first, 3, 4));
    VehicleForm* second = open(b);
    EXPECT_NE(second->Selection().SelView1, 2);

    // Checking the box takes the selection of the first vehicle window.
    auto* box = find<QCheckBox>("cbSingleSel");
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    ASSERT_TRUE(panel->SingleSelection());
    EXPECT_EQ(second->SelectionRect(), first->SelectionRect());
    EXPECT_EQ(second->Selection().SelView2, 2);
    // The active window now has that selection, and the panel says so.
    EXPECT_EQ(label("SelLabel"), "Selection: 3 x 4");
    EXPECT_TRUE(find<QWidget>("bCopy")->isEnabled());

    // From then on every selection change is copied to the other windows.
    click(second->View(5), Qt::LeftButton, Qt::ShiftModifier, cell(second, 0, 0));
    click(second->View(5), Qt::RightButton, Qt::ShiftModifier, cell(second, 5, 6));
    EXPECT_EQ(first->Selection().SelView1, 5);
    EXPECT_EQ(first->SelectionRect(), (CellRect{0, 0, 5, 6}));
    EXPECT_EQ(first->RenderView(5).pixel(0, 0), qRgb(255, 255, 255));
}

// The pointer last rested on a Zoom2 cell beyond the normal plane. Back on the normal
// tab, a press without a move before it must name the pressed cell, not read the old one.
TEST_F(ToolPanelTest, PressAfterAScaleChangeTakesTheCellUnderThePointer) {
    VehicleRec& rec = vehicle();
    DeriveZoom2(rec, "zoom2");
    VehicleForm* form = open(rec);
    auto* tabs = form->findChild<QTabBar*>(QStringLiteral("Tabs"));
    tabs->setCurrentIndex(1);
    QTest::mouseMove(form->View(1), cell(form, rec.Zoom2Planes[1].width() - 1, 2));
    tabs->setCurrentIndex(0);
    ASSERT_LT(rec.Planes[1].width(), rec.Zoom2Planes[1].width());
    QSignalSpy status(form, &TChildForm::statusInfo);
    QTest::mousePress(form->View(1), Qt::LeftButton, {}, cell(form, 3, 2));
    QTest::mouseRelease(form->View(1), Qt::LeftButton, {}, cell(form, 3, 2));
    ASSERT_FALSE(status.isEmpty());
    EXPECT_TRUE(status.last().at(0).toString().startsWith("Left side   x 3, y "))
        << status.last().at(0).toString().toStdString();
}

// Counts the paints of every view of a window.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(VehicleForm* form) {
        for (int v = 0; v < kViewCount; ++v) form->View(v)->installEventFilter(this);
    }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};

TEST_F(ToolPanelTest, DayNightRepaintsEveryVehicleWindow) {
    VehicleRec& a = vehicle();
    VehicleRec& b = vehicle();
    a.Planes[3].set(0, 0, 0x000000FF);
    b.Planes[3].set(0, 0, 0x000000FF);
    VehicleForm* first = open(a);
    VehicleForm* second = open(b);
    QApplication::processEvents();
    PaintCounter firstPaints(first), secondPaints(second);
    clickRadio("rbNight0");
    EXPECT_EQ(panel->CurrentNightLevel(), 1);
    QApplication::processEvents();
    EXPECT_GT(firstPaints.paints, 0);
    EXPECT_GT(secondPaints.paints, 0);
    EXPECT_EQ(first->RenderView(3).pixel(1, 1), qRgb(75, 75, 75));
    clickRadio("rbNight012");
    EXPECT_EQ(panel->CurrentNightLevel(), 3);
    clickRadio("rbNight01");
    EXPECT_EQ(panel->CurrentNightLevel(), 2);
}

TEST_F(ToolPanelTest, ToolButtonsSetTheCursorOfEveryView) {
    VehicleRec& a = vehicle();
    VehicleRec& b = vehicle();
    VehicleForm* first = open(a);
    VehicleForm* second = open(b);
    EXPECT_EQ(first->View(0)->cursor().shape(), Qt::ArrowCursor);
    clickTool("tbFill");
    EXPECT_EQ(panel->CurrentTool(), kCursorFill);
    for (VehicleForm* form : {first, second})
        for (int v = 0; v < kViewCount; ++v)
            EXPECT_EQ(form->View(v)->cursor().shape(), Qt::BitmapCursor);
    EXPECT_FALSE(find<QAction>("tbPen")->isChecked());
    // A window opened now starts with the pressed tool's cursor.
    VehicleRec& c = vehicle();
    EXPECT_EQ(open(c)->View(7)->cursor().shape(), Qt::BitmapCursor);
    clickTool("tbPen");
    EXPECT_EQ(second->View(4)->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(ToolPanelTest, PanelTextsAreAppliedOnce) {
    panel->SetMouseColor(1, 0x5100FF00, true);
    panel->applyTexts();
    EXPECT_EQ(find<QPushButton>("bSave")->text(), "Save");
    EXPECT_EQ(find<QToolButton>("bMirrorVer")->toolTip(), "Mirror vertically");
    EXPECT_EQ(find<QAction>("tbColor")->toolTip(), "Pick colour (key I)");
    EXPECT_EQ(find<QComboBox>("bBG")->itemText(11), "Window2 neon");
    EXPECT_EQ(find<QComboBox>("bBG")->currentIndex(), 5);
    EXPECT_EQ(find<QRadioButton>("rbNight0")->text(), "Night 0");
    EXPECT_EQ(find<QCheckBox>("cbSingleSel")->text(), "Single selection");
    // Taken out of the table; the selection label's text stays available.
    EXPECT_EQ(texts.lookup(110), "#110");
    EXPECT_EQ(texts.lookup(101), "Selection:");
}

TEST_F(ToolPanelTest, SaveButtonAsksTheFrame) {
    int saves = 0;
    QObject::connect(panel, &ToolPanel::saveRequested, [&] { ++saves; });
    auto* save = find<QPushButton>("bSave");
    EXPECT_FALSE(save->isEnabled());
    panel->setSaveEnabled(true);
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(saves, 1);
}

}  // namespace
}  // namespace rvk
