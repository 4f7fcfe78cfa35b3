// export-png and import-png on the example document.
#include <gtest/gtest.h>

#include "cli_test_support.h"
#include "records/draw_tools.h"
#include "storage/document_files.h"

namespace rvk::clitest {
namespace {

const std::string kExamples = std::string(RVK_SOURCE_DIR) + "/examples";
const char* const kDocFiles[] = {"trams.rvk", "trams-00-00.fzz", "trams-01-01.fzz"};

void CopyExamples(const TempDir& dir) {
    for (const char* name : kDocFiles) fs::copy_file(kExamples + "/" + name, dir / name);
}

bool SameAsExamples(const TempDir& dir) {
    for (const char* name : kDocFiles)
        if (ReadText(dir / name) != ReadText(kExamples + "/" + name)) return false;
    return true;
}

std::string ViewArgs(int fleet, int vehicle, int view, bool zoom2) {
    return " --fleet " + std::to_string(fleet) + " --vehicle " + std::to_string(vehicle) +
           " --view " + std::to_string(view) + (zoom2 ? " --zoom2" : "");
}

// Each view, exported, then painted over in the document, then imported again: the
// document and its Zoom2 files come back byte for byte.
TEST(PngTool, ExportThenImportRestoresEveryViewAtBothScales) {
    FileDoc examples;
    examples.path = kExamples + "/trams.rvk";
    ASSERT_TRUE(LoadDocument(examples).ok);
    int rounds = 0;
    for (std::size_t f = 0; f < examples.fleets.size(); ++f)
        for (std::size_t v = 0; v < examples.fleets[f]->vehicles.size(); ++v)
            for (const bool zoom2 : {false, true}) {
                VehicleRec& sample = *examples.fleets[f]->vehicles[v];
                if (zoom2 && !sample.Zoom2Exists) continue;
                for (int view = 0; view < sample.viewCount(); ++view) {
                    const std::string args =
                        ViewArgs(static_cast<int>(f), static_cast<int>(v), view, zoom2);
                    SCOPED_TRACE(args);
                    TempDir dir;
                    CopyExamples(dir);
                    const std::string png = dir / "view.png";
                    const bool types = ++rounds % 2 == 0;
                    const ToolRun out = Tool("export-png " + Quote(dir / "trams.rvk") + args +
                                             (types ? " --types" : "") + " -o " + Quote(png));
                    ASSERT_EQ(out.status, 0) << out.err;
                    EXPECT_EQ(fs::exists(dir / "view.types.png"), types);

                    // Paint the visible area with a value no example uses.
                    FileDoc doc;
                    doc.path = dir / "trams.rvk";
                    ASSERT_TRUE(LoadDocument(doc).ok);
                    VehicleRec& rec = *doc.fleets[f]->vehicles[v];
                    const ViewSize size = ViewGeometry(&rec, view, zoom2);
                    const int top = RowOffset(rec, view, zoom2);
                    FillRect(PlaneOf(&rec, view, zoom2), {0, top},
                             {size.width - 1, top + size.height - 1}, 0x63123456u);
                    rec.Zoom2Modified = zoom2;
                    ASSERT_TRUE(SaveDocument(doc).ok());
                    ASSERT_FALSE(SameAsExamples(dir));

                    const ToolRun in =
                        Tool("import-png " + Quote(dir / "trams.rvk") + args + " " + Quote(png));
                    ASSERT_EQ(in.status, 0) << in.err;
                    EXPECT_EQ(in.err, "");
                    EXPECT_TRUE(SameAsExamples(dir));
                }
            }
    // Tram and electric locomotive: 8 views at both scales; tank engine: 6 views.
    EXPECT_EQ(rounds, 8 * 2 + 6 + 8 * 2);
}

TEST(PngTool, ImportRefusesBadPicturesAndReportsCuts) {
    TempDir dir;
    CopyExamples(dir);
    const std::string doc = Quote(dir / "trams.rvk");
    const std::string png = dir / "front.png";
    ASSERT_EQ(Tool("export-png " + doc + ViewArgs(0, 0, 3, false) + " -o " + Quote(png)).status, 0);
    const std::string bytes = ReadText(png);

    // Refused pictures leave every file of the document as it was.
    WriteText(dir / "cut.png", bytes.substr(0, bytes.size() / 2));
    WriteText(dir / "text.png", "not a picture");
    WriteText(dir / "pair.png", bytes);
    WriteText(dir / "pair.types.png", "no types either");
    const struct {
        std::string file;
        std::string line;
    } refusals[] = {
        {dir / "cut.png", dir / "cut.png: is truncated\n"},
        {dir / "text.png", dir / "text.png: is not a PNG image\n"},
        {dir / "pair.png", dir / "pair.types.png: is not a PNG image\n"},
        {dir / "missing.png", dir / "missing.png: no such file\n"},
    };
    for (const auto& r : refusals) {
        const ToolRun run =
            Tool("import-png " + doc + ViewArgs(0, 0, 1, false) + " " + Quote(r.file));
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "rvktool import-png: " + r.line);
        EXPECT_TRUE(SameAsExamples(dir));
    }
    EXPECT_EQ(
        Tool("import-png " + doc + ViewArgs(0, 0, 1, false) + " --at 96,0 " + Quote(png)).status,
        2);

    // The 10-column end view placed at column 9 of the 16-column roof plane.
    const ToolRun cut =
        Tool("import-png " + doc + ViewArgs(0, 0, 2, false) + " --at 9,0 " + Quote(png));
    EXPECT_EQ(cut.status, 0);
    EXPECT_EQ(cut.err, png + ": 10 x 13 pixels cut to 7 x 13 at the plane's edges\n");
    EXPECT_FALSE(SameAsExamples(dir));
}

}  // namespace
}  // namespace rvk::clitest
