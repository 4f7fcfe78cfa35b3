// The host installation readers: text files, vuvi.ini, the catalogue and the Zoom2
// archive, the copy Insert makes, and finding installations in a Wine registry.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <random>

#include "doc_test_util.h"
#include "formats/byte_io.h"
#include "host/host_catalogue.h"
#include "host/host_install.h"
#include "host_fixture.h"
#include "storage/companion_files.h"
#include "storage/file_io.h"

namespace rvk {
namespace {

namespace fixture = hostfixture;
using testing::TempDir;

// path is UTF-8, as the program's paths are.
void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::filesystem::create_directories(PathFromUtf8(path).parent_path());
    std::ofstream(PathFromUtf8(path), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> Utf16(std::u16string_view text, bool bom = true) {
    std::vector<std::uint8_t> bytes;
    if (bom) bytes = {'?', '?'};  // not checked
    for (char16_t c : text)
        bytes.push_back(static_cast<std::uint8_t>(c)),
            bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    return bytes;
}

std::string Folder(const TempDir& dir) {
    return Utf8FromPath(dir.path()) + kPathSeparator;
}

// The path HostFilePath gives for a file the folder holds as `onDisk`: matched on a
// case-sensitive file system, the plain relative name on Windows.
std::string Found(const std::string& inst, const std::string& onDisk, std::string plain) {
#ifdef _WIN32
    (void)onDisk;
    std::replace(plain.begin(), plain.end(), '/', kPathSeparator);
    return inst + plain;
#else
    (void)plain;
    return inst + onDisk;
#endif
}

TEST(HostText, LinesCommentsNumbersAndConversion) {
    const std::u16string longLine(1100, u'a');
    const auto lines = HostTextLines(Utf16(u"; comment\r\n[Title]\r\n\u20AC \u2603\r\n" + longLine +
                                           u"\r\n;a\r\nlast without end"));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "[Title]");
    EXPECT_EQ(lines[1], "\x80 ?");  // the euro sign has a Windows-1252 form, the snowman none
    EXPECT_EQ(lines[2], std::string(1023, 'a'));  // 1023 characters, then the rest
    EXPECT_EQ(lines[3], std::string(77, 'a'));
    EXPECT_EQ(lines[4], "last without end");

    const auto table = HostTextTable::Parse(
        Utf16(u"[Names]\r\n0\r\n  +123\r\n; a comment between\r\nTram\r\n7x\r\nSeven\r\n-65535\r\n"
              u"One\r\n65536\r\nskipped, 0 in the low bits\r\n40000\r\nHigh\r\n9\r\n"));
    EXPECT_EQ(table.entries().size(), 4u);
    EXPECT_TRUE(std::is_sorted(table.entries().begin(), table.entries().end(),
                               [](const auto& a, const auto& b) { return a.first > b.first; }));
    EXPECT_EQ(HostText(table, 123), "Tram");
    EXPECT_EQ(HostText(table, 7), "Seven");
    EXPECT_EQ(HostText(table, 1), "One");
    EXPECT_EQ(HostText(table, 40000), "High");
    EXPECT_EQ(HostText(table, 9), "");  // a number on the last line has no text
    EXPECT_EQ(HostText(table, 0), "");
    EXPECT_EQ(HostText(HostTextTable{}, 123), "");
}

TEST(HostText, LanguageFromIni) {
    TempDir dir;
    const std::string inst = Folder(dir);
    WriteBytes(inst + "vuvi_en.lnv", fixture::TextFile({"1", "x"}));
    WriteBytes(inst + "vuvi_fr\u00E7.lnv", fixture::TextFile({"1", "fr"}));
    WriteBytes(inst + "VUVI_\u00C4\u0160\u0178.LNV", fixture::TextFile({"1", "upper"}));
    struct Case {
        const char* what;
        std::vector<std::string> ini;  // empty: no vuvi.ini
        std::string file;
        int message;
    };
    const Case cases[] = {
        {"named file",
         {"; x", "Sprache=other", "SPRACHE_F=vuvi_en.lnv", "sprache_f=b"},
         "vuvi_en.lnv",
         0},
        {"named file missing", {"sprache_f=vuvi_fr.lnv"}, "vuvi.lnv", 0},
        // Windows-1252 names become UTF-8 paths, their letters matched ignoring case.
        {"non-ASCII name", {"sprache_f=vuvi_fr\u00E7.lnv"}, "vuvi_fr\u00E7.lnv", 0},
        {"non-ASCII name, other case",
         {"sprache_f=vuvi_\u00E4\u0161\u00FF.lnv"},
         "vuvi_\u00E4\u0161\u00FF.lnv",
         0},
        {"no entry", {"[General]", ";sprache_f=vuvi_en.lnv", "sprache_fx=1"}, "vuvi.lnv", 566},
        {"no ini", {}, "", 555},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(inst + "VUVI.INI");
        if (!c.ini.empty()) WriteBytes(inst + "VUVI.INI", fixture::TextFile(c.ini));
        const HostLanguage language = ReadHostLanguage(inst);
        EXPECT_EQ(language.fileName, c.file);
        EXPECT_EQ(language.message ? language.message->text : 0, c.message);
        if (!language.fileName.empty() && language.fileName != kDefaultHostTextFile) {
            EXPECT_FALSE(LoadHostTexts(inst, language.fileName).table.empty());
        }
    }
    // A folder in the place of the file cannot be opened either.
    std::filesystem::create_directory(inst + "vuvi.ini");
    const HostLanguage language = ReadHostLanguage(inst);
    EXPECT_EQ(language.message, (Message{555, inst + "vuvi.ini"}));
    const HostTexts texts = LoadHostTexts(inst, "missing.lnv");
    EXPECT_TRUE(texts.table.empty());
    EXPECT_EQ(texts.message, (Message{555, inst + "missing.lnv"}));
}

TEST(HostCatalogue, SetNames) {
    const std::string tatra = "Tatra" + std::string(24, ' ') + "KT8";
    const std::string thirtyOne(31, 'n');
    const struct {
        std::string name;
        std::uint32_t filter;
        std::string expected;
    } cases[] = {
        {"DE Tatra T4", 0x1, "   Tatra T4"},
        {"-- Tatra T4", 0x1, "   Tatra T4"},
        {"DE Tatra T4", 0x4, "DE Tatra T4"},
        {"DE Tatra T4", 0x5, "DE Tatra T4"},
        {"Tatra#tKT8", 0x4, tatra},
        {thirtyOne + "#t", 0x4, thirtyOne + " "},
        {"A#tB#tC", 0x4, "A" + std::string(27, ' ') + "B#tC"},
        {std::string(40, 'z'), 0x4, std::string(32, 'z')},
    };
    for (const auto& c : cases) EXPECT_EQ(PrepareSetName(c.name, c.filter), c.expected) << c.name;
}

class SmallInstallation : public ::testing::Test {
protected:
    void SetUp() override {
        fixture::WriteInstallation(small, inst);
        texts = LoadHostTexts(inst, "vuvi_en.lnv").table;
    }
    Catalogue load(std::uint32_t filter, const HostProgress& progress = {}) {
        return LoadCatalogue(inst, filter, texts, HostNameLessIgnoringCase, progress);
    }
    static std::vector<int> Numbers(const std::vector<HostSet>& sets) {
        std::vector<int> numbers;
        for (const HostSet& s : sets) numbers.push_back(s.number);
        return numbers;
    }

