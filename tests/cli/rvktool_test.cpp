#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <sys/stat.h>

#include "cli_test_support.h"
#include "records/render.h"
#include "records/view_layout.h"
#include "storage/companion_files.h"
#include "storage/document_files.h"

namespace rvk::clitest {
namespace {

using nlohmann::json;

// Two fleets: a vehicle without extra views, with steam points, a lower side view and
// characters beyond ASCII; and one with Zoom2 graphics.
void FillSample(FileDoc& doc) {
    doc.info =
        "Sample\r\nStra\xDF"
        "enbahn \x80";
    auto first = CreateFleet(
        "Stra\xDF"
        "e");
    auto a = std::make_unique<VehicleRec>();
    a->Length = 20;
    a->HeightS = 10;
    a->Width = 6;
    a->HeightF = 7;
    a->Props = kPixels32 | kSingleEnded | kRev;
    a->SteamCount = 2;
    a->Steam = {4, 11, 3, 9, 3, 2, 1, 1, 1};
    a->Info = {"Caf\xE9", "two", "", "", "five"};
    a->Planes[1].set(2, 4, 0x000000FFu);  // visible row 0 of a 10-row side view
    a->Planes[1].set(19, 13, 0x610000FFu);
    a->Planes[0].set(0, 13, kHalfTransparent);
    a->Planes[2].set(5, 9, 0x4000FF00u);  // the roof's last row and column
    a->Planes[3].set(1, 1, 0x5012AB34u);
    first->vehicles.push_back(std::move(a));
    doc.fleets.push_back(std::move(first));

    auto second = CreateFleet("Zoom2");
    auto b = std::make_unique<VehicleRec>();
    b->Info[0] = "Zoom";
    b->Planes[7].set(7, 8, 0x66102030u);
    b->Planes[1].set(31, 13, 0x00ABCDEFu);
    DeriveZoom2(*b, "derived");
    b->Zoom2Planes[1].set(0, 0, 0x00010203u);
    second->vehicles.push_back(std::move(b));
    doc.fleets.push_back(std::move(second));
}

std::string SaveSample(const TempDir& dir) {
    FileDoc doc;
    FillSample(doc);
    doc.path = dir / "sample.rvk";
    EXPECT_TRUE(SaveDocument(doc).ok());
    return doc.path;
}

json Minimal(int fleets, int vehicles) {
    const std::string side(32 * 14 * 8, '0'), roof(8 * 16 * 8, '0'), end(8 * 9 * 8, '0');
    json vehicle = {{"length", 32},
                    {"heightS", 14},
                    {"width", 8},
                    {"heightF", 9},
                    {"props", 0x8301},
                    {"steam", json::array()},
                    {"info", {"", "", "", "", ""}},
                    {"views", {side, side, roof, end, roof, end, end, end}},
                    {"zoom2", nullptr}};
    json doc = {{"format", "rvk-json-1"}, {"info", ""}, {"fleets", json::array()}};
    for (int i = 0; i < fleets; ++i) {
        json fleet = {{"name", "F"}, {"vehicles", json::array()}};
        for (int j = 0; j < vehicles; ++j) fleet["vehicles"].push_back(vehicle);
        doc["fleets"].push_back(fleet);
    }
    return doc;
}

TEST(Rvktool, UsageErrorsExitTwo) {
    EXPECT_EQ(Tool("").status, 2);
    EXPECT_EQ(Tool("frobnicate").status, 2);
    EXPECT_EQ(Tool("info").status, 2);
    EXPECT_EQ(Tool("info a.rvk b.rvk").status, 2);
    EXPECT_EQ(Tool("dump --bogus x.rvk").status, 2);
    EXPECT_EQ(Tool("build only.json").status, 2);
    EXPECT_EQ(Tool("render x.rvk --vehicle 0 -o x.png").status, 2);   // no --fleet
    EXPECT_EQ(Tool("render x.rvk --fleet 0 --vehicle 0").status, 2);  // no -o
    EXPECT_EQ(Tool("render x.rvk --fleet 0 --vehicle 0 --zoom 0 -o x.png").status, 2);
    EXPECT_EQ(Tool("render x.rvk --fleet 0 --vehicle 0 --night 4 -o x.png").status, 2);
    EXPECT_EQ(Tool("render x.rvk --fleet 0 --vehicle x -o x.png").status, 2);
    EXPECT_EQ(Tool("render x.rvk --fleet 0 --steam -o x.png").status, 2);  // a train has none
    for (const char* command : {"info", "dump", "build", "render"}) {
        const ToolRun help = Tool(std::string(command) + " --help");
        EXPECT_EQ(help.status, 0) << command;
        EXPECT_EQ(help.out.rfind(std::string("usage: rvktool ") + command, 0), 0u) << help.out;
    }
    EXPECT_EQ(Tool("--help").status, 0);
}

TEST(Rvktool, BadDocumentsExitOneWithOneLine) {
    TempDir dir;
    const ToolRun missing = Tool("info " + Quote(dir / "none.rvk"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.oneErrorLine()) << missing.err;
    EXPECT_NE(missing.err.find(dir / "none.rvk"), std::string::npos);

    WriteText(dir / "junk.rvk",
              "hello\x1a"
              "FZ!!!");
    const ToolRun junk = Tool("dump " + Quote(dir / "junk.rvk"));
    EXPECT_EQ(junk.status, 1);
    EXPECT_TRUE(junk.oneErrorLine()) << junk.err;
    EXPECT_NE(junk.err.find("junk.rvk: is not a vehicle document"), std::string::npos);
    EXPECT_TRUE(junk.out.empty());

    // A damaged companion file is reported, not silently left out; --strict makes it
    // a failure.
    const std::string path = SaveSample(dir);
    WriteText(dir / "sample-01-00.fzz", "not a Zoom2 file");
    const ToolRun companion = Tool("info --strict " + Quote(path));
    EXPECT_EQ(companion.status, 1);
    EXPECT_NE(companion.err.find("sample-01-00.fzz: is not a Zoom2"), std::string::npos);
    EXPECT_TRUE(companion.out.empty());
}

// Companion files the editor would refuse: one damaged, one made for a vehicle of
// another length. The document is read as the editor reads it.
TEST(Rvktool, RefusedCompanionsAreWarningsAndStrictMakesThemFail) {
    TempDir dir;
    const std::string path = SaveSample(dir);
    fs::copy_file(dir / "sample-01-00.fzz", dir / "sample-00-00.fzz");  // for length 32, not 20
    WriteText(dir / "sample-01-00.fzz", "not a Zoom2 file");
    for (const std::string command : {"info", "dump"}) {
        const ToolRun run = Tool(command + " " + Quote(path));
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.err.find("warning: " + (dir / "sample-00-00.fzz") +
                               ": belongs to a vehicle of another length"),
                  std::string::npos)
            << run.err;
        EXPECT_NE(run.err.find("warning: " + (dir / "sample-01-00.fzz") +
                               ": is not a Zoom2 graphics file"),
                  std::string::npos)
            << run.err;
        if (command == "dump") {
            const json doc = json::parse(run.out);
            EXPECT_TRUE(doc["fleets"][0]["vehicles"][0]["zoom2"].is_null());
            EXPECT_TRUE(doc["fleets"][1]["vehicles"][0]["zoom2"].is_null());
        } else {
            EXPECT_EQ(run.out.find("Zoom2: yes"), std::string::npos) << run.out;
        }
        const ToolRun strict = Tool(command + " --strict " + Quote(path));
        EXPECT_EQ(strict.status, 1);
        EXPECT_NE(strict.err.find("2 companion files cannot be used"), std::string::npos);
    }
}

TEST(Rvktool, EveryCommandReportsOutputThatCannotBeWritten) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no full device like /dev/full";
#else
    TempDir dir;
    const std::string path = SaveSample(dir);
    for (const std::string& args :
         std::vector<std::string>{"info " + Quote(path), "dump " + Quote(path), "--help",
                                  "info --help", "render --help"}) {
        const std::string err = dir / "err";
        const int rc =
            std::system(("'" RVKTOOL_PATH "' " + args + " >/dev/full 2>'" + err + "'").c_str());
        EXPECT_EQ(WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, 1) << args;
        EXPECT_NE(ReadText(err).find("standard output: cannot be written"), std::string::npos)
            << args;
    }
#endif
}

TEST(Rvktool, InfoSummarisesTheDocument) {
    TempDir dir;
    const ToolRun info = Tool("info " + Quote(SaveSample(dir)));
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("Info: Sample\n"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("Fleet 0 \"Stra\xC3\x9F"
                            "e\": 1 vehicle"),
              std::string::npos);
    EXPECT_NE(info.out.find("Vehicle 0 \"Caf\xC3\xA9\""), std::string::npos);
    EXPECT_NE(info.out.find("length 20, side height 10, width 6, end height 7"), std::string::npos);
    EXPECT_NE(info.out.find("views: 6, steam points: 2"), std::string::npos);
    EXPECT_NE(info.out.find("Zoom2: no"), std::string::npos);
    EXPECT_NE(info.out.find("Zoom2: yes (length 64, side height 28, width 16, end height 18)"),
              std::string::npos);
}

TEST(Rvktool, DumpGivesTheVisibleAreasInOrder) {
    TempDir dir;
    const ToolRun dump = Tool("dump " + Quote(SaveSample(dir)));
    ASSERT_EQ(dump.status, 0) << dump.err;
    EXPECT_EQ(dump.out.rfind("{\n  \"format\": \"rvk-json-1\",\n  \"info\":", 0), 0u);
    const json j = json::parse(dump.out);
    EXPECT_EQ(j["info"],
              "Sample\r\nStra\xC3\x9F"
              "enbahn \xE2\x82\xAC");
    const json& a = j["fleets"][0]["vehicles"][0];
    const auto ordered = nlohmann::ordered_json::parse(dump.out);
    std::vector<std::string> keys;
    for (const auto& item : ordered["fleets"][1]["vehicles"][0].items()) keys.push_back(item.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"length", "heightS", "width", "heightF", "props",
                                              "steam", "info", "views", "zoom2"}));
    EXPECT_EQ(a["props"], kPixels32 | kSingleEnded | kRev);
    EXPECT_EQ(a["steam"], json::parse("[[4, 11, 3], [9, 3, 2]]"));
    EXPECT_EQ(a["info"][0], "Caf\xC3\xA9");
    ASSERT_EQ(a["views"].size(), 6u);
    const std::string left = a["views"][1];
    ASSERT_EQ(left.size(), 20u * 10 * 8);
    EXPECT_EQ(left.substr(2 * 8, 8), "000000ff");
    EXPECT_EQ(left.substr((9 * 20 + 19) * 8, 8), "610000ff");
    EXPECT_EQ(left.substr(0, 8), "80000001");
    const std::string roof = a["views"][2];
    ASSERT_EQ(roof.size(), 6u * 10 * 8);
    EXPECT_EQ(roof.substr((9 * 6 + 5) * 8, 8), "4000ff00");
    EXPECT_EQ(std::string(a["views"][3]).substr((1 * 6 + 1) * 8, 8), "5012ab34");
    EXPECT_TRUE(a["zoom2"].is_null());

    const json& b = j["fleets"][1]["vehicles"][0];
    ASSERT_EQ(b["views"].size(), 8u);
    ASSERT_FALSE(b["zoom2"].is_null());
    EXPECT_EQ(b["zoom2"]["info"], "derived");
    ASSERT_EQ(b["zoom2"]["views"].size(), 8u);
    const std::string z1 = b["zoom2"]["views"][1];
    EXPECT_EQ(z1.substr(0, 8), "00010203");
    EXPECT_EQ(z1.substr((27 * 64 + 63) * 8, 8), "00abcdef");
}

