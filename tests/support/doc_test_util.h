// Helpers shared by the file-format tests: a throw-away folder, vehicles with varied
// content, and comparisons of what a file keeps.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <process.h>
#include <windows.h>
#else
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "records/document.h"
#include "records/vehicle.h"

namespace rvk::testing {

// The folder a test shares with the child it runs in a process of its own (Windows).
inline constexpr const char* kChildFolderVariable = "RVK_TEST_FOLDER";

class TempDir {
public:
    TempDir() {
        if (const char* shared = std::getenv(kChildFolderVariable)) {
            path_ = shared;  // in the environment's own code page
            owned_ = false;
            return;
        }
        static std::atomic<int> counter{0};
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                ("rvk-" + std::string(info ? info->name() : "test") + "-" +
                 std::to_string(std::random_device{}()) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        if (!owned_) return;
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
        std::filesystem::remove_all(path_.string() + ".marks", ec);  // see Child
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // UTF-8, as every path of the program (string() is the ANSI code page on Windows).
    std::string file(const std::string& name) const {
        const std::u8string path = (path_ / std::u8string(name.begin(), name.end())).u8string();
        return std::string(path.begin(), path.end());
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    bool owned_ = true;
};

// Another process that runs while this object lives, for its id: the test's parent on
// POSIX; on Windows a command interpreter started for it, waiting for input that never
// comes, ended at the end.
class OtherProcess {
public:
#ifdef _WIN32
    OtherProcess() {
        SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        HANDLE read = nullptr;
        if (!CreatePipe(&read, &input_, &inherit, 0)) return;
        SetHandleInformation(input_, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW start{};
        start.cb = sizeof start;
        start.dwFlags = STARTF_USESTDHANDLES;
        start.hStdInput = read;
        start.hStdOutput = start.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        std::wstring line = L"cmd.exe /q /k";
        if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                           &start, &process_))
            CloseHandle(process_.hThread);
        CloseHandle(read);
    }
    ~OtherProcess() {
        if (process_.hProcess) {
            TerminateProcess(process_.hProcess, 0);
            WaitForSingleObject(process_.hProcess, INFINITE);
            CloseHandle(process_.hProcess);
        }
        if (input_) CloseHandle(input_);
    }
    long id() const {
        return static_cast<long>(process_.dwProcessId);
    }

private:
    HANDLE input_ = nullptr;
    PROCESS_INFORMATION process_{};
#else
    OtherProcess() = default;
    long id() const {
        return static_cast<long>(getppid());
    }
#endif
    OtherProcess(const OtherProcess&) = delete;
    OtherProcess& operator=(const OtherProcess&) = delete;
};

// A part of a test run in a process of its own, beside the test: a fork on POSIX.
// Windows has no fork: there the test program starts again for the current test alone,
// with the task number and the test's folder in its environment; the test body begins
// with `if (auto task = ChildTask()) _exit(work(*task));`. The two talk through marks,
// empty files in a folder of their own beside the test's folder (cleared when a child
// starts while no other one lives, removed with the test's folder): the child sets one
// with Mark(name), the test waits for it with Child::awaitMark, and the other way round
// with Child::mark and AwaitMark. Die() ends the child at once, as if killed.
inline constexpr const char* kChildTaskVariable = "RVK_CHILD_TASK";
inline constexpr const char* kChildMarksVariable = "RVK_CHILD_MARKS";
// The exit code of a child ended by Child::kill (128 + SIGKILL on POSIX).
inline constexpr int kKilled = 137;

inline std::optional<int> ChildTask() {
    const char* task = std::getenv(kChildTaskVariable);
    if (!task) return std::nullopt;
    return std::atoi(task);
}

[[noreturn]] inline void Die() {
#ifdef _WIN32
    TerminateProcess(GetCurrentProcess(), 0);
#endif
    _exit(0);
}

inline std::filesystem::path& MarkFolder() {
    static std::filesystem::path folder = [] {
        const char* shared = std::getenv(kChildMarksVariable);
        return shared ? std::filesystem::path(shared) : std::filesystem::path();
    }();
    return folder;
}

inline void Mark(const std::string& name) {
    std::FILE* f = std::fopen((MarkFolder() / name).string().c_str(), "wb");
    if (f) std::fclose(f);
}

inline bool MarkSet(const std::string& name) {
    std::error_code ec;
    return std::filesystem::exists(MarkFolder() / name, ec);
}

// Waits for the mark; false after 60 seconds.
inline bool AwaitMark(const std::string& name) {
    for (int i = 0; i < 6000; ++i) {
        if (MarkSet(name)) return true;
#ifdef _WIN32
        Sleep(10);
#else
        usleep(10000);
#endif
    }
    return false;
}

class Child {
public:
    Child(int task, const std::filesystem::path& folder, const std::function<int()>& work) {
        MarkFolder() = folder.string() + ".marks";
        std::error_code ec;
        if (Living()++ == 0) std::filesystem::remove_all(MarkFolder(), ec);
        std::filesystem::create_directories(MarkFolder(), ec);
#ifdef _WIN32
        (void)work;
        std::wstring self(MAX_PATH, L'\0');
        self.resize(GetModuleFileNameW(nullptr, self.data(), MAX_PATH));
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string filter = std::string(info->test_suite_name()) + "." + info->name();
        std::wstring line =
            L"\"" + self + L"\" --gtest_filter=" + std::wstring(filter.begin(), filter.end());
        SetEnvironmentVariableA(kChildTaskVariable, std::to_string(task).c_str());
        SetEnvironmentVariableA(kChildFolderVariable, folder.string().c_str());
        SetEnvironmentVariableA(kChildMarksVariable, MarkFolder().string().c_str());
        STARTUPINFOW start{};
        start.cb = sizeof start;
        if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &start, &process_))
            CloseHandle(process_.hThread);
        SetEnvironmentVariableA(kChildTaskVariable, nullptr);
        SetEnvironmentVariableA(kChildFolderVariable, nullptr);
        SetEnvironmentVariableA(kChildMarksVariable, nullptr);
#else
        (void)task;
        pid_ = fork();
        if (pid_ == 0) _exit(work());
#endif
    }
    ~Child() {
        if (running()) {
            kill();
            wait();
        }
#ifdef _WIN32
        if (process_.hProcess) CloseHandle(process_.hProcess);
#endif
        --Living();
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    long id() const {
#ifdef _WIN32
        return static_cast<long>(process_.dwProcessId);
#else
        return static_cast<long>(pid_);
#endif
    }
    // The child's exit code, kKilled after kill(), -1 when it could not be started or
    // ended otherwise.
    int wait() {
        if (!running()) return code_;
#ifdef _WIN32
        DWORD code = 0;
        WaitForSingleObject(process_.hProcess, INFINITE);
        code_ = GetExitCodeProcess(process_.hProcess, &code) ? static_cast<int>(code) : -1;
#else
        int status = 0;
        if (waitpid(pid_, &status, 0) == pid_) reaped(status);
#endif
        waited_ = true;
        return code_;
    }
    void kill() const {
#ifdef _WIN32
        TerminateProcess(process_.hProcess, kKilled);
#else
        ::kill(pid_, SIGKILL);
#endif
    }
    void mark(const std::string& name) const { Mark(name); }
    // Waits for the child's mark; false when the child ended or a minute passed first.
    bool awaitMark(const std::string& name) {
        for (int i = 0; i < 6000; ++i) {
            if (MarkSet(name)) return true;
#ifdef _WIN32
            if (WaitForSingleObject(process_.hProcess, 10) == WAIT_OBJECT_0) return MarkSet(name);
#else
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                reaped(status);
                return MarkSet(name);
            }
            usleep(10000);
#endif
        }
        return false;
    }

private:
    static int& Living() {
        static int count = 0;
        return count;
    }
#ifndef _WIN32
    void reaped(int status) {
        code_ = WIFEXITED(status)                            ? WEXITSTATUS(status)
                : WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL ? kKilled
                                                                     : -1;
        waited_ = true;
    }
#endif
    bool running() const {
#ifdef _WIN32
        return process_.hProcess && !waited_;
#else
        return pid_ > 0 && !waited_;
#endif
    }
#ifdef _WIN32
    PROCESS_INFORMATION process_{};
#else
    pid_t pid_ = -1;
#endif
    bool waited_ = false;
    int code_ = -1;
};

inline int RunInChild(int task, const std::filesystem::path& folder,
                      const std::function<int()>& work) {
    return Child(task, folder, work).wait();
}

#ifndef _WIN32
// While it lives, a write that makes a file larger than `bytes` fails, as on a full
// disk; unlike folder permissions this holds for root too. Windows has no such limit.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        handler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, handler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool active() const { return active_; }

private:
    rlimit old_{};
    void (*handler_)(int) = nullptr;
    bool active_ = false;
};
#endif

