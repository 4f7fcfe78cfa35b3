#include "records/pixel.h"

#include <array>

namespace rvk {

namespace {

constexpr std::array<std::uint8_t, kColorTypeCount> kTypeBytes = {
    0x00, 0x80, 0x80, 0x40, 0x50, 0x51, 0x60, 0x61, 0x62, 0x64, 0x65, 0x66};

constexpr RgbColor kTransparentShown = MakeRgb(0x00, 0x70, 0x00);
constexpr RgbColor kHalfTransparentShown = MakeRgb(0x00, 0x32, 0x64);
constexpr RgbColor kWhiteLamp = MakeRgb(0xFC, 0xFC, 0xA8);
constexpr RgbColor kRedLamp = MakeRgb(0xFC, 0x30, 0x14);
constexpr RgbColor kYellowWindow = MakeRgb(0xB0, 0x90, 0x00);
constexpr RgbColor kNeonWindow = MakeRgb(0xA0, 0xAC, 0x9C);

// Colours of palette codes 1..62, as the low 24 bits of a pixel.
constexpr std::array<RgbColor, 62> kPaletteColors = {
    0xA80000, 0x00A800, 0xA8A800, 0x0000A8, 0x0088A8, 0x007000, 0xA8A8A8, 0x545454,
    0xFC5454, 0x54FC54, 0xFCFC54, 0x5454FC, 0x00A0FC, 0x54FCFC, 0xFFFFFF, 0x8CF4FC,
    0x30BCDC, 0x00247C, 0x3C3C3C, 0x7C7C7C, 0xBCBCBC, 0x005C00, 0x2828D0, 0x002854,
    0xC4FCFC, 0xA800A8, 0xD03C3C, 0x148014, 0x842C0C, 0x7C7C44, 0xA8A86C, 0x143C58,
    0x64843C, 0x28D028, 0x00D4F4, 0x5050A8, 0x8080DC, 0x789494, 0x00349C, 0xDCDCDC,
    0x649864, 0x004000, 0x0C6CFC, 0x0028EC, 0xB0D084, 0x486068, 0xA8906C, 0xD0D02C,
    0xF050F0, 0xFC9864, 0x0064CC, 0x980064, 0xA8C0CC, 0x003434, 0xECCCC8, 0x986400,
    0xCC9800, 0x686868, 0x2CE8F8, 0x7894B8, 0x949494, 0x0C940C};

constexpr std::array<PixelValue, 256> MakeHostPalette() {
    std::array<PixelValue, 256> t{};
    for (int code = 1; code <= 62; ++code) t[code] = kPaletteColors[code - 1];
    constexpr std::array<PixelValue, 6> lights = {0x407CEC3C, 0x40503CFC, 0x404CE4FC,
                                                  0x40ECFCFC, 0x40F45C4C, 0x4014B4FC};
    for (int i = 0; i < 6; ++i) t[64 + i] = lights[i];
    t[75] = 0x50484848;
    t[76] = 0x509C9C9C;
    t[77] = 0x512020C4;
    t[78] = 0x5148485C;
    constexpr std::array<std::pair<int, std::uint32_t>, 6> windows = {
        std::pair{80, 0x60u}, std::pair{85, 0x61u},  std::pair{90, 0x62u},
        std::pair{100, 0x64u}, std::pair{105, 0x65u}, std::pair{110, 0x66u}};
    for (auto [first, type] : windows)
        for (int k = 0; k < 4; ++k) t[first + k] = (type << 24) | kPaletteColors[29 + k - 1];
    t[254] = kHalfTransparent;
    t[255] = kTransparent;
    return t;
}

constexpr std::array<PixelValue, 256> kHostPalette = MakeHostPalette();

}  // namespace

ColorType ColorTypeOf(PixelValue pixel) {
    if (pixel == kTransparent) return kTypeTransparent;
    if (pixel == kHalfTransparent) return kTypeHalfTransparent;
    const auto typeByte = static_cast<std::uint8_t>(pixel >> 24);
    for (ColorType t = 3; t < kColorTypeCount; ++t)
        if (kTypeBytes[t] == typeByte) return t;
    return kTypeNormal;
}

PixelValue PixelOfType(ColorType type, RgbColor color) {
    if (type == kTypeTransparent) return kTransparent;
    if (type == kTypeHalfTransparent) return kHalfTransparent;
    if (type < 0 || type >= kColorTypeCount) type = kTypeNormal;
    return (PixelValue{kTypeBytes[type]} << 24) | (color & 0xFFFFFFu);
}

RgbColor DisplayColor(PixelValue pixel, NightLevel level) {
    if (pixel == kTransparent) return kTransparentShown;
    if (pixel == kHalfTransparent) return kHalfTransparentShown;
    const auto typeByte = static_cast<std::uint8_t>(pixel >> 24);
    if (typeByte == 0x40 || level == 0) return pixel & 0xFFFFFFu;
    switch (typeByte) {
        case 0x50: return kWhiteLamp;
        case 0x51: return kRedLamp;
        case 0x60: return kYellowWindow;
        case 0x61: if (level >= 2) return kYellowWindow; break;
        case 0x62: if (level >= 3) return kYellowWindow; break;
        case 0x64: return kNeonWindow;
        case 0x65: if (level >= 2) return kNeonWindow; break;
        case 0x66: if (level >= 3) return kNeonWindow; break;
        default: break;
    }
    int m = RedOf(pixel);
    if (GreenOf(pixel) > m) m = GreenOf(pixel);
    if (BlueOf(pixel) > m) m = BlueOf(pixel);
    const auto g = static_cast<std::uint8_t>(m >= 180 ? m - 180 : 0);
    return MakeRgb(g, g, g);
}

PixelValue HostPalette(std::uint8_t code) { return kHostPalette[code]; }

}  // namespace rvk