TEST(Rvktool, BuildWritesWhatSaveWritesAndDumpReadsItBack) {
    TempDir dir;
    const std::string saved = SaveSample(dir);
    const ToolRun dump = Tool("dump " + Quote(saved));
    ASSERT_EQ(dump.status, 0) << dump.err;
    WriteText(dir / "sample.json", dump.out);

    TempDir out;
    const ToolRun build =
        Tool("build " + Quote(dir / "sample.json") + " " + Quote(out / "sample.rvk"));
    ASSERT_EQ(build.status, 0) << build.err;
    EXPECT_TRUE(build.err.empty());
    // Byte for byte what the editor's Save wrote, companion files included.
    for (const char* name : {"sample.rvk", "sample-01-00.fzz"})
        EXPECT_EQ(ReadText(out / name), ReadText(dir / name)) << name;
    EXPECT_FALSE(fs::exists(out / "sample-00-00.fzz"));
    EXPECT_EQ(Tool("dump " + Quote(out / "sample.rvk")).out, dump.out);
}

TEST(Rvktool, BuildRemovesCompanionFilesItNoLongerNeeds) {
    TempDir dir;
    const std::string saved = SaveSample(dir);
    ASSERT_TRUE(fs::exists(dir / "sample-01-00.fzz"));
    json j = json::parse(Tool("dump " + Quote(saved)).out);
    j["fleets"][1]["vehicles"][0]["zoom2"] = nullptr;
    WriteText(dir / "plain.json", j.dump());
    ASSERT_EQ(Tool("build " + Quote(dir / "plain.json") + " " + Quote(saved)).status, 0);
    // Otherwise opening the document would bring the old Zoom2 graphics back.
    EXPECT_FALSE(fs::exists(dir / "sample-01-00.fzz"));
    const json back = json::parse(Tool("dump " + Quote(saved)).out);
    EXPECT_TRUE(back["fleets"][1]["vehicles"][0]["zoom2"].is_null());
}

