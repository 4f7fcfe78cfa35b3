// The committed example documents are exactly what their generator draws, and the
// command-line tool reads and draws them.
#include <gtest/gtest.h>

#include <set>

#include "cli_test_support.h"

namespace rvk::clitest {
namespace {

const std::string kExamples = std::string(RVK_SOURCE_DIR) + "/examples";

std::set<std::string> DocumentFiles(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string ext = entry.path().extension().string();
        if (ext == ".rvk" || ext == ".fzz") names.insert(entry.path().filename().string());
    }
    return names;
}

TEST(Examples, CommittedFilesMatchTheGenerator) {
    TempDir out;
    const ToolRun run = RunProgram(MAKE_EXAMPLES_PATH, Quote(out.path().string()));
    ASSERT_EQ(run.status, 0) << run.err;
    const auto made = DocumentFiles(out.path());
    EXPECT_EQ(made, (std::set<std::string>{"trams.rvk", "trams-00-00.fzz", "trams-01-01.fzz"}));
    EXPECT_EQ(DocumentFiles(kExamples), made);
    for (const std::string& name : made)
        EXPECT_TRUE(ReadText(out / name) == ReadText(kExamples + "/" + name))
            << name << " differs: run make_examples on examples/ and commit the result";
}

TEST(Examples, ToolReadsAndDrawsThem) {
    const std::string doc = Quote(kExamples + "/trams.rvk");
    const ToolRun info = Tool("info " + doc);
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("Fleet 0 \"Trams\""), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("Fleet 1 \"Locomotives\": 2 vehicles"), std::string::npos);
    EXPECT_NE(info.out.find("\"Tank engine\""), std::string::npos);
    EXPECT_NE(info.out.find("views: 6, steam points: 2"), std::string::npos);
    EXPECT_EQ(Tool("dump " + doc).status, 0);

    TempDir dir;
    for (const char* night : {"0", "3"}) {
        const std::string png = dir / (std::string("tram") + night + ".png");
        const ToolRun run =
            Tool("render " + doc + " --fleet 0 --vehicle 0 --night " + night + " -o " + Quote(png));
        ASSERT_EQ(run.status, 0) << run.err;
        const auto picture = ReadPng(png);
        ASSERT_TRUE(picture);
        // The side views are 96 cells long at zoom 4, with their panel and margins.
        EXPECT_EQ(picture->width, 8 + 4 + 11 + 96 * 4 + 8);
    }
    const ToolRun zoom2 = Tool("render " + doc + " --fleet 1 --vehicle 1 --zoom2 --night 3 -o " +
                           Quote(dir / "loco.png"));
    EXPECT_EQ(zoom2.status, 0) << zoom2.err;
}

}  // namespace
}  // namespace rvk::clitest