// A value of the given colour type byte; never a run marker.
inline PixelValue Pix(std::uint32_t type, std::uint32_t rgb) {
    return (type << 24) | rgb;
}

// Fills every visible pixel of the chosen scale with runs and single pixels drawn
// from a few colour types, as real graphics look.
inline void FillVaried(VehicleRec& v, bool zoom2, std::uint32_t seed) {
    std::mt19937 rng(seed);
    const PixelValue choices[] = {kTransparent,        kHalfTransparent,    Pix(0x00, 0x123456),
                                  Pix(0x40, 0xABCDEF), Pix(0x61, 0x0000FF), Pix(0x00, 0xFF0000)};
    for (int view = 0; view < kViewCount; ++view) {
        const PlaneRef ref = PlaneOf(&v, view, zoom2);
        const ViewSize size = ViewGeometry(&v, view, zoom2);
        const int top = RowOffset(v, view, zoom2);
        PixelValue value = kTransparent;
        for (int y = 0; y < size.height; ++y)
            for (int x = 0; x < size.width; ++x) {
                if (rng() % 5 == 0) value = choices[rng() % 6];
                if (rng() % 7 == 0) value = Pix(0x00, rng() & 0xFFFFFF);
                ref.plane->set(x, y + top, value);
            }
    }
}