TEST(Rvktool, BuildRefusesWhatADocumentCannotHold) {
    TempDir dir;
    const auto refuse = [&](const std::string& text, const std::string& expected) {
        WriteText(dir / "in.json", text);
        const ToolRun run = Tool("build " + Quote(dir / "in.json") + " " + Quote(dir / "out.rvk"));
        EXPECT_EQ(run.status, 1) << expected;
        EXPECT_TRUE(run.oneErrorLine()) << run.err;
        EXPECT_NE(run.err.find(dir / "in.json"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(expected), std::string::npos) << run.err;
        EXPECT_FALSE(fs::exists(dir / "out.rvk")) << expected;
    };
    refuse("{\"format\": ", "not valid JSON");
    refuse(Minimal(11, 1).dump(), "fleets: expected 0 to 10 entries, found 11");
    refuse(Minimal(1, 17).dump(), "fleets[0].vehicles: expected 0 to 16 entries, found 17");

    json j = Minimal(1, 2);
    j["fleets"][0]["vehicles"][1]["views"][2] = "0000";
    refuse(j.dump(), "fleets[0].vehicles[1].views[2]: expected 1024 hex digits");
    j = Minimal(1, 1);
    j["fleets"][0]["vehicles"][0]["length"] = 300;
    refuse(j.dump(), "fleets[0].vehicles[0].length: expected at most 256");
    j = Minimal(1, 1);
    j["fleets"][0]["vehicles"][0]["heightS"] = -1;
    refuse(j.dump(), "fleets[0].vehicles[0].heightS: expected a whole number");
    j = Minimal(1, 1);
    j["fleets"][0]["vehicles"][0].erase("props");
    refuse(j.dump(), "fleets[0].vehicles[0]: missing key \"props\"");
    j = Minimal(1, 1);
    j["fleets"][0]["vehicles"][0]["colour"] = 1;
    refuse(j.dump(), "fleets[0].vehicles[0].colour: unknown key");
    j = Minimal(1, 1);
    j["fleets"][0]["vehicles"][0]["steam"] = json::parse("[[1,2,3],[1,2,3],[1,2,3],[1,2,3]]");
    refuse(j.dump(), "steam: expected 0 to 3 entries");
    j = Minimal(1, 1);
    j["fleets"][0]["name"] = std::string(33, 'n');
    refuse(j.dump(), "fleets[0].name: longer than 32 characters");
    j = Minimal(1, 1);
    j["fleets"][0]["vehicles"][0]["info"][1] = "\xE2\x98\x83";  // a snowman
    refuse(j.dump(), "info[1]: has characters that Windows-1252 cannot hold");
    j = Minimal(1, 1);
    j["info"] =
        "a\x1A"
        "b";
    refuse(j.dump(), "info: contains the character U+001A");
    // A value that reads back as a run marker or as a different pixel.
    for (const char* pixel : {"c0000001", "80010000"}) {
        j = Minimal(1, 1);
        std::string view = j["fleets"][0]["vehicles"][0]["views"][3];
        view.replace(8, 8, pixel);
        j["fleets"][0]["vehicles"][0]["views"][3] = view;
        refuse(j.dump(), std::string("views[3]: pixel (1, 0) ") + pixel + " cannot be stored");
    }
    j = Minimal(1, 1);
    j["format"] = "rvk-json-2";
    refuse(j.dump(), "format: expected \"rvk-json-1\"");
    // Without extra views six views are expected.
    j = Minimal(1, 1);
    j["fleets"][0]["vehicles"][0]["props"] = 0x8201;
    refuse(j.dump(), "views: expected 6 entries, found 8");
}

TEST(Rvktool, RenderDrawsTheViewsAsTheWindowLaysThemOut) {
    TempDir dir;
    const std::string doc = SaveSample(dir);
    const std::string png = dir / "a.png";
    const ToolRun run =
        Tool("render " + Quote(doc) + " --fleet 0 --vehicle 0 --zoom 3 -o " + Quote(png));
    ASSERT_EQ(run.status, 0) << run.err;
    const auto picture = ReadPng(png);
    ASSERT_TRUE(picture);

    FileDoc loaded;
    loaded.path = doc;
    ASSERT_TRUE(LoadDocument(loaded).ok);
    const VehicleRec& rec = *loaded.fleets[0]->vehicles[0];
    const VehicleLayout layout = LayoutViews(rec, false, 3, kLayoutBelow);
    ASSERT_EQ(picture->width, layout.extentWidth);
    ASSERT_EQ(picture->height, layout.extentHeight);
    EXPECT_EQ(picture->at(0, 0), ScreenWord(kScrollAreaColor));
    EXPECT_EQ(picture->at(kLayoutLeft, kLayoutTop), ScreenWord(kPanelFrameColor));
    const auto cell = [&](int view, int x, int y, int dx = 0, int dy = 0) {
        const Rect& r = layout.views[view];
        return picture->at(r.x + 3 * x + dx, r.y + 3 * y + dy);
    };
    EXPECT_EQ(cell(1, 2, 0), 0xffff0000u);
    EXPECT_EQ(cell(1, 19, 9), ScreenWord(DisplayColor(0x610000FFu, 0)));
    EXPECT_EQ(cell(1, 0, 0), ScreenWord(MakeRgb(0, 0x70, 0)));
    EXPECT_EQ(cell(1, 0, 0, 1, 1), 0xff808080u);  // the see-through mark
    EXPECT_EQ(cell(0, 0, 9), ScreenWord(DisplayColor(kHalfTransparent, 0)));
    EXPECT_EQ(cell(2, 5, 9, 2, 2), 0xff00ff00u);
    EXPECT_EQ(cell(3, 1, 1), ScreenWord(DisplayColor(0x5012AB34u, 0)));
    // Six views: the extra end views are not drawn.
    EXPECT_FALSE(layout.shown[6]);

    // At night the lamp lights up and the Zoom2 graphics have their own sizes.
    const std::string night = dir / "n.png";
    ASSERT_EQ(Tool("render " + Quote(doc) + " --fleet 0 --vehicle 0 --zoom 3 --night 2 -o " +
                   Quote(night))
                  .status,
              0);
    EXPECT_EQ(ReadPng(night)->at(layout.views[3].x + 3, layout.views[3].y + 3),
              ScreenWord(MakeRgb(0xFC, 0xFC, 0xA8)));
    const std::string zoom2 = dir / "z.png";
    ASSERT_EQ(Tool("render " + Quote(doc) + " --fleet 1 --vehicle 0 --zoom2 --layout 2 -o " +
                   Quote(zoom2))
                  .status,
              0);
    const VehicleLayout z = LayoutViews(*loaded.fleets[1]->vehicles[0], true, 2, kLayoutBeside);
    const auto zp = ReadPng(zoom2);
    EXPECT_EQ(zp->width, z.extentWidth);
    EXPECT_EQ(zp->at(z.views[1].x, z.views[1].y), ScreenWord(MakeRgb(3, 2, 1)));
}

TEST(Rvktool, RenderRefusesVehiclesThatAreNotThere) {
    TempDir dir;
    const std::string doc = SaveSample(dir);
    const auto refused = [&](const std::string& args, const std::string& expected) {
        const ToolRun run =
            Tool("render " + Quote(doc) + " " + args + " -o " + Quote(dir / "x.png"));
        EXPECT_EQ(run.status, 1) << args;
        EXPECT_TRUE(run.oneErrorLine()) << run.err;
        EXPECT_NE(run.err.find(expected), std::string::npos) << run.err;
        EXPECT_FALSE(fs::exists(dir / "x.png"));
    };
    refused("--fleet 2 --vehicle 0", "has no fleet 2 (it has 2)");
    refused("--fleet 0 --vehicle 1", "fleet 0 has no vehicle 1 (it has 1)");
    refused("--fleet 0 --vehicle 0 --zoom2", "vehicle 0 of fleet 0 has no Zoom2 graphics");
    refused("--fleet 2", "has no fleet 2 (it has 2)");
    const ToolRun unwritable = Tool("render " + Quote(doc) + " --fleet 0 --vehicle 0 -o " +
                                    Quote(dir / "no/such/folder/x.png"));
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_NE(unwritable.err.find("x.png: cannot be written"), std::string::npos);
}

// "-o -" is standard output; an output file is written through links; a device, pipe
// or socket, also behind a link (such as /proc/self/fd/1 on a pipe), is refused.
TEST(Rvktool, OutputGoesToStandardOutputThroughLinksAndNeverOverSpecialFiles) {
#ifdef _WIN32
    GTEST_SKIP() << "pipes and /proc links in the file system: POSIX";
#else
    TempDir dir;
    const std::string doc = SaveSample(dir);
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0666), 0);
    fs::create_symlink("/proc/self/fd/1", dir / "stdout.png");
    fs::create_symlink("fifo", dir / "fifo.png");
    fs::create_symlink("file.png", dir / "link.png");
    for (const std::string& command :
         {"render " + Quote(doc) + " --fleet 1 --vehicle 0 -o ",
          "export-png " + Quote(doc) + " --fleet 1 --vehicle 0 --view 1 -o "}) {
        SCOPED_TRACE(command);
        const ToolRun piped = Tool(command + "-");
        ASSERT_EQ(piped.status, 0) << piped.err;
        EXPECT_EQ(piped.out.substr(0, 4), "\x89PNG");
        ASSERT_EQ(Tool(command + Quote(dir / "link.png")).status, 0);
        EXPECT_TRUE(fs::is_symlink(dir / "link.png"));
        EXPECT_EQ(ReadText(dir / "file.png"), piped.out);

        for (const char* special : {"fifo", "fifo.png"}) {
            const ToolRun refused = Tool(command + Quote(dir / special));
            EXPECT_EQ(refused.status, 1) << special;
            EXPECT_NE(refused.err.find("not a regular file"), std::string::npos) << refused.err;
        }
        EXPECT_EQ(fs::symlink_status(dir / "fifo").type(), fs::file_type::fifo);
        const std::string shell = "{ '" RVKTOOL_PATH "' " + command + Quote(dir / "stdout.png") +
                                  " 2>'" + dir / "err" + "'; echo $? >'" + dir / "rc" +
                                  "'; } | cat >'" + dir / "out" + "'";
        ASSERT_EQ(std::system(shell.c_str()), 0);
        EXPECT_EQ(ReadText(dir / "rc"), "1\n");
        EXPECT_NE(ReadText(dir / "err").find("not a regular file"), std::string::npos);
        EXPECT_TRUE(fs::is_symlink(dir / "stdout.png"));
    }
    EXPECT_EQ(Tool("export-png " + Quote(doc) + " --fleet 1 --vehicle 0 --view 1 --types -o -")
                  .status,
              2);
