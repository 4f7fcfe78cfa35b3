// The fleet as a train below the fleet window's list, driven with real events.
#include <QAction>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QTest>

#include "app/main_form.h"
#include "docwin/file_form.h"
#include "editor/vehicle_form.h"
#include "fleet/fleet_form.h"
#include "fleet/train_strip.h"
#include "formats/png_codec.h"
#include "records/vehicle_picture.h"
#include "shell/name_list_box.h"
#include "shell_test.h"

namespace rvk {
namespace {

using test::ShellTest;

QImage Opaque(const RgbaImage& rgba) {
    QImage image(rgba.width, rgba.height, QImage::Format_RGB32);
    for (int y = 0; y < rgba.height; ++y)
        for (int x = 0; x < rgba.width; ++x) {
            const std::uint8_t* p = rgba.at(x, y);
            image.setPixel(x, y, qRgb(p[0], p[1], p[2]));
        }
    return image;
}

QImage Expected(const FleetRec& fleet, NightLevel level, int zoom) {
    return Opaque(DrawTrainPicture(fleet, level, zoom));
}

class TrainStripTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        main_ = startMain();
        path_ = writeDocument(QStringLiteral("train.rvk"), 1, 3);
        main_->OpenDocument(path_);
        doc_ = main_->documents().back();
        fleetWindow_ = openFleet(doc_, 0);
        ASSERT_NE(fleetWindow_, nullptr);
        strip_ = fleetWindow_->trainStrip();
        EXPECT_TRUE(strip_->isHidden());
        ASSERT_TRUE(trigger(fleetWindow_->popupMenu(), "pTrain"));
        ASSERT_FALSE(strip_->isHidden());
    }
    void TearDown() override {
        for (TFileForm* doc : main_->documents()) doc->document().modified = false;
        endMain(main_);
        ShellTest::TearDown();
    }
    const FleetRec& fleet() const { return fleetWindow_->fleet(); }
    bool showsFleet() const {
        return strip_->Picture() == Expected(fleet(), strip_->Level(), strip_->Zoom());
    }

    std::unique_ptr<TMainForm> main_;
    QString path_;
    TFileForm* doc_ = nullptr;
    TFleetForm* fleetWindow_ = nullptr;
    TrainStrip* strip_ = nullptr;
};

TEST_F(TrainStripTest, FollowsEditsMovesInsertsAndDeletesAtOnce) {
    EXPECT_TRUE(showsFleet());
    strip_->SetLevel(3);
    strip_->SetZoom(3);
    EXPECT_TRUE(showsFleet());

    // A pen click in the left side view of the second vehicle.
    fleetWindow_->OpenVehicle(1);
    auto* form = dynamic_cast<VehicleForm*>(fleetWindow_->vehicleWindowOf(fleet().vehicles[1].get()));
    ASSERT_NE(form, nullptr);
    const QImage before = strip_->Picture();
    const int z = form->Zoom();
    QTest::mouseClick(form->View(1), Qt::LeftButton, {}, QPoint(2 * z + z / 2, 5 * z + z / 2));
    EXPECT_NE(strip_->Picture(), before);
    EXPECT_TRUE(showsFleet());
    form->close();

    // Cut and paste in front of the first: the vehicle moves.
    fleetWindow_->vehicleBox()->selectRow(2);
    ASSERT_TRUE(trigger(fleetWindow_->popupMenu(), "pCut"));
    EXPECT_EQ(fleet().vehicles.size(), 2u);
    EXPECT_TRUE(showsFleet());
    fleetWindow_->vehicleBox()->selectRow(0);
    ASSERT_TRUE(trigger(fleetWindow_->popupMenu(), "pPaste"));
    EXPECT_EQ(fleet().vehicles.front()->Info[0], "Fleet 0/2");
    EXPECT_TRUE(showsFleet());

    prompts().answerText(QStringLiteral("New one"));
    ASSERT_TRUE(trigger(fleetWindow_->popupMenu(), "pNew"));
    EXPECT_EQ(fleet().vehicles.size(), 4u);
    EXPECT_TRUE(showsFleet());

    for (int left = 4; left > 0; --left) {
        fleetWindow_->vehicleBox()->selectRow(0);
        prompts().answerMessage(MsgAnswer::Yes);
        ASSERT_TRUE(trigger(fleetWindow_->popupMenu(), "pDelete"));
        EXPECT_TRUE(showsFleet()) << left;
    }
    EXPECT_TRUE(strip_->Picture().isNull());
}

TEST_F(TrainStripTest, DoubleClickOpensTheVehicleUnderThePointer) {
    strip_->SetZoom(2);
    const std::vector<Rect> places = TrainPlaces(fleet(), 2);
    const Rect& r = places[2];
    QTest::mouseDClick(strip_->canvas(), Qt::LeftButton, {}, QPoint(r.x + 1, r.bottom() - 1));
    EXPECT_NE(fleetWindow_->vehicleWindowOf(fleet().vehicles[2].get()), nullptr);
    EXPECT_EQ(fleetWindow_->vehicleWindowOf(fleet().vehicles[1].get()), nullptr);
}

TEST_F(TrainStripTest, RvktoolDrawsTheSamePicture) {
    const QString out = dataPath(QStringLiteral("train.png"));
    for (const auto& [level, zoom] : {std::pair{0, 1}, {2, 3}}) {
        strip_->SetLevel(level);
        strip_->SetZoom(zoom);
        QProcess tool;
        tool.start(QStringLiteral(RVK_BIN_DIR "/rvktool"),
                   {QStringLiteral("render"), path_, QStringLiteral("--fleet"), QStringLiteral("0"),
                    QStringLiteral("--night"), QString::number(level), QStringLiteral("--zoom"),
                    QString::number(zoom), QStringLiteral("-o"), out});
        ASSERT_TRUE(tool.waitForFinished(30000));
        ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
        QFile file(out);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        std::string error;
        const auto png = DecodePng({reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                    static_cast<std::size_t>(bytes.size())},
                                   PngReadLimits{4096, 4096}, error);
        ASSERT_TRUE(png) << error;
        EXPECT_EQ(Opaque(png->image), strip_->Picture()) << level << " " << zoom;
    }
}

}  // namespace
}  // namespace rvk
