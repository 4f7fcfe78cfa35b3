#include "editor_test_host.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <string>
#include <utility>

namespace rvk::test {

namespace {

// The texts the editor shows, in the language file format.
constexpr char kTexts[] =
    "RVK30b2lng\n"
    "6\nEdit\n70\nUndo\n71\nRedo\n100\nSingle selection\n101\nSelection:\n"
    "110\nSave\n111\nTo Clipboard\n112\nFrom Clipboard\n113\nMirror horizontally\n"
    "114\nMirror vertically\n115\nRotate\n120\nPen\n121\nLine\n122\nRectangle\n123\nFill\n"
    "124\nSelect\n125\nPick colour\n126\nZoom in\n127\nZoom out\n130\nMouse colours\n"
    "131\nNormal\n132\nTransparent\n133\nHalftransparent\n134\nLight\n135\nLamp white\n"
    "136\nLamp red\n137\nWindow0 yellow\n138\nWindow1 yellow\n139\nWindow2 yellow\n"
    "140\nWindow0 neon\n141\nWindow1 neon\n142\nWindow2 neon\n150\nDay and night\n"
    "151\nDaylight\n152\nNight 0+1+2\n153\nNight 0+1\n154\nNight 0\n"
    "160\n,T,H,L,W,R,Y0,Y1,Y2,N0,N1,N2\n161\n%i pixels\n"
    "200\nNormal scale\n201\nZoom2 scale\n202\nVehicle parameters\n203\nVehicle size\n"
    "204\nVehicle properties\n205\nVehicle info strings:\n207\nLayout 1\n208\nLayout 2\n"
    "210\nLength\n211\nHeight (side)\n212\nWidth\n213\nHeight (front)\n215\nSingle ended\n"
    "216\nMotorized\n217\nRev\n218\nLwx\n219\nExtra views\n220\nZoom2 graphics\n"
    "506\nDerived\n542\nQuestion\n543\nWarning\n563\nSteam point beyond\n"
    "564\nShorten steam point?\n568\nDerive Zoom2?\n569\nSwitch Zoom2 off?\n"
    "600\nCannot import:\\n%s\n602\n%i of no type\n605\nZoom from 1 to %i\n"
    "620\nRight side\n621\nLeft side\n628\nx %i, y %i\n629\npixel %s, %s, day RGB %i, %i, %i\n"
    "630\nselection %i x %i\n631\nCell grid\n690\nJoin pen strokes\n691\n%s (key %s)\n"
    "900\nUndo %s\n901\nRedo %s\n902\nPen\n903\nLine\n904\nRectangle\n905\nFill\n"
    "906\nReplace colour\n907\nPaste\n908\nPNG import\n909\nMirror\n910\nRotate\n"
    "911\nMove pixels\n912\nMove end views\n913\nAdd steam point\n914\nMove steam point\n"
    "915\nSteam length\n916\nDelete steam point\n917\nInfo string\n918\nZoom2 off\n"
    "919\nRead Zoom2\n920\nDerive Zoom2\n"
    "850\nPreview\n851\nAnimate\n"
    "511\nAny file\n544\nError\n858\nPicture to trace...\n859\nPictures\n860\nOpacity:\n"
    "861\nScale:\n862\nOffset:\n863\nUnder\n864\nPicture %s gone\n865\nChoose\n866\nShow (key %s)\n"
    "867\nNo picture: %s\n";

}  // namespace

std::vector<std::pair<int, int>> Painted(const Plane& plane) {
    std::vector<std::pair<int, int>> out;
    for (int y = 0; y < plane.height(); ++y)
        for (int x = 0; x < plane.width(); ++x)
            if (plane.at(x, y) != kTransparent) out.emplace_back(x, y);
    return out;
}

void EditorTest::SetUp() {
    GuiTest::SetUp();
    const std::string file(kTexts);
    texts.setTable(
        *LangTable::Parse({reinterpret_cast<const std::uint8_t*>(file.data()), file.size()}));

    frame = std::make_unique<QMainWindow>();
    auto* central = new QWidget;
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    mdi = new QMdiArea;
    row->addWidget(mdi, 1);
    panel = new ToolPanel(texts);
    row->addWidget(panel);
    frame->setCentralWidget(central);
    panel->setMdiArea(mdi);
    QObject::connect(mdi, &QMdiArea::subWindowActivated, frame.get(), [this](QMdiSubWindow* sub) {
        frame->menuBar()->clear();
        if (VehicleForm* form = VehicleFormOf(sub)) frame->menuBar()->addMenu(form->editMenu());
    });
    frame->resize(1100, 800);
    frame->show();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
}

void EditorTest::TearDown() {
    mdi->closeAllSubWindows();
    frame->close();
    frame.reset();
    GuiTest::TearDown();
}

VehicleRec& EditorTest::vehicle(VehicleRec initial) {
    return records.emplace_back(std::move(initial));
}

VehicleForm* EditorTest::open(VehicleRec& rec) {
    // A record on a test's stack dies before TearDown closes the window that shows it.
    EXPECT_TRUE(std::any_of(records.begin(), records.end(),
                            [&rec](const VehicleRec& r) { return &r == &rec; }))
        << "open() takes a record made by vehicle(), which outlives every window";
    auto* form = new VehicleForm(&owner, &rec, panel);
    QMdiSubWindow* sub = mdi->addSubWindow(form);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->resize(VehicleForm::kDefaultSize);
    sub->show();
    activate(form);
    return form;
}

void EditorTest::activate(VehicleForm* form) {
    mdi->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(form->parentWidget()));
    QApplication::processEvents();
}

QPoint EditorTest::cell(VehicleForm* form, int x, int y) {
    const int z = form->Zoom();
    return {x * z + z / 2, y * z + z / 2};
}

void EditorTest::drag(QWidget* view, Qt::MouseButton button, Qt::KeyboardModifiers mods,
                      const std::vector<QPoint>& points) {
    QTest::mousePress(view, button, mods, points.front());
    for (std::size_t i = 1; i < points.size(); ++i)
        QTest::mouseEvent(QTest::MouseMove, view, Qt::NoButton, mods, points[i]);
    QTest::mouseRelease(view, button, mods, points.back());
}

void EditorTest::clickTool(const char* name) {
    auto* bar = panel->findChild<QToolBar*>(QStringLiteral("ToolBar"));
    QWidget* button = bar->widgetForAction(find<QAction>(name));
    QTest::mouseClick(button, Qt::LeftButton);
}

void EditorTest::key(int k, Qt::KeyboardModifiers mods) {
    QTest::keyClick(frame.get(), static_cast<Qt::Key>(k), mods);
}

}  // namespace rvk::test