    TempDir dir;
    std::string inst = Folder(dir);
    fixture::Installation small = fixture::SmallInstallation();
    HostTextTable texts;
};

TEST_F(SmallInstallation, ListsSetsOfTheCategoryInNameOrder) {
    std::vector<std::pair<int, int>> progress;
    const Catalogue tram = load(0x1, [&](int text, int set) { progress.emplace_back(text, set); });
    EXPECT_TRUE(tram.messages.empty());
    // 4999 is below the first set number; 5020's record carries 5021.
    EXPECT_EQ(Numbers(tram.sets), (std::vector<int>{5030, 5000, 5040, 5040, 5002, 5001, 5012}));
    EXPECT_EQ(tram.sets[0].name, "  alpha line");
    EXPECT_EQ(tram.sets[2].name, "Pair A");
    EXPECT_EQ(tram.sets[5].name, "   Tatra T4");
    EXPECT_EQ(progress.front(), std::make_pair(772, -1));
    EXPECT_EQ(progress.back(), std::make_pair(0, -1));
    EXPECT_NE(std::find(progress.begin(), progress.end(), std::make_pair(772, 5020)),
              progress.end());
    EXPECT_EQ(std::find(progress.begin(), progress.end(), std::make_pair(772, 4999)),
              progress.end());
    EXPECT_NE(std::find(progress.begin(), progress.end(), std::make_pair(773, 5012)),
              progress.end());

    EXPECT_EQ(Numbers(load(0x4).sets), (std::vector<int>{5001}));
    EXPECT_EQ(load(0x4).sets[0].name, "DE Tatra T4");
    // The trolley bus set is listed under its item only.
    for (std::uint32_t filter : kHostCategoryFilters) {
        const auto numbers = Numbers(load(filter).sets);
        EXPECT_EQ(std::count(numbers.begin(), numbers.end(), 5003), filter == 0x10000 ? 1 : 0);
    }
    progress.clear();
    EXPECT_TRUE(load(0, [&](int text, int set) { progress.emplace_back(text, set); }).sets.empty());
    EXPECT_TRUE(progress.empty());
}

TEST_F(SmallInstallation, VehiclesAsTheCatalogueHoldsThem) {
    const Catalogue all = load(0xFFFFFFFF);
    for (const HostSet& set : all.sets) {
        const auto source =
            std::find_if(small.sets.begin(), small.sets.end(), [&](const fixture::Set& s) {
                return s.number == set.number &&
                       PrepareSetName(HostText(texts, s.nameText), 0) == set.name;
            });
        ASSERT_NE(source, small.sets.end());
        ASSERT_EQ(set.vehicles.size(), source->vehicles.size());
        for (std::size_t i = 0; i < set.vehicles.size(); ++i) {
            const fixture::Vehicle& want = source->vehicles[i];
            const VehicleRec got = HostVehicleRecord(set.vehicles[i]);
            EXPECT_EQ(set.vehicles[i].position, want.position);
            EXPECT_EQ(got.Length, want.rec.Length);
            EXPECT_EQ(got.Props, want.rec.Props);
            for (int v = 0; v < kViewCount; ++v)
                EXPECT_TRUE(got.Planes[v].sameContent(want.rec.Planes[v]));
            EXPECT_EQ(got.Info[0], "Motor car \x80");
            EXPECT_EQ(got.Info[1], "Trailer ?");
            EXPECT_EQ(got.Info[2], "");
            EXPECT_EQ(got.Info[3], std::string(80, 'x'));
            EXPECT_EQ(got.Info[4], "");
            // Only three steam points fit; the fourth is read and dropped.
            EXPECT_EQ(got.SteamCount, std::min<std::size_t>(want.steam.size(), 3));
            if (!want.steam.empty()) {
                EXPECT_EQ(got.Steam[8], 9);
            }
        }
    }
}

TEST_F(SmallInstallation, ArchiveGraphicsGoToTheFirstMatchingVehicle) {
    const auto zoom2Info = [](const HostSet& set) {
        std::vector<std::string> info;
        for (const HostVehicle& v : set.vehicles)
            info.push_back(v.data.Zoom2Exists ? HostVehicleRecord(v).Zoom2Info : "-");
        return info;
    };
    const Catalogue tram = load(0x1);
    // 5012: the first vehicle with position 3 only; position 4's block has the wrong length.
    EXPECT_EQ(zoom2Info(tram.sets[6]), (std::vector<std::string>{"archive", "-", "-"}));
    EXPECT_EQ(zoom2Info(tram.sets[2]),
              (std::vector<std::string>{"pair"}));  // the first 5040 in list order
    EXPECT_EQ(zoom2Info(tram.sets[3]), (std::vector<std::string>{"-"}));
    EXPECT_EQ(zoom2Info(tram.sets[4]),
              (std::vector<std::string>{"-"}));  // its record repeats another key
    EXPECT_EQ(zoom2Info(load(0x10000).sets[0]), (std::vector<std::string>{"trolley"}));

    // The graphics decode as the archive holds them.
    VehicleRec expected = small.sets[5].vehicles[0].rec;
    ASSERT_EQ(
        DecodeZoom2(expected, fixture::Zoom2Graphics(small.sets[5].vehicles[0], 22, "archive")),
        kZoom2Ok);
    const VehicleRec got = HostVehicleRecord(tram.sets[6].vehicles[0]);
    for (int v = 0; v < kViewCount; ++v)
        EXPECT_TRUE(got.Zoom2Planes[v].sameContent(expected.Zoom2Planes[v]));
    EXPECT_EQ(got.Zoom2Width, expected.Zoom2Width);

    // Without the archive the sets are still listed.
    std::filesystem::remove(inst + "vuvi.fz2");
    const Catalogue bare = load(0x1);
    EXPECT_EQ(Numbers(bare.sets), Numbers(tram.sets));
    EXPECT_FALSE(bare.sets[6].vehicles[0].data.Zoom2Exists);
    EXPECT_EQ(bare.messages, (std::vector<Message>{{555, inst + "vuvi.fz2"}}));
    std::filesystem::remove(inst + "VUVI.FZG");
    EXPECT_EQ(load(0x1).messages, (std::vector<Message>{{555, inst + "vuvi.fzg"}}));
}

TEST_F(SmallInstallation, InsertCopiesWithTheChosenZoom2Graphics) {
    const Catalogue tram = load(0x1);
    const HostSet& zoomSet = tram.sets[6];
    const std::string alternative3 = AlternativeZoom2Path(inst, 5012, 3);
    EXPECT_EQ(alternative3, Found(inst, "Zoom2/05012-03.fzz", "zoom2/05012-03.fzz"));
    EXPECT_EQ(AlternativeZoom2Path(inst, 5999, 12),
              Found(inst, "zoom2/05999-12.fzz", "zoom2/05999-12.fzz"));

    const VehicleRec archive = InsertCopy(zoomSet.vehicles[0]);
    EXPECT_EQ(archive.Zoom2Info, "archive");
    EXPECT_EQ(archive.Zoom2Path, "");
    EXPECT_FALSE(archive.Zoom2Modified);

    const VehicleRec replaced = InsertCopy(zoomSet.vehicles[0], alternative3);
    EXPECT_EQ(replaced.Zoom2Info, "alternative");
    EXPECT_EQ(replaced.Zoom2Path, alternative3);

    const VehicleRec only = InsertCopy(zoomSet.vehicles[1], AlternativeZoom2Path(inst, 5012, 4));
    EXPECT_TRUE(only.Zoom2Exists);
    EXPECT_EQ(only.Zoom2Info, "alternative only");

    // A refused file keeps what the copy had: the archive's graphics, or none.
    WriteBytes(alternative3, small.files["Zoom2/05000-00.fzz"]);
    const VehicleRec kept = InsertCopy(zoomSet.vehicles[0], alternative3);
    EXPECT_EQ(kept.Zoom2Info, "archive");
    EXPECT_EQ(kept.Zoom2Path, alternative3);
    const VehicleRec none =
        InsertCopy(tram.sets[1].vehicles[0], AlternativeZoom2Path(inst, 5000, 0));
    EXPECT_FALSE(none.Zoom2Exists);
}

TEST_F(SmallInstallation, DamagedFilesListLessButNeverWrong) {
    const std::vector<HostSet> sound = load(0xFFFFFFFF).sets;
    const auto catalogue = small.files["VUVI.FZG"];
    const auto archive = small.files["vuvi.fz2"];
    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round) {
        auto fzg = catalogue;
        auto fz2 = archive;
        auto& damaged = round % 2 ? fzg : fz2;
        if (round % 3 == 0) {
            damaged.resize(rng() % damaged.size());
        } else {
            for (int k = 0; k < 4; ++k)
                damaged[rng() % damaged.size()] = static_cast<std::uint8_t>(rng());
        }
        HostFile fzgFile(fzg), fz2File(fz2);
        const auto sets =
            ReadCatalogue(fzgFile, &fz2File, 0xFFFFFFFF, texts, HostNameLessIgnoringCase);
        if (round % 3 != 0) continue;  // changed bytes may make anything of a set
        // A cut catalogue lists whole sets of the sound listing, or fewer; a cut archive
        // gives Zoom2 graphics to fewer vehicles.
        if (round % 2)
            EXPECT_LE(sets.size(), sound.size());
        else
            EXPECT_EQ(sets.size(), sound.size());
        for (const HostSet& set : sets) {
            const auto same = std::find_if(sound.begin(), sound.end(), [&](const HostSet& s) {
                return s.number == set.number && s.name == set.name;
            });
            ASSERT_NE(same, sound.end());
            ASSERT_EQ(set.vehicles.size(), same->vehicles.size());
            for (std::size_t i = 0; round % 2 == 0 && i < set.vehicles.size(); ++i)
                EXPECT_LE(set.vehicles[i].data.Zoom2Exists, same->vehicles[i].data.Zoom2Exists);
        }
    }
}

// Read through the file's moving window or from memory, a catalogue lists the same.
TEST(HostCatalogueFile, WindowedReadingMatchesMemory) {
    TempDir dir;
    const fixture::Installation large = fixture::LargeInstallation(120, 20, 3);
    fixture::WriteInstallation(large, dir.path().string());
    const HostTextTable texts = LoadHostTexts(Folder(dir), "vuvi.lnv").table;
    const Catalogue fromFile =
        LoadCatalogue(Folder(dir), fixture::kLargeFilter, texts, HostNameLessIgnoringCase);
    HostFile fzg(large.files.at("vuvi.fzg")), fz2(large.files.at("vuvi.fz2"));
    const auto fromMemory =
        ReadCatalogue(fzg, &fz2, fixture::kLargeFilter, texts, HostNameLessIgnoringCase);
    ASSERT_EQ(fromFile.sets.size(), 12u);
    ASSERT_EQ(fromMemory.size(), fromFile.sets.size());
    std::size_t zoom2 = 0;
    for (std::size_t i = 0; i < fromMemory.size(); ++i) {
        EXPECT_EQ(fromFile.sets[i].name, fromMemory[i].name);
        ASSERT_EQ(fromFile.sets[i].vehicles.size(), 10u);
        for (std::size_t k = 0; k < 10; ++k) {
            EXPECT_EQ(fromFile.sets[i].vehicles[k].planes, fromMemory[i].vehicles[k].planes);
            EXPECT_EQ(fromFile.sets[i].vehicles[k].zoom2, fromMemory[i].vehicles[k].zoom2);
            zoom2 += !fromMemory[i].vehicles[k].zoom2.empty();
        }
    }
    EXPECT_GT(zoom2, 20u);
}

// Thousands of index entries at one long set that fails at its end: each would decode
// it all again. Reading stops once the work exceeds what the file could need.
TEST(HostCatalogueFile, RepeatedFailingSetEndsReading) {
    std::vector<fixture::Vehicle> vehicles;
    for (std::uint8_t i = 0; i < 100; ++i)
        vehicles.push_back(fixture::MakeVehicle(i, i, 256, true, true));
    const auto single = fixture::CatalogueBytes({{5001, 5001, 1, 0, vehicles}});
    const std::size_t prefix =
        static_cast<std::size_t>(std::find(single.begin(), single.end(), 0x1A) - single.begin()) +
        6;
    const std::vector<std::uint8_t> record(single.begin() + static_cast<std::ptrdiff_t>(prefix + 8),
                                           single.end() - 10);
    constexpr std::uint32_t kEntries = 20000;
    ByteWriter out;
    out.bytes(std::span(single).first(prefix));
    for (std::uint32_t i = 0; i < kEntries; ++i) {
        out.u16(5001);
        out.u32(6 * (kEntries - i - 1) + 2);
    }
    out.u16(0);
    out.bytes(record);
    HostFile file(out.data());
    EXPECT_TRUE(ReadCatalogue(file, nullptr, 1, {}, HostNameLessIgnoringCase).empty());
}

TEST(HostInstall, FilesFoundIgnoringCase) {
    TempDir dir;
    const std::string inst = Folder(dir);
    EXPECT_FALSE(IsInstallation(inst));
    WriteBytes(inst + "VUVI.FZG", {1});
    EXPECT_FALSE(IsInstallation(inst));
    std::filesystem::create_directory(inst + "Vuvi.Ini");
    EXPECT_FALSE(IsInstallation(inst));  // a folder is no file
    std::filesystem::remove(inst + "Vuvi.Ini");
    WriteBytes(inst + "Vuvi.Ini", {1});
    EXPECT_TRUE(IsInstallation(inst));
    EXPECT_FALSE(IsInstallation(dir.path().string()));  // without its separator
    EXPECT_EQ(HostFilePath(inst, "vuvi.fzg"), Found(inst, "VUVI.FZG", "vuvi.fzg"));
    WriteBytes(inst + "vuvi.fzg", {2});
    EXPECT_EQ(HostFilePath(inst, "vuvi.fzg"), inst + "vuvi.fzg");  // the exact name first

#ifndef _WIN32  // no named pipes among the files
    // A pipe in the place of a file cannot be opened (and must not block).
    ASSERT_EQ(::mkfifo((inst + "vuvi.fz2").c_str(), 0600), 0);
    EXPECT_EQ(HostFile::Open(inst + "vuvi.fz2"), nullptr);
#endif
    EXPECT_EQ(HostFile::Open(inst), nullptr);
    EXPECT_NE(HostFile::Open(inst + "vuvi.fzg"), nullptr);
}

TEST(HostInstall, WineRegistry) {
    const std::string userReg =
        "WINE REGISTRY Version 2\n"
        ";; All keys relative to \\\\User\\\\S-1-5-21\n\n"
        "[Software\\\\Other] 1\n"
        "\"STANDARD_PFAD\"=\"C:\\\\wrong\\\\\"\n\n"
        "[software\\\\daDUROvo_zezera] 1700000000\n"
        "#time=1d9\n"
        "\"STANDARD_PFAD\"=\"C:\\\\Games\\\\H\\xf6st\\\\\"\r\n"
        "\"X_PFAD_2\"=\"D:\\\\quote\\\"d\"\n"
        "\"PFAD\"=\"C:\\\\no\\\\\"\n"
        "\"x_pfad\"=\"C:\\\\no\\\\\"\n"
        "\"DWORD_PFAD\"=dword:00000001\n"
        "\"HEX_PFAD\"=hex:41,00\n"
        "\"MISSING_PFAD\"=\"C:\\\\Missing\\\\\"\n"
        "\"NOINI_PFAD\"=\"c:/other/noini\"\n"
        "@=\"C:\\\\default\\\\\"\n\n"
        "[Software\\\\Wine] 1\n"
        "\"LATE_PFAD\"=\"C:\\\\wrong\\\\\"\n";
    EXPECT_EQ(WineHostPaths(userReg),
              (std::vector<std::string>{"C:\\Games\\H\xC3\xB6st\\", "D:\\quote\"d", "C:\\Missing\\",
                                        "c:/other/noini"}));
#ifdef _WIN32
    GTEST_SKIP() << "a Wine prefix is looked into only on Linux; Windows asks its registry";
#endif

    TempDir dir;
    const std::string prefix = dir.path().string();
    const std::string host = prefix + "/drive_c/GAMES/H\xC3\xB6st/";
    WriteBytes(host + "vuvi.fzg", {1});
    WriteBytes(host + "VUVI.INI", {1});
    WriteBytes(prefix + "/drive_c/Other/NoIni/vuvi.fzg", {1});
    std::filesystem::create_directories(prefix + "/dosdevices");
    std::filesystem::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
    WriteBytes(prefix + "/user.reg", std::vector<std::uint8_t>(userReg.begin(), userReg.end()));

    EXPECT_EQ(MapWinePath(prefix, "C:\\games\\h\xC3\xB6st"),
              prefix + "/dosdevices/c:/GAMES/H\xC3\xB6st/");
    EXPECT_EQ(MapWinePath(prefix, "\\\\server\\share"), std::nullopt);
    EXPECT_EQ(MapWinePath(prefix, "Q:\\"), std::nullopt);
    EXPECT_EQ(WineInstallations(prefix),
              (std::vector<std::string>{prefix + "/dosdevices/c:/GAMES/H\xC3\xB6st/"}));
    EXPECT_TRUE(WineInstallations(prefix + "/none").empty());

    const auto env = [](std::map<std::string, std::string> vars) {
        return [vars](const char* name) -> std::optional<std::string> {
            const auto it = vars.find(name);
            return it == vars.end() ? std::nullopt : std::optional(it->second);
        };
    };
    EXPECT_EQ(WinePrefix(env({{"WINEPREFIX", "/p"}, {"HOME", "/h"}})), "/p");
    EXPECT_EQ(WinePrefix(env({{"WINEPREFIX", ""}, {"HOME", "/h"}})), "/h/.wine");
    EXPECT_EQ(WinePrefix(env({})), "");
}

}  // namespace
}  // namespace rvk
