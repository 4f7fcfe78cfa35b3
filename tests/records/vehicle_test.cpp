#include "records/vehicle.h"

#include <gtest/gtest.h>

namespace rvk {
namespace {

TEST(Vehicle, FreshVehicleGeometry) {
    VehicleRec v;
    EXPECT_EQ(v.viewCount(), 8);
    EXPECT_FALSE(v.Zoom2Exists);
    EXPECT_EQ(v.Props, 0x8301u);
    const ViewSize side = ViewGeometry(&v, 0, false);
    EXPECT_EQ(side.width, 32);
    EXPECT_EQ(side.height, 14);
    EXPECT_EQ(ViewGeometry(&v, 2, false).width, 8);
    EXPECT_EQ(ViewGeometry(&v, 4, false).height, 16);
    EXPECT_EQ(ViewGeometry(&v, 7, false).height, 9);
    EXPECT_EQ(ViewGeometry(&v, 1, true).width, 64);
    EXPECT_EQ(ViewGeometry(&v, 1, true).height, 28);
    EXPECT_EQ(ViewGeometry(&v, 2, true).height, 32);
    EXPECT_EQ(ViewGeometry(&v, 3, true).height, 18);
    EXPECT_EQ(ViewGeometry(nullptr, 0, false).width, 0);
    const PlaneRef none = PlaneOf(static_cast<VehicleRec*>(nullptr), 0, false);
    EXPECT_EQ(none.plane, nullptr);
    EXPECT_EQ(none.width + none.height, 0);
    for (int view = 0; view < kViewCount; ++view) {
        const PlaneRef z = PlaneOf(&v, view, true);
        EXPECT_EQ(z.width, 2 * kPlaneWidth[view]);
        EXPECT_EQ(z.height, 2 * kPlaneHeight[view]);
        EXPECT_EQ(z.plane->at(z.width - 1, z.height - 1), kTransparent);
        EXPECT_FALSE(z.plane->allocated());
    }
}

TEST(Vehicle, VisibleRowsOfSideAndRoofViews) {
    VehicleRec v;
    v.Length = 256;
    EXPECT_EQ(ViewGeometry(&v, 2, false).height, 128);
    v.Length = 8;
    EXPECT_EQ(ViewGeometry(&v, 4, false).height, 4);
    v.HeightS = 2;
    EXPECT_EQ(RowOffset(v, 0, false), 12);
    EXPECT_EQ(RowOffset(v, 3, false), 0);
    v.Zoom2HeightS = 4;
    EXPECT_EQ(RowOffset(v, 1, true), 24);
}

TEST(Vehicle, PlanesAllocateOnFirstRealWrite) {
    Plane p(16, 14);
    p.set(3, 4, kTransparent);
    EXPECT_FALSE(p.allocated());
    p.set(3, 4, 0x00112233);
    EXPECT_TRUE(p.allocated());
    EXPECT_EQ(p.at(3, 4), 0x00112233u);
    EXPECT_EQ(p.at(0, 0), kTransparent);
    Plane q(16, 14);
    EXPECT_FALSE(p.sameContent(q));
    p.set(3, 4, kTransparent);
    EXPECT_TRUE(p.sameContent(q));
}

TEST(Vehicle, CopyClearsZoom2ModifiedOnly) {
    VehicleRec src;
    src.Zoom2Modified = true;
    src.Zoom2Exists = true;
    src.Zoom2Path = "/tmp/a-00-00.fzz";
    src.Info[0] = "Tram";
    src.Steam = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    src.Zoom2Planes[5].set(1, 1, 0x40FFFFFF);
    VehicleRec dst;
    CopyVehicle(dst, src);
    EXPECT_FALSE(dst.Zoom2Modified);
    EXPECT_EQ(dst.Zoom2Path, src.Zoom2Path);
    EXPECT_EQ(dst.Info[0], "Tram");
    EXPECT_EQ(dst.Steam, src.Steam);
    EXPECT_EQ(dst.Zoom2Planes[5].at(1, 1), 0x40FFFFFFu);
    EXPECT_FALSE(dst.Planes[0].allocated());  // only existing planes are copied
}

TEST(Vehicle, InitKeepsSteamValues) {
    VehicleRec v;
    v.Steam[4] = 77;
    v.SteamCount = 2;
    v.Length = 100;
    v.Planes[0].set(0, 0, 1);
    InitVehicle(v);
    EXPECT_EQ(v.Steam[4], 77);
    EXPECT_EQ(v.SteamCount, 0);
    EXPECT_EQ(v.Length, 32);
    EXPECT_EQ(v.Planes[0].at(0, 0), kTransparent);
}

TEST(Vehicle, DeriveZoom2DoublesPixels) {
    VehicleRec v;
    v.HeightS = 10;
    v.Planes[0].set(5, 13, 0x00ABCDEF);
    DeriveZoom2(v, "derived");
    EXPECT_TRUE(v.Zoom2Exists);
    EXPECT_TRUE(v.Zoom2Modified);
    EXPECT_EQ(v.Zoom2HeightS, 20);
    EXPECT_EQ(v.Zoom2Info, "derived");
    for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) EXPECT_EQ(v.Zoom2Planes[0].at(10 + dx, 26 + dy), 0x00ABCDEFu);
    EXPECT_EQ(v.Zoom2Planes[0].at(12, 26), kTransparent);
}

}  // namespace
}  // namespace rvk
