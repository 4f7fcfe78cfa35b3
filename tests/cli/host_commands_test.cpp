// rvktool's host commands on the made-up installation of the tests.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <nlohmann/json.hpp>

#include "cli_test_support.h"
#include "host_fixture.h"

namespace rvk::clitest {
namespace {

using nlohmann::json;

class HostCommands : public ::testing::Test {
protected:
    void SetUp() override {
        hostfixture::WriteInstallation(hostfixture::SmallInstallation(), inst);
    }
    TempDir dir;
    std::string inst = dir / "host";
};

TEST_F(HostCommands, ListInTheDialogsOrder) {
    const ToolRun tram = Tool("host-list " + Quote(inst) + " --filter 0x1");
    ASSERT_EQ(tram.status, 0) << tram.err;
    // The default text file vuvi.lnv names two sets only.
    EXPECT_EQ(tram.out,
              "05002  1 vehicles, 0 with Zoom2  \n"
              "05012  3 vehicles, 1 with Zoom2  \n"
              "05030  1 vehicles, 0 with Zoom2  \n"
              "05040  1 vehicles, 1 with Zoom2  \n"
              "05040  1 vehicles, 0 with Zoom2  \n"
              "05000  1 vehicles, 0 with Zoom2  Grenze\n"
              "05001  2 vehicles, 0 with Zoom2     Strassenbahn\n");
    const ToolRun trolley = Tool("host-list " + Quote(inst) + " --filter=10000");
    EXPECT_EQ(trolley.out, "05003  1 vehicles, 1 with Zoom2  \n");
}

TEST_F(HostCommands, DumpAndExportAgree) {
    const ToolRun dump = Tool("host-dump " + Quote(inst) + " --filter 1 --texts vuvi_en.lnv");
    ASSERT_EQ(dump.status, 0) << dump.err;
    const json host = json::parse(dump.out);
    EXPECT_EQ(host["format"], "rvk-host-json-1");
    ASSERT_EQ(host["sets"].size(), 7u);
    EXPECT_EQ(host["sets"][0]["name"], "  alpha line");
    const json& zoomSet = host["sets"][6];
    EXPECT_EQ(zoomSet["number"], 5012);
    EXPECT_EQ(zoomSet["vehicles"][1]["position"], 4);
    EXPECT_EQ(zoomSet["vehicles"][0]["info"][0], "Motor car \u20AC");

    // Exported and dumped again, the vehicle is the one host-dump showed.
    const struct {
        int vehicle;
        const char* flag;
        const char* zoom2Info;
    } cases[] = {{0, "", "archive"},
                 {0, " --alternative", "alternative"},
                 {1, " --alternative", "alternative only"}};
    for (const auto& c : cases) {
        const std::string out = dir / "out.rvk";
        // A companion of an earlier document of that name must not stay for a later one.
        std::ofstream(dir / "out-00-01.fzz") << "stale";
        const ToolRun exported =
            Tool("host-export " + Quote(inst) + " --set 5012 --vehicle " +
                 std::to_string(c.vehicle) + c.flag + " --texts vuvi_en.lnv " + Quote(out));
        ASSERT_EQ(exported.status, 0) << exported.err;
        EXPECT_FALSE(std::filesystem::exists(dir / "out-00-01.fzz"));
        const json doc = json::parse(Tool("dump " + Quote(out)).out);
        json vehicle = zoomSet["vehicles"][c.vehicle];
        vehicle.erase("position");
        json got = doc["fleets"][0]["vehicles"][0];
        EXPECT_EQ(doc["fleets"][0]["name"], "Zoom set");
        EXPECT_EQ(got["zoom2"]["info"], c.zoom2Info);
        got.erase("zoom2");
        vehicle.erase("zoom2");
        EXPECT_EQ(got, vehicle);
    }
}

TEST_F(HostCommands, FaultsAndUsage) {
    const struct {
        std::string args;
        int status;
        std::string message;
    } cases[] = {
        {"host-list " + Quote(dir / "none"), 1, "is not a host installation"},
        {"host-dump " + Quote(inst), 2, "--filter is required"},
        {"host-list " + Quote(inst) + " --filter 0", 2, "hexadecimal"},
        {"host-export " + Quote(inst) + " --set 4999 --vehicle 0 " + Quote(dir / "x.rvk"), 2,
         "--set"},
        {"host-export " + Quote(inst) + " --set 5020 --vehicle 0 " + Quote(dir / "x.rvk"), 1,
         "no set 5020"},
        {"host-export " + Quote(inst) + " --set 5002 --vehicle 1 " + Quote(dir / "x.rvk"), 1,
         "no vehicle 1"},
        {"host-export " + Quote(inst) + " --set 5002 --vehicle 0 --alternative " +
             Quote(dir / "x.rvk"),
         1, "05002-00.fzz: no such file"},
    };
    for (const auto& c : cases) {
        const ToolRun run = Tool(c.args);
        EXPECT_EQ(run.status, c.status) << c.args;
        EXPECT_TRUE(run.oneErrorLine() || c.status == 2) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    // Without the archive the sets are listed with a warning.
    std::filesystem::remove(inst + "/vuvi.fz2");
    const ToolRun bare = Tool("host-list " + Quote(inst) + " --filter 1");
    EXPECT_EQ(bare.status, 0);
    EXPECT_NE(bare.err.find("vuvi.fz2: cannot be opened"), std::string::npos);
    for (const char* command : {"host-list", "host-dump", "host-export"}) {
        const ToolRun help = Tool(std::string(command) + " --help");
        EXPECT_EQ(help.status, 0);
        EXPECT_NE(help.out.find(std::string("usage: rvktool ") + command), std::string::npos);
    }
}

}  // namespace
}  // namespace rvk::clitest
