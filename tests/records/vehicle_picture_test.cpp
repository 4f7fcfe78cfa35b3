#include "records/vehicle_picture.h"

#include <gtest/gtest.h>

#include <memory>

namespace rvk {
namespace {

std::uint32_t At(const RgbaImage& image, int x, int y) {
    const std::uint8_t* p = image.at(x, y);
    return ScreenWord(MakeRgb(p[0], p[1], p[2]));
}

std::unique_ptr<VehicleRec> Vehicle(int length, int height, PixelValue first, PixelValue last) {
    auto rec = std::make_unique<VehicleRec>();
    InitVehicle(*rec);
    rec->Length = static_cast<std::uint8_t>(length);
    rec->HeightS = static_cast<std::uint8_t>(height);
    // The left side view's first and last visible cells of the bottom row.
    const int bottom = kPlaneHeight[1] - 1;
    rec->Planes[1].set(0, bottom, first);
    rec->Planes[1].set(length - 1, bottom, last);
    return rec;
}

TEST(TrainPicture, VehiclesStandCoupledOnOneLineOnTheSky) {
    FleetRec fleet;
    fleet.vehicles.push_back(Vehicle(10, 14, 0x000000FFu, 0x0000FF00u));
    fleet.vehicles.push_back(Vehicle(7, 9, 0x00FF0000u, 0x40FFFFFFu));
    fleet.vehicles.push_back(Vehicle(3, 12, 0x60102030u, 0x00FFFFFFu));
    for (const int zoom : {1, 3})
        for (const NightLevel level : {0, 1, 3}) {
            const std::vector<Rect> places = TrainPlaces(fleet, zoom);
            ASSERT_EQ(places.size(), 3u);
            EXPECT_EQ(places[0], (Rect{0, 0, 10 * zoom, 14 * zoom}));
            EXPECT_EQ(places[1], (Rect{10 * zoom, 5 * zoom, 7 * zoom, 9 * zoom}));
            EXPECT_EQ(places[2], (Rect{17 * zoom, 2 * zoom, 3 * zoom, 12 * zoom}));
            const RgbaImage image = DrawTrainPicture(fleet, level, zoom);
            ASSERT_EQ(image.width, 20 * zoom);
            ASSERT_EQ(image.height, 14 * zoom);
            const int bottom = image.height - 1;
            for (std::size_t i = 0; i < places.size(); ++i) {
                const VehicleRec& rec = *fleet.vehicles[i];
                const Rect& r = places[i];
                const int row = kPlaneHeight[1] - 1;
                EXPECT_EQ(At(image, r.x, bottom), ScreenWord(DisplayColor(rec.Planes[1].at(0, row), level)));
                EXPECT_EQ(At(image, r.right() - 1, bottom),
                          ScreenWord(DisplayColor(rec.Planes[1].at(rec.Length - 1, row), level)));
                // Transparent cells and the room above a lower vehicle show the sky.
                EXPECT_EQ(At(image, r.x + zoom, bottom), ScreenWord(SkyColor(level)));
                EXPECT_EQ(At(image, r.x, 0), ScreenWord(SkyColor(level)));
            }
        }
    EXPECT_EQ(DrawTrainPicture(FleetRec{}, 0, 2).width, 0);
}

TEST(PreviewPicture, BandsPerLevelWithBothSideViewsAtBothScales) {
    auto rec = Vehicle(20, 5, 0x000000FFu, 0x610000FFu);
    const int bottom = kPlaneHeight[1] - 1;
    rec->Planes[0].set(0, bottom, 0x40FF0000u);
    for (const bool zoom2 : {false, true}) {
        if (zoom2) {
            rec->Zoom2Exists = true;
            rec->Zoom2HeightS = 10;
            const ConstPlaneRef z = PlaneOf(static_cast<const VehicleRec*>(rec.get()), 1, true);
            rec->Zoom2Planes[1].set(0, z.height - 1, 0x0000FF00u);
        }
        const ViewSize size = ViewGeometry(rec.get(), 1, zoom2);
        const NightLevel levels[] = {0, 1, 2, 3};
        const PictureSize extent = PreviewSize(*rec, zoom2, 4);
        std::vector<std::uint32_t> bits(static_cast<std::size_t>(extent.width) * extent.height);
        Canvas canvas{bits.data(), extent.width, extent.height, extent.width};
        DrawPreview(canvas, *rec, zoom2, levels);
        const RgbaImage image = CanvasPicture(canvas);
        const int band = extent.height / 4;
        const int gap = (extent.width - 2 * size.width) / 3;
        ASSERT_EQ(band, 5 * size.height + 4 * gap);
        for (const NightLevel level : levels) {
            const auto colour = [&](int view, int x) {
                const ConstPlaneRef p = PlaneOf(static_cast<const VehicleRec*>(rec.get()), view, zoom2);
                const PixelValue v = p.plane->at(x, p.height - 1);
                return ScreenWord(v == kTransparent ? SkyColor(level) : DisplayColor(v, level));
            };
            const int top = level * band;
            EXPECT_EQ(At(image, 0, top), ScreenWord(SkyColor(level)));
            // 1:1, left side view first, then the right one.
            const int row1 = top + gap + size.height - 1;
            EXPECT_EQ(At(image, gap, row1), colour(1, 0));
            EXPECT_EQ(At(image, gap + size.width - 1, row1), colour(1, size.width - 1));
            EXPECT_EQ(At(image, 2 * gap + size.width, row1), colour(0, 0));
            // 2:1 each on a row of its own: the bottom-right screen pixel of the first cell.
            const int row2 = top + 2 * gap + 3 * size.height - 1;
            const int row3 = row2 + gap + 2 * size.height;
            EXPECT_EQ(At(image, gap + 1, row2), colour(1, 0));
            EXPECT_EQ(At(image, gap + 2 * size.width - 1, row2), colour(1, size.width - 1));
            EXPECT_EQ(At(image, gap + 1, row3), colour(0, 0));
        }
    }
}

}  // namespace
}  // namespace rvk
