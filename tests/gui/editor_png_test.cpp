// PNG pictures through the vehicle window's Edit menu and the clipboard: exact values
// kept, foreign pictures mapped by their alpha, and a hurried user's mistakes.
#include <QAction>
#include <QFile>
#include <QTemporaryDir>

#include "editor/qt_support.h"
#include "editor_test_host.h"
#include "formats/png_exchange.h"
#include "platform/settings_store.h"
#include "records/vehicle_picture.h"

namespace rvk {
namespace {

using test::EditorTest;

constexpr PixelValue kLamp = 0x5000A0FF;
const std::vector<PixelValue> kSource = {0x000000FF, kTransparent, 0x00123456,
                                         kLamp,      0x00010203,   kHalfTransparent};

class PngTest : public EditorTest {
protected:
    VehicleForm* openFilled() {
        for (int i = 0; i < 6; ++i) rec.Planes[2].set(1 + i % 3, 1 + i / 3, kSource[i]);
        VehicleForm* form = open(rec);
        select(form, 2, {1, 1}, {3, 2});
        return form;
    }
    void select(VehicleForm* form, int view, QPoint a, QPoint b) {
        click(form->View(view), Qt::LeftButton, Qt::ShiftModifier, cell(form, a.x(), a.y()));
        click(form->View(view), Qt::RightButton, Qt::ShiftModifier, cell(form, b.x(), b.y()));
    }
    static void trigger(VehicleForm* form, const char* item) {
        form->findChild<QAction*>(QLatin1String(item))->trigger();
    }
    std::vector<PixelValue> pastedAt(int view, int x0, int y0) const {
        std::vector<PixelValue> out;
        for (int i = 0; i < 6; ++i) out.push_back(rec.Planes[view].at(x0 + i % 3, y0 + i / 3));
        return out;
    }
    QString file(const char* name) const { return dir.filePath(QLatin1String(name)); }

    VehicleRec& rec = vehicle();
    QTemporaryDir dir;
};

QByteArray Bytes(const std::vector<std::uint8_t>& v) {
    return QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()));
}

TEST_F(PngTest, ExportThenImportAsOneUndoStepAfterAHurriedStart) {
    VehicleForm* form = openFilled();
    prompts().answerText(file("part.png"));
    prompts().answerMessage(MsgAnswer::Yes);  // with the types picture
    trigger(form, "iExportSelection");
    EXPECT_TRUE(QFile::exists(file("part.png")));
    EXPECT_TRUE(QFile::exists(file("part.types.png")));
    EXPECT_EQ(SettingsStore().pngFolder(), dir.path());
    EXPECT_EQ(owner.modified, 0);

    // Cancelled file dialog, then a file that is no picture: nothing changes.
    select(form, 4, {0, 0}, {0, 0});
    const std::vector<PixelValue> before = pastedAt(4, 0, 0);
    prompts().answerText(std::nullopt);
    trigger(form, "iImportPicture");
    QFile::copy(file("part.png"), file("bad.png"));
    QFile(file("bad.png")).resize(40);
    prompts().answerText(file("bad.png"));
    prompts().answerMessage(MsgAnswer::Ok);
    trigger(form, "iImportPicture");
    const std::vector<PromptCall> opens = prompts().callsOf(PromptKind::OpenFile);
    ASSERT_EQ(opens.size(), 2u);
    EXPECT_EQ(opens[0].folder, dir.path());  // the folder used last
    const std::vector<PromptCall> messages = prompts().callsOf(PromptKind::Message);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, "Cannot import:\r\n" + file("bad.png") + ": is truncated");
    EXPECT_EQ(messages[1].icon, MsgIcon::Error);
    EXPECT_EQ(pastedAt(4, 0, 0), before);
    EXPECT_EQ(owner.modified, 0);

    // The picture comes back with every colour type; one Undo takes it away again.
    prompts().answerText(file("part.png"));
    trigger(form, "iImportPicture");
    EXPECT_EQ(pastedAt(4, 0, 0), kSource);
    EXPECT_EQ(owner.modified, 1);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(pastedAt(4, 0, 0), before);
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(pastedAt(4, 0, 0), kSource);

    // A types picture painted over in another program: a stranger colour counts Normal.
    const ClipImage source{3, 2, kSource};
    RgbaImage types = TypesPicture(source);
    types.at(0, 1)[1] = 0x42;  // the lamp's pixel
    std::string error;
    QFile typesFile(file("part.types.png"));
    ASSERT_TRUE(typesFile.open(QIODevice::WriteOnly));
    typesFile.write(Bytes(*EncodePng(types, true, PngChunk{}, error)));
    typesFile.close();
    prompts().answerText(file("part.png"));
    prompts().answerMessage(MsgAnswer::Ok);
    trigger(form, "iImportPicture");
    EXPECT_EQ(rec.Planes[4].at(0, 1), 0x0000A0FFu);
    EXPECT_EQ(prompts().callsOf(PromptKind::Message).back().text, "1 of no type");
    EXPECT_EQ(prompts().pendingAnswers(), 0u);
}

