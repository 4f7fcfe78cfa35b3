// The vehicle window end to end: painting a whole view through its paint event, and a
// pen stroke delivered as mouse events with the repaint of the view it touches.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QSettings>
#include <QTabBar>
#include <QTemporaryDir>
#include <memory>

#include "app/tool_panel.h"
#include "editor/preview_pane.h"
#include "editor/trace_picture.h"
#include "editor/vehicle_form.h"
#include "editor/vehicle_owner.h"
#include "formats/lang_table.h"

namespace {

using namespace rvk;

QApplication& App() {
    static int argc = 1;
    static char name[] = "editor_bench";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

struct NoOwner : VehicleOwner {
    void MarkModified() override {}
    void RemoveVehicleWindow(TChildForm*) override {}
    TChildForm* documentWindow() override { return nullptr; }
    void UpdateVehicleLine(const VehicleRec*) override {}
    std::string CompanionFileName(const VehicleRec*) override { return {}; }
};

// A frame with the panel and one vehicle window on a long, busy vehicle.
struct Editor {
    explicit Editor(bool zoom2) {
        rec.Length = 256;
        for (Plane& plane : rec.Planes) FillBusy(plane);
        for (Plane& plane : rec.Zoom2Planes) FillBusy(plane);
        rec.Zoom2Exists = zoom2;
        auto* central = new QWidget;
        auto* row = new QHBoxLayout(central);
        auto* mdi = new QMdiArea;
        row->addWidget(mdi, 1);
        panel = new ToolPanel(texts);
        row->addWidget(panel);
        frame.setCentralWidget(central);
        panel->setMdiArea(mdi);
        frame.resize(1200, 900);
        frame.show();
        form = new VehicleForm(&owner, &rec, panel);
        mdi->addSubWindow(form)->show();
        QApplication::processEvents();
    }
    static void FillBusy(Plane& plane) {
        PixelValue* w = plane.mutableData();
        for (std::size_t i = 0; i < plane.size(); ++i)
            w[i] = i % 7 == 0 ? kTransparent : static_cast<PixelValue>(0x00102030u * (i % 5) + i);
    }

    QApplication& app = App();  // before any widget
    LangTexts texts;
    NoOwner owner;
    VehicleRec rec;
    QMainWindow frame;
    ToolPanel* panel = nullptr;
    VehicleForm* form = nullptr;
};

// The left side view at a zoom through its paint event into an image of the view's size,
// once per round.
void PaintLeftSide(benchmark::State& state, Editor& editor, int zoom) {
    editor.form->SetZoom(zoom);
    editor.form->Relayout();
    QWidget* view = editor.form->View(1);
    QImage target(view->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        view->render(&target, QPoint(), QRegion(), QWidget::DrawChildren);
        benchmark::DoNotOptimize(target.constBits());
    }
    state.counters["width"] = view->width();
    state.counters["height"] = view->height();
}

// The whole view through its paint event into an image of the view's size.
void PaintWholeView(benchmark::State& state, bool zoom2, int zoom, bool grid = false) {
    Editor editor(zoom2);
    editor.panel->SetCellGrid(grid);
    if (zoom2) editor.form->findChild<QTabBar*>(QStringLiteral("Tabs"))->setCurrentIndex(1);
    PaintLeftSide(state, editor, zoom);
}

void BM_PaintViewSide256x14Zoom16(benchmark::State& state) {
    PaintWholeView(state, false, 16);
}
BENCHMARK(BM_PaintViewSide256x14Zoom16)->Unit(benchmark::kMillisecond);

// The same with the cell grid over the pixels.
void BM_PaintViewSide256x14Zoom16Grid(benchmark::State& state) {
    PaintWholeView(state, false, 16, true);
}
BENCHMARK(BM_PaintViewSide256x14Zoom16Grid)->Unit(benchmark::kMillisecond);

void BM_PaintViewZoom2Side512x28Zoom8(benchmark::State& state) {
    PaintWholeView(state, true, 8);
}
BENCHMARK(BM_PaintViewZoom2Side512x28Zoom8)->Unit(benchmark::kMillisecond);

void Send(QWidget* view, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
          QPoint at) {
    QMouseEvent event(type, QPointF(at), view->mapToGlobal(QPointF(at)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(view, &event);
}

// One stroke of 200 movements over a zoom 16 side view; each movement is delivered,
// handled (undo recording, plane write, change mark) and its view repainted.
void BM_PenStroke200MovesZoom16(benchmark::State& state) {
    Editor editor(false);
    editor.form->SetZoom(16);
    editor.form->Relayout();
    QWidget* view = editor.form->View(1);
    QApplication::processEvents();
    constexpr int kMoves = 200;
    for (auto _ : state) {
        Send(view, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, QPoint(8, 8));
        for (int i = 0; i < kMoves; ++i) {
            const QPoint at(8 + 16 * (i % 256), 8 + 16 * ((i / 256) % 14));
            Send(view, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, at);
            view->repaint();
        }
        Send(view, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, QPoint(8, 8));
    }
    // Seconds per movement.
    state.counters["per_move"] =
        benchmark::Counter(static_cast<double>(state.iterations() * kMoves),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PenStroke200MovesZoom16)->Unit(benchmark::kMillisecond);

// Undo and Redo of the whole Zoom2 left side view mirrored, at zoom 8 on the Zoom2 tab,
// each with the controls filled again and every view repainted.
void BM_UndoRedoZoom2SideMirror(benchmark::State& state) {
    Editor editor(true);
    editor.form->findChild<QTabBar*>(QStringLiteral("Tabs"))->setCurrentIndex(1);
    editor.form->SetZoom(8);
    editor.form->Relayout();
    editor.form->SetSelection({1, {0, 0}, 1, {511, 27}});
    editor.form->Transform(TransformKind::MirrorLeftRight);
    QApplication::processEvents();
    for (auto _ : state) {
        editor.form->Undo();
        QApplication::processEvents();
        editor.form->Redo();
        QApplication::processEvents();
    }
    state.counters["per_command"] =
        benchmark::Counter(static_cast<double>(state.iterations() * 2),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_UndoRedoZoom2SideMirror)->Unit(benchmark::kMillisecond);

// One update of the preview pane after an edit: both side views at 1:1 and 2:1 at the
// four day/night levels, drawn anew into the pane's picture. 0: normal graphics,
// 1: Zoom2 graphics, the largest case.
void BM_PreviewUpdate(benchmark::State& state) {
    const bool zoom2 = state.range(0) != 0;
    Editor editor(zoom2);
    if (zoom2) editor.form->findChild<QTabBar*>(QStringLiteral("Tabs"))->setCurrentIndex(1);
    PreviewPane* pane = editor.form->Preview();
    pane->show();
    for (auto _ : state) {
        pane->Refresh();
        benchmark::DoNotOptimize(pane->Picture().constBits());
    }
    state.counters["width"] = pane->Picture().width();
    state.counters["height"] = pane->Picture().height();
}
BENCHMARK(BM_PreviewUpdate)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The left side view at zoom 16 through its paint event with a picture to trace that
// covers it at a whole scale, half see-through; 0: over the pixels, 1: under them.
void BM_PaintViewSide256x14Zoom16Trace(benchmark::State& state) {
    QTemporaryDir dir;
    // The picture is remembered in the settings: not in the user's own.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    Editor editor(false);
    const QString file = dir.filePath(QStringLiteral("trace.png"));
    QImage picture(1024, 56, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) picture.setPixel(x, y, qRgb(x, y * 4, x ^ y));
    picture.save(file);
    TraceParams params;
    params.file = file;
    params.scale = 0.25;
    params.under = state.range(0) != 0;
    if (!editor.form->Trace()->Load(params)) state.SkipWithError("picture not read");
    PaintLeftSide(state, editor, 16);
}
BENCHMARK(BM_PaintViewSide256x14Zoom16Trace)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