inline VehicleRec VariedVehicle(std::uint32_t seed, bool withZoom2) {
    VehicleRec v;
    std::mt19937 rng(seed);
    v.Length = static_cast<std::uint16_t>(8 + 2 * (rng() % 125));
    v.HeightS = static_cast<std::uint16_t>(2 + rng() % 13);
    v.Width = static_cast<std::uint16_t>(4 + 2 * (rng() % 7));
    v.HeightF = static_cast<std::uint16_t>(2 + rng() % 13);
    v.Props = (rng() % 2) ? kDefaultProps : (kPixels32 | kRev | kMotorized);
    v.SteamCount = static_cast<std::uint8_t>(rng() % 4);
    for (int k = 0; k < 3 * v.SteamCount; ++k) v.Steam[k] = static_cast<std::uint16_t>(rng() % 300);
    for (int k = 3 * v.SteamCount; k < 9; ++k) v.Steam[k] = 1;
    for (int i = 0; i < 5; ++i)
        v.Info[i] = "info " + std::to_string(i) + " of " + std::to_string(seed);
    FillVaried(v, false, seed);
    if (withZoom2) {
        DeriveZoom2(v, "derived");
        v.Zoom2HeightS = static_cast<std::uint16_t>(4 + rng() % 25);
        FillVaried(v, true, seed + 1);
    }
    return v;
}

// The pixels a file keeps: the visible areas of the views in use.
inline void ExpectSameViews(const VehicleRec& a, const VehicleRec& b, bool zoom2) {
    ASSERT_EQ(a.viewCount(), b.viewCount());
    for (int view = 0; view < a.viewCount(); ++view) {
        const ViewSize size = ViewGeometry(&a, view, zoom2);
        const ConstPlaneRef pa = PlaneOf(&a, view, zoom2);
        const ConstPlaneRef pb = PlaneOf(&b, view, zoom2);
        const int ta = RowOffset(a, view, zoom2);
        const int tb = RowOffset(b, view, zoom2);
        for (int y = 0; y < size.height; ++y)
            for (int x = 0; x < size.width; ++x)
                ASSERT_EQ(pa.plane->at(x, y + ta), pb.plane->at(x, y + tb))
                    << "view " << view << " at " << x << "," << y << (zoom2 ? " zoom2" : "");
    }
}

inline void ExpectSameStored(const VehicleRec& a, const VehicleRec& b) {
    EXPECT_EQ(a.Length, b.Length);
    EXPECT_EQ(a.HeightS, b.HeightS);
    EXPECT_EQ(a.Width, b.Width);
    EXPECT_EQ(a.HeightF, b.HeightF);
    EXPECT_EQ(a.Props | kPixels32, b.Props);
    ASSERT_EQ(a.SteamCount, b.SteamCount);
    // The file keeps the points in use only.
    EXPECT_TRUE(std::equal(a.Steam.begin(), a.Steam.begin() + 3 * std::min<int>(a.SteamCount, 3),
                           b.Steam.begin()));
    EXPECT_EQ(a.Info, b.Info);
    ExpectSameViews(a, b, false);
}

// A plane whose pixel (x, y) holds 0x00YYXX00 + tag, so every cell is told apart.
inline Plane NumberedPlane(int width, int height, PixelValue tag = 0) {
    Plane plane(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            plane.set(x, y,
                      tag + (static_cast<PixelValue>(y) << 16) + (static_cast<PixelValue>(x) << 8));
    return plane;
}

// Two fleets holding three varied vehicles, and an info text of two lines.
inline void FillSampleDocument(DocumentRec& doc) {
    doc.info = "First line\r\nSecond line";
    doc.fleets.push_back(CreateFleet("Trams"));
    doc.fleets.push_back(CreateFleet("Buses"));
    for (std::uint32_t s = 0; s < 3; ++s)
        doc.fleets[s % 2]->vehicles.push_back(std::make_unique<VehicleRec>(VariedVehicle(s + 10, false)));
}

inline void ExpectSameDocument(const DocumentRec& a, const DocumentRec& b) {
    EXPECT_EQ(a.info, b.info);
    ASSERT_EQ(a.fleets.size(), b.fleets.size());
    for (std::size_t i = 0; i < a.fleets.size(); ++i) {
        EXPECT_EQ(a.fleets[i]->name, b.fleets[i]->name);
        ASSERT_EQ(a.fleets[i]->vehicles.size(), b.fleets[i]->vehicles.size());
        for (std::size_t j = 0; j < a.fleets[i]->vehicles.size(); ++j)
            ExpectSameStored(*a.fleets[i]->vehicles[j], *b.fleets[i]->vehicles[j]);
    }
}

}  // namespace rvk::testing
