// rvktool import-ufg: a pair of old-format vehicle files as a new document.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "../host/ufg_pair.h"
#include "cli_test_support.h"
#include "host/ufg_import.h"
#include "records/pixel.h"
#include "storage/document_files.h"

namespace rvk::clitest {
namespace {

using nlohmann::json;
using namespace ufgtest;

struct Pair {
    TempDir dir;
    std::string ufg = dir / "old.ufg", uzz = dir / "old.uzz", out = dir / "new.rvk";
    ToolRun import(const Bytes& graphics, const Bytes& companion) {
        WriteBytes(ufg, graphics);
        WriteBytes(uzz, companion);
        return Tool("import-ufg " + Quote(ufg) + " " + Quote(out));
    }
    json dump() const {
        const ToolRun run = Tool("dump " + Quote(out));
        EXPECT_EQ(run.status, 0) << run.err;
        return json::parse(run.out);
    }
};

std::string Hex(PixelValue p) {
    char s[9];
    std::snprintf(s, sizeof s, "%08x", p);
    return s;
}

TEST(ImportUfg, WritesEveryFleetAndVehicleOfThePair) {
    Pair pair;
    // A companion file of an earlier document of that name must not be given to the
    // imported vehicles.
    WriteText(pair.dir / "new-00-00.fzz", "stale");
    const ToolRun run = pair.import(SampleUfg(), SampleUzz());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.err.empty()) << run.err;
    EXPECT_FALSE(std::filesystem::exists(pair.dir / "new-00-00.fzz"));
    const json doc = pair.dump();
    EXPECT_EQ(doc["info"], "Sample pair\r\nline 2");
    ASSERT_EQ(doc["fleets"].size(), 2u);
    EXPECT_EQ(doc["fleets"][0]["name"], "Tr\xC3\xA4mways");
    EXPECT_EQ(doc["fleets"][1]["name"], "Steam");
    const json& tram = doc["fleets"][0]["vehicles"][0];
    EXPECT_EQ(tram["length"], 8);
    EXPECT_EQ(tram["props"], 0x8241);
    EXPECT_EQ(tram["steam"], json::parse("[[4, 9, 4]]"));
    EXPECT_EQ(tram["info"], json::parse("[\"c\xC3\xBC\", \"ab\", \"\", \"\", \"\"]"));
    EXPECT_EQ(tram["zoom2"], nullptr);
    // Side tile 0 of the first fleet: corner code 40, body code 1.
    const std::string right = tram["views"][0];
    EXPECT_EQ(right.substr(0, 16), Hex(HostPalette(40)) + Hex(HostPalette(1)));
    const json& last = doc["fleets"][1]["vehicles"][2];
    EXPECT_EQ(last["props"], 0x8301);
    EXPECT_EQ(last["info"][0], "???");
    EXPECT_EQ(last["views"].size(), 8u);
}

TEST(ImportUfg, KeepsFleetsAndVehiclesBeyondADocumentsLimits) {
    Pair pair;
    UfgFleet big = SampleUfgFleet(1);
    big.vehicles.assign(17, Bytes{1, 1, 1, 1});
    const ToolRun run =
        pair.import(UfgFile("", std::vector<UfgFleet>(12, big)), UzzFile({{"only", {"s"}, {}}}));
    ASSERT_EQ(run.status, 0) << run.err;
    // The different fleet counts are a warning: one line, and the document is written.
    EXPECT_TRUE(run.oneErrorLine()) << run.err;
    EXPECT_NE(run.err.find("warning"), std::string::npos) << run.err;
    const json doc = pair.dump();
    ASSERT_EQ(doc["fleets"].size(), 12u);
    EXPECT_EQ(doc["fleets"][0]["name"], "only");
    EXPECT_EQ(doc["fleets"][11]["name"], "???");
    EXPECT_EQ(doc["fleets"][11]["vehicles"].size(), 17u);
}

TEST(ImportUfg, DamagedOrMissingFilesExitOneAndWriteNothing) {
    const Bytes ufg = SampleUfg(), uzz = SampleUzz();
    UfgFleet crowded = SampleUfgFleet(1);
    crowded.vehicles.assign(kUfgMaxMemory / kUfgVehicleMemory + 1, Bytes{0, 0, 0, 0});
    const struct {
        const char* what;
        Bytes ufg, uzz;
        bool companionMissing;
        const char* file;  // the file the line names
        const char* fault;
    } cases[] = {
        {"damaged graphics", Bytes(ufg.begin(), ufg.end() - 1), uzz, false, "old.ufg",
         "is damaged"},
        {"damaged companion", ufg, Bytes(uzz.begin(), uzz.end() - 1), false, "old.uzz",
         "is damaged"},
        {"no companion", ufg, uzz, true, "old.uzz", "no such file"},
        {"too large", UfgFile("", {crowded}), uzz, false, "old.ufg", "holds more vehicles"},
    };
    for (const auto& c : cases) {
        Pair pair;
        WriteBytes(pair.ufg, c.ufg);
        if (!c.companionMissing) WriteBytes(pair.uzz, c.uzz);
        const ToolRun run = Tool("import-ufg " + Quote(pair.ufg) + " " + Quote(pair.out));
        EXPECT_EQ(run.status, 1) << c.what;
        EXPECT_TRUE(run.oneErrorLine()) << c.what << ": " << run.err;
        EXPECT_NE(run.err.find(std::string(c.file) + ": " + c.fault), std::string::npos)
            << c.what << ": " << run.err;
        EXPECT_FALSE(std::filesystem::exists(pair.out)) << c.what;
    }
    EXPECT_EQ(Tool("import-ufg only.ufg").status, 2);
    EXPECT_EQ(Tool("import-ufg a.ufg b.rvk c").status, 2);
    const ToolRun help = Tool("import-ufg --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: rvktool import-ufg", 0), 0u);
}

}  // namespace
}  // namespace rvk::clitest