TEST_F(PngTest, ClipboardCarriesThePngAndForeignPicturesKeepTheirTransparency) {
    VehicleForm* form = openFilled();
    trigger(form, "iCopy");
    const std::optional<QByteArray> png = clip().png();
    ASSERT_TRUE(png);
    PictureReadError error;
    const auto read = DecodePicturePng(
        {reinterpret_cast<const std::uint8_t*>(png->constData()), std::size_t(png->size())},
        std::nullopt, 16, 128, error);
    ASSERT_TRUE(read);
    EXPECT_TRUE(read->exact);
    EXPECT_EQ(read->image.pixels, kSource);

    // An image editor's picture: a colour and a nearly clear pixel.
    RgbaImage foreign(2, 1);
    const std::uint8_t pixels[8] = {10, 20, 30, 255, 40, 50, 60, 10};
    std::copy(pixels, pixels + 8, foreign.pixels.begin());
    std::string reason;
    clip().offerPicture(Bytes(*EncodePng(foreign, true, PngChunk{}, reason)),
                        QImage(2, 1, QImage::Format_RGB32));
    rec.Planes[4].set(1, 0, kLamp);
    select(form, 4, {0, 0}, {0, 0});
    trigger(form, "iPaste");
    EXPECT_EQ(rec.Planes[4].at(0, 0), 0x001E140Au);
    EXPECT_EQ(rec.Planes[4].at(1, 0), kTransparent);
}

TEST_F(PngTest, ExportViewsAsksForAZoomFirst) {
    VehicleForm* form = openFilled();
    prompts().answerNumber(std::nullopt);
    trigger(form, "iExportViews");
    const PromptCall ask = prompts().callsOf(PromptKind::ChooseNumber).at(0);
    EXPECT_EQ(ask.initial, "4");  // the window's zoom
    EXPECT_EQ(ask.minimum, 1);
    EXPECT_EQ(ask.maximum, 16);
    EXPECT_TRUE(prompts().callsOf(PromptKind::SaveFile).empty());

    prompts().answerNumber(3);
    prompts().answerText(file("views.png"));
    trigger(form, "iExportViews");
    QFile out(file("views.png"));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    const QImage written = QImage::fromData(out.readAll(), "PNG");
    const RgbaImage expected = DrawVehiclePicture(rec, false, 3, kLayoutBelow, 0, false);
    EXPECT_EQ(written.size(), QSize(expected.width, expected.height));
    const std::uint8_t* p = expected.at(10, 10);
    EXPECT_EQ(written.pixel(10, 10), qRgb(p[0], p[1], p[2]));
}

TEST_F(PngTest, ExportedPictureIsWhatTheWindowShowsInEveryLayout) {
    for (int v = 0; v < kViewCount; ++v) rec.Planes[v].set(v % 4, v % 8, kSource[v % 6]);
    VehicleForm* form = open(rec);
    QWidget* area = form->findChild<QWidget*>(QStringLiteral("ViewArea"));
    for (const char* layout : {"iLayout1", "iLayout2"})
        for (const bool extra : {false, true})
            for (const int zoom : {1, 4}) {
                SCOPED_TRACE(::testing::Message()
                             << layout << " extra " << extra << " zoom " << zoom);
                trigger(form, layout);
                rec.Props = extra ? rec.Props | kExtraViews : rec.Props & ~kExtraViews;
                form->SetZoom(zoom);
                form->Relayout();
                const QImage shown = area->grab().toImage();
                const RgbaImage exported =
                    DrawVehiclePicture(rec, false, zoom, panel->ViewLayout(), 0, false);
                ASSERT_EQ(shown.size(), QSize(exported.width, exported.height));
                int differing = 0;
                for (int y = 0; y < exported.height; ++y)
                    for (int x = 0; x < exported.width; ++x) {
                        const std::uint8_t* p = exported.at(x, y);
                        differing += shown.pixel(x, y) != qRgb(p[0], p[1], p[2]);
                    }
                EXPECT_EQ(differing, 0);
                // Under the end views the first marker of a column points down, the one
                // under the extra view up: its widest row is at the top or the bottom.
                const auto pointsDown = [&](LayoutImage image) {
                    const Rect& r = form->Layout().images[image];
                    std::vector<int> widths;
                    for (int y = r.y; y < r.bottom(); ++y) {
                        int n = 0;
                        for (int x = r.x; x < r.right(); ++x)
                            n += shown.pixel(x, y) == ScreenColor(kPanelFrameColor).rgb();
                        if (n > 0) widths.push_back(n);
                    }
                    EXPECT_GT(widths.size(), 1u) << image;
                    return widths.size() > 1 && widths.front() > widths.back();
                };
                EXPECT_TRUE(pointsDown(kImgS));
                EXPECT_TRUE(pointsDown(kImg2S));
                if (extra) {
                    EXPECT_FALSE(pointsDown(kImg2N));
                    EXPECT_FALSE(pointsDown(kImgN));
                }
            }
}

}  // namespace
}  // namespace rvk
