// Running the built rvktool and looking at what it wrote.
#pragma once

#include <png.h>
#include <unistd.h>
#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <sys/wait.h>
#endif

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace rvk::clitest {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed again at the end.
class TempDir {
public:
    TempDir() {
        static int counter = 0;
        path_ = fs::temp_directory_path() /
                ("rvk_cli_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Quoted for the command line of the program to run.
inline std::string Quote(const std::string& path) {
#ifdef _WIN32
    // Backslashes are literal, except before a quote, where they are doubled.
    std::string quoted = "\"";
    std::size_t slashes = 0;
    for (const char c : path) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        quoted.append(c == '"' ? 2 * slashes + 1 : slashes, '\\');
        slashes = 0;
        quoted += c;
    }
    quoted.append(2 * slashes, '\\');
    return quoted + "\"";
#else
    return "'" + path + "'";
#endif
}

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
    // The one line that a failure prints.
    bool oneErrorLine() const {
        return !err.empty() && err.back() == '\n' && err.find('\n') == err.size() - 1;
    }
};

#ifdef _WIN32
inline std::wstring Wide(const std::string& utf8) {
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                            static_cast<int>(wide.size()))));
    return wide;
}

// A handle the child inherits as its standard output or error.
inline HANDLE OutputFile(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Started directly rather than through cmd.exe, whose quoting and code page would
// change the arguments; the command line goes over as UTF-16.
inline int RunDirectly(const std::string& program, const std::string& args, const std::string& out,
                       const std::string& err) {
    std::wstring line = Wide(Quote(fs::path(program).make_preferred().string()) + " " + args);
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    start.hStdOutput = OutputFile(out);
    start.hStdError = OutputFile(err);
    PROCESS_INFORMATION child{};
    DWORD code = static_cast<DWORD>(-1);
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start,
                       &child)) {
        WaitForSingleObject(child.hProcess, INFINITE);
        GetExitCodeProcess(child.hProcess, &code);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
    }
    CloseHandle(start.hStdOutput);
    CloseHandle(start.hStdError);
    return static_cast<int>(code);
}
#endif

// Runs a program with arguments (already quoted where needed).
inline ToolRun RunProgram(const std::string& program, const std::string& args) {
    TempDir io;
    const std::string out = io / "out", err = io / "err";
    ToolRun run;
#ifdef _WIN32
    run.status = RunDirectly(program, args, out, err);
#else
    const std::string command =
        Quote(program) + " " + args + " >" + Quote(out) + " 2>" + Quote(err);
    const int rc = std::system(command.c_str());
    run.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
#endif
    run.out = ReadText(out);
    run.err = ReadText(err);
    return run;
}

inline ToolRun Tool(const std::string& args) {
    return RunProgram(RVKTOOL_PATH, args);
}

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
    // As a raster word 0xffRRGGBB.
    std::uint32_t at(int x, int y) const {
        const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
        return 0xff000000u | (std::uint32_t{rgb[i]} << 16) | (std::uint32_t{rgb[i + 1]} << 8) |
               rgb[i + 2];
    }
};

inline std::optional<Picture> ReadPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return std::nullopt;
    image.format = PNG_FORMAT_RGB;
    Picture picture;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        return std::nullopt;
    }
    return picture;
}

}  // namespace rvk::clitest
