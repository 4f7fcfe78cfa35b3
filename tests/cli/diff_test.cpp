#include <gtest/gtest.h>

#include <functional>

#include "cli_test_support.h"
#include "storage/companion_files.h"
#include "storage/document_files.h"

namespace rvk::clitest {
namespace {

constexpr PixelValue kInk = 0x00204080u;

// Fleet 0: three vehicles told apart by a pixel in the bottom row of side view 0;
// fleet 1: one vehicle with Zoom2 graphics.
FileDoc Base() {
    FileDoc doc;
    doc.info = "two\r\nlines";
    auto first = CreateFleet("Trams");
    for (int i = 0; i < 3; ++i) {
        auto v = std::make_unique<VehicleRec>();
        v->Info[0] = "car " + std::to_string(i);
        v->Planes[0].set(i, 13, kInk);
        v->Planes[0].set(7, 1, kInk);
        first->vehicles.push_back(std::move(v));
    }
    doc.fleets.push_back(std::move(first));
    auto second = CreateFleet("Zoom2");
    auto z = std::make_unique<VehicleRec>();
    z->Planes[3].set(2, 2, kInk);
    DeriveZoom2(*z, "derived");
    second->vehicles.push_back(std::move(z));
    doc.fleets.push_back(std::move(second));
    return doc;
}

std::string Save(FileDoc doc, const TempDir& dir, const std::string& folder) {
    fs::create_directories(dir.path() / folder);
    doc.path = dir / (folder + "/doc.rvk");
    EXPECT_TRUE(SaveDocument(doc).ok());
    return doc.path;
}

VehicleRec& At(FileDoc& doc, int fleet, int vehicle) {
    return *doc.fleets[fleet]->vehicles[vehicle];
}

// Each case changes B, a copy of A, in memory or on disk, and names the lines
// expected on standard output.
TEST(RvktoolDiff, ReportsWhatDiffersAndExitsOneThen) {
    struct Case {
        const char* name;
        std::function<void(FileDoc&)> change;
        std::function<void(const TempDir&)> onDisk;
        std::string expected;
    };
    const Case cases[] = {
        {"identical", nullptr, nullptr, ""},
        {"one pixel", [](FileDoc& d) { At(d, 0, 1).Planes[1].set(30, 12, kInk); }, nullptr,
         "vehicle 0.1 view 1: 1 pixel in 30,12..30,12\n"},
        {"one size", [](FileDoc& d) { At(d, 0, 2).Width = 10; }, nullptr,
         "vehicle 0.2 width: 8 -> 10\n"},
        // A lower side view hides its top rows: counted in the taller view's rows.
        {"hidden by a size", [](FileDoc& d) { At(d, 0, 0).HeightS = 12; }, nullptr,
         "vehicle 0.0 side height: 14 -> 12\n"
         "vehicle 0.0 view 0: 1 pixel in 7,1..7,1\n"},
        {"moved between fleets, one string changed",
         [](FileDoc& d) {
             auto v = std::move(d.fleets[0]->vehicles[0]);
             v->Info[1] = "say \"hi\"\n";
             d.fleets[0]->vehicles.erase(d.fleets[0]->vehicles.begin());
             d.fleets[1]->vehicles.push_back(std::move(v));
         },
         nullptr,
         "vehicle 0.0: moved to 1.1\n"
         "vehicle 0.0 info 1: \"\" -> \"say \\\"hi\\\"\\n\"\n"
         "vehicle 0.1: moved to 0.0\n"
         "vehicle 0.2: moved to 0.1\n"},
        {"added and removed, renamed",
         [](FileDoc& d) {
             d.fleets[1]->vehicles.clear();
             d.fleets[1]->name =
                 "Stra\xDF"
                 "e";
             d.fleets.push_back(CreateFleet("New"));
             d.fleets[2]->vehicles.push_back(std::make_unique<VehicleRec>());
             d.info = "two";
         },
         nullptr,
         "info: \"two\\r\\nlines\" -> \"two\"\n"
         "fleet 1: \"Zoom2\" -> \"Stra\xC3\x9F"
         "e\"\n"
         "fleet 2: none -> \"New\"\n"
         "vehicle 1.0: only in A\n"
         "vehicle 2.0: only in B\n"},
        {"Zoom2 only",
         [](FileDoc& d) {
             At(d, 1, 0).Zoom2Planes[3].set(10, 9, kInk);
             At(d, 1, 0).Zoom2Modified = true;
         },
         nullptr, "vehicle 1.0 zoom2 view 3: 1 pixel in 10,9..10,9\n"},
        {"damaged companion in B", nullptr,
         [](const TempDir& dir) { WriteText(dir / "b/doc-01-00.fzz", "not a Zoom2 file"); },
         "companion B 1.0: is not a Zoom2 graphics file or is damaged\n"
         "vehicle 1.0 zoom2: yes -> no\n"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        FileDoc b = Base();
        if (c.change) c.change(b);
        const std::string pathA = Save(Base(), dir, "a");
        const std::string pathB = Save(std::move(b), dir, "b");
        if (c.onDisk) c.onDisk(dir);
        const ToolRun run = Tool("diff " + Quote(pathA) + " " + Quote(pathB));
        EXPECT_EQ(run.out, c.expected) << c.name;
        EXPECT_EQ(run.status, c.expected.empty() ? 0 : 1) << c.name;
        EXPECT_EQ(run.err, "") << c.name;
    }
}

// Unreadable input must not look like a difference to a diff driver.
TEST(RvktoolDiff, UnreadableInputIsThreeAndUsageTwo) {
    TempDir dir;
    const std::string good = Save(Base(), dir, "a");
    FileDoc changed = Base();
    At(changed, 0, 0).Planes[0].set(9, 9, kInk);
    const std::string other = Save(std::move(changed), dir, "b");
    WriteText(dir / "junk.rvk", "junk");
    for (const std::string& args :
         {Quote(good) + " " + Quote(dir / "junk.rvk"), Quote(dir / "none.rvk") + " " + Quote(good),
          Quote(good) + " " + Quote(other) + " --png " + Quote(dir / "no/such/folder.png")}) {
        const ToolRun run = Tool("diff " + args);
        EXPECT_EQ(run.status, 3) << args;
        EXPECT_TRUE(run.oneErrorLine()) << run.err;
        EXPECT_EQ(run.out, "") << args;
    }
    EXPECT_EQ(Tool("diff " + Quote(good)).status, 2);
    EXPECT_EQ(Tool("diff " + Quote(good) + " " + Quote(good) + " --png -").status, 2);
}

// The picture shows A's and B's view side by side; each changed cell is framed in
// red on both, and nothing else is red.
TEST(RvktoolDiff, PictureMarksTheChangedCells) {
    TempDir dir;
    FileDoc b = Base();
    At(b, 0, 1).Planes[0].set(3, 5, kInk);
    At(b, 0, 1).Planes[0].set(20, 13, kInk);
    const std::string pathA = Save(Base(), dir, "a");
    const std::string pathB = Save(std::move(b), dir, "b");
    const ToolRun run =
        Tool("diff " + Quote(pathA) + " " + Quote(pathB) + " --png " + Quote(dir / "d.png"));
    ASSERT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, "vehicle 0.1 view 0: 2 pixels in 3,5..20,13\n");
    const auto picture = ReadPng(dir / "d.png");
    ASSERT_TRUE(picture);
    constexpr int kZoom = 4, kPanel = 32 * kZoom + 4, kMargin = 8, kGap = 9, kTop = 9;
    EXPECT_EQ(picture->width, 2 * kMargin + 2 * kPanel + kGap);
    EXPECT_EQ(picture->height, 2 * kTop + 14 * kZoom + 4);
    constexpr std::uint32_t kRed = 0xffff0000u;
    int red = 0;
    for (int y = 0; y < picture->height; ++y)
        for (int x = 0; x < picture->width; ++x) red += picture->at(x, y) == kRed;
    EXPECT_EQ(red, 2 * 2 * (4 * kZoom - 4));
    for (const int panelX : {kMargin + 2, kMargin + kPanel + kGap + 2})
        for (const auto& [cx, cy] : {std::pair{3, 5}, std::pair{20, 13}}) {
            const int x = panelX + cx * kZoom, y = kTop + 2 + cy * kZoom;
            EXPECT_EQ(picture->at(x, y), kRed);
            EXPECT_EQ(picture->at(x + kZoom - 1, y + kZoom - 1), kRed);
            EXPECT_NE(picture->at(x + 1, y + 1), kRed);
        }
}

}  // namespace
}  // namespace rvk::clitest
