// Draws the program icon, a small tram, at the sizes the desktop asks for:
//   make_icon OUT_FOLDER   writes rvkedit-16.png, -32, -48 and -256
#include <cstdio>
#include <string>

#include "model/file_io.h"
#include "model/png_codec.h"

namespace {

// One character per pixel: . none, k outline and wheels, r body, w windows,
// y stripe, g pantograph and rail.
constexpr const char* kTram[16] = {
    "................", "................", ".....g....g.....", "......g..g......",
    ".......gg.......", ".kkkkkkkkkkkkkk.", "krrrrrrrrrrrrrrk", "krwwwrwwrwwrwwwk",
    "krwwwrwwrwwrwwwk", "krrrrrrrrrrrrrrk", "kyyyyyyyyyyyyyyk", "krrrrrrrrrrrrrrk",
    ".kkkkkkkkkkkkkk.", "...kk......kk...", "...kk......kk...", "gggggggggggggggg",
};

void Paint(std::uint8_t* p, char c) {
    switch (c) {
        case 'k':
            p[0] = 0x30, p[1] = 0x30, p[2] = 0x30, p[3] = 0xFF;
            break;
        case 'r':
            p[0] = 0xC8, p[1] = 0x20, p[2] = 0x20, p[3] = 0xFF;
            break;
        case 'w':
            p[0] = 0xA8, p[1] = 0xD8, p[2] = 0xF0, p[3] = 0xFF;
            break;
        case 'y':
            p[0] = 0xF0, p[1] = 0xC8, p[2] = 0x30, p[3] = 0xFF;
            break;
        case 'g':
            p[0] = 0x80, p[1] = 0x80, p[2] = 0x80, p[3] = 0xFF;
            break;
        default:
            p[0] = p[1] = p[2] = p[3] = 0;
            break;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon OUT_FOLDER\n");
        return 2;
    }
    for (const int size : {16, 32, 48, 256}) {
        // Whole pixels of the drawing; 48 is three times 16.
        const int scale = size / 16;
        rvk::RgbaImage icon(size, size);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) Paint(icon.at(x, y), kTram[y / scale][x / scale]);
        std::string error;
        const auto png = rvk::EncodePng(icon, true, rvk::PngChunk{}, error);
        const std::string path = std::string(argv[1]) + "/rvkedit-" + std::to_string(size) + ".png";
        if (!png || !rvk::WriteFileAtomic(path, *png)) {
            std::fprintf(stderr, "make_icon: %s: cannot be written %s\n", path.c_str(),
                         error.c_str());
            return 1;
        }
    }
    return 0;
}