#endif
}

// A link of another name in another folder reads the document's companions, and a
// document built through it lands where the link leads, beside its companions.
TEST(Rvktool, ADocumentReachedThroughALinkKeepsItsCompanionsAndTheLink) {
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need a privilege on Windows, and its C++ library neither "
                    "makes nor follows them";
#endif
    TempDir dir;
    const std::string doc = SaveSample(dir);
    fs::create_directories(dir.path() / "elsewhere");
    const std::string link = dir / "elsewhere/alias.rvk";
    fs::create_symlink("../sample.rvk", link);
    const ToolRun info = Tool("info --strict " + Quote(link));
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("Zoom2: yes"), std::string::npos);

    const ToolRun dump = Tool("dump " + Quote(link));
    ASSERT_EQ(dump.status, 0) << dump.err;
    WriteText(dir / "sample.json", dump.out);
    fs::remove(dir / "sample-01-00.fzz");
    const ToolRun build = Tool("build " + Quote(dir / "sample.json") + " " + Quote(link));
    ASSERT_EQ(build.status, 0) << build.err;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(fs::exists(dir / "sample-01-00.fzz"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "elsewhere"), {}), 1);
    EXPECT_EQ(Tool("dump " + Quote(doc)).out, dump.out);
}

}  // namespace
}  // namespace rvk::clitest
