// Draws the program icon, a small tram, at the sizes the desktop asks for:
//   make_icon OUT_FOLDER   writes rvkedit-16.png, -32, -48 and -256, and the same four
//                          pictures as the Windows icon rvkedit.ico
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "formats/png_codec.h"
#include "storage/file_io.h"
#include "storage/save_set.h"

namespace {

// One character per pixel: . none, k outline and wheels, r body, w windows,
// y stripe, g pantograph and rail.
// clang-format off
constexpr const char* kTram[16] = {
    "................",
    "................",
    ".....g....g.....",
    "......g..g......",
    ".......gg.......",
    ".kkkkkkkkkkkkkk.",
    "krrrrrrrrrrrrrrk",
    "krwwwrwwrwwrwwwk",
    "krwwwrwwrwwrwwwk",
    "krrrrrrrrrrrrrrk",
    "kyyyyyyyyyyyyyyk",
    "krrrrrrrrrrrrrrk",
    ".kkkkkkkkkkkkkk.",
    "...kk......kk...",
    "...kk......kk...",
    "gggggggggggggggg",
};
// clang-format on

struct Ink {
    char key;
    std::uint8_t rgba[4];
};
constexpr Ink kInks[] = {{'k', {0x30, 0x30, 0x30, 0xFF}},
                         {'r', {0xC8, 0x20, 0x20, 0xFF}},
                         {'w', {0xA8, 0xD8, 0xF0, 0xFF}},
                         {'y', {0xF0, 0xC8, 0x30, 0xFF}},
                         {'g', {0x80, 0x80, 0x80, 0xFF}}};

void Paint(std::uint8_t* p, char c) {
    std::fill_n(p, 4, 0);
    for (const Ink& ink : kInks)
        if (ink.key == c) std::copy_n(ink.rgba, 4, p);
}

void PutLE(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// An icon file whose pictures are PNG streams, which Windows reads since Vista; a
// width or height of 256 is written as 0.
std::vector<std::uint8_t> IcoFile(const std::vector<std::pair<int, std::vector<std::uint8_t>>>& pngs) {
    std::vector<std::uint8_t> out;
    PutLE(out, 0, 2);
    PutLE(out, 1, 2);
    PutLE(out, static_cast<std::uint32_t>(pngs.size()), 2);
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * pngs.size());
    for (const auto& [size, png] : pngs) {
        PutLE(out, static_cast<std::uint32_t>(size % 256), 1);
        PutLE(out, static_cast<std::uint32_t>(size % 256), 1);
        PutLE(out, 0, 2);   // no palette, reserved
        PutLE(out, 1, 2);   // planes
        PutLE(out, 32, 2);  // bits per pixel
        PutLE(out, static_cast<std::uint32_t>(png.size()), 4);
        PutLE(out, offset, 4);
        offset += static_cast<std::uint32_t>(png.size());
    }
    for (const auto& entry : pngs) out.insert(out.end(), entry.second.begin(), entry.second.end());
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon OUT_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    std::vector<std::pair<int, std::vector<std::uint8_t>>> pngs;
    for (const int size : {16, 32, 48, 256}) {
        // Whole pixels of the drawing; 48 is three times 16.
        const int scale = size / 16;
        rvk::RgbaImage icon(size, size);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) Paint(icon.at(x, y), kTram[y / scale][x / scale]);
        std::string error;
        const auto png = rvk::EncodePng(icon, true, rvk::PngChunk{}, error);
        const std::string path = folder + "/rvkedit-" + std::to_string(size) + ".png";
        if (!png || !rvk::WriteFileAtomic(path, *png)) {
            std::fprintf(stderr, "make_icon: %s: cannot be written %s\n", path.c_str(),
                         error.c_str());
            return 1;
        }
        pngs.emplace_back(size, *png);
    }
    const std::string ico = folder + "/rvkedit.ico";
    if (!rvk::WriteFileAtomic(ico, IcoFile(pngs))) {
        std::fprintf(stderr, "make_icon: %s: cannot be written\n", ico.c_str());
        return 1;
    }
    return 0;
}
