// Draws the example document: an articulated tram, a steam tank engine and an
// electric locomotive, the tram and the electric locomotive with refined Zoom2
// graphics. Writes OUTDIR/trams.rvk and its companion files as the editor saves them.
//
//   make_examples OUTDIR
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

#include "records/pixel.h"
#include "records/vehicle.h"
#include "storage/document_files.h"

namespace {

using namespace rvk;

// ---- colours ----

constexpr PixelValue Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return MakeRgb(r, g, b);  // type byte 0: normal
}
PixelValue Typed(ColorType type, PixelValue normal) {
    return PixelOfType(type, normal & 0xFFFFFF);
}
PixelValue Light(PixelValue c) {
    return Typed(3, c);
}
PixelValue WhiteLamp(PixelValue c) {
    return Typed(4, c);
}
PixelValue RedLamp(PixelValue c) {
    return Typed(5, c);
}
// Passenger or cab windows: group 0..2, yellow or neon light at night.
PixelValue Window(int group, bool neon, PixelValue c) {
    return Typed((neon ? 9 : 6) + group, c);
}

constexpr PixelValue kNone = kTransparent;
constexpr PixelValue kBlack = Rgb(0x18, 0x18, 0x18);
constexpr PixelValue kDark = Rgb(0x30, 0x30, 0x30);
constexpr PixelValue kSkirt = Rgb(0x44, 0x44, 0x48);
constexpr PixelValue kRoof = Rgb(0xA8, 0xA8, 0xAC);
constexpr PixelValue kRoofShade = Rgb(0x90, 0x90, 0x94);
constexpr PixelValue kEquipment = Rgb(0x78, 0x7C, 0x80);
constexpr PixelValue kMetal = Rgb(0x60, 0x60, 0x64);
constexpr PixelValue kSilver = Rgb(0xD0, 0xD4, 0xD8);
constexpr PixelValue kGlass = Rgb(0x34, 0x48, 0x5C);
constexpr PixelValue kGlassTop = Rgb(0x28, 0x38, 0x48);
constexpr PixelValue kCabGlass = Rgb(0x22, 0x2E, 0x3A);
constexpr PixelValue kLampOff = Rgb(0xC8, 0xC8, 0xC0);
constexpr PixelValue kTailOff = Rgb(0x80, 0x18, 0x18);
constexpr PixelValue kAmber = Rgb(0xFF, 0xB0, 0x20);

// ---- drawing on a view's visible area ----

class View {
public:
    View(VehicleRec& rec, int view, bool zoom2)
        : ref_(PlaneOf(&rec, view, zoom2)),
          size_(ViewGeometry(&rec, view, zoom2)),
          rowOffset_(RowOffset(rec, view, zoom2)) {}

    int width() const { return size_.width; }
    int height() const { return size_.height; }
    void set(int x, int y, PixelValue p) {
        if (x >= 0 && y >= 0 && x < size_.width && y < size_.height)
            ref_.plane->set(x, y + rowOffset_, p);
    }
    PixelValue at(int x, int y) const { return ref_.plane->at(x, y + rowOffset_); }
    // Inclusive rectangle.
    void rect(int x0, int y0, int x1, int y1, PixelValue p) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) set(x, y, p);
    }
    void hline(int x0, int x1, int y, PixelValue p) { rect(x0, y, x1, y, p); }
    void vline(int x, int y0, int y1, PixelValue p) { rect(x, y0, x, y1, p); }
    // Passes every pixel of the rectangle through f.
    void recolor(int x0, int y0, int x1, int y1, const std::function<PixelValue(PixelValue)>& f) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                if (x >= 0 && y >= 0 && x < size_.width && y < size_.height) set(x, y, f(at(x, y)));
    }
    void clear() { rect(0, 0, size_.width - 1, size_.height - 1, kNone); }

private:
    PlaneRef ref_;
    ViewSize size_;
    int rowOffset_;
};

// The right side is the left side seen from the other side: mirrored.
void MirrorLeftToRight(VehicleRec& rec, bool zoom2) {
    View left(rec, 1, zoom2), right(rec, 0, zoom2);
    for (int y = 0; y < left.height(); ++y)
        for (int x = 0; x < left.width(); ++x) right.set(left.width() - 1 - x, y, left.at(x, y));
}

// Roof halves: the S half holds the front half of the vehicle, the N half the rear
// half; in both, row 0 is at the middle of the vehicle and the last row at its end,
// next to the end view below it in the editor.
void SetRoof(VehicleRec& rec, bool zoom2, int along, int across, PixelValue p) {
    const int half = zoom2 ? rec.Length : rec.Length / 2;
    if (along < half) {
        View(rec, 2, zoom2).set(across, half - 1 - along, p);
    } else {
        View(rec, 4, zoom2).set(across, along - half, p);
    }
}

// The four end views of a double-ended vehicle: front at S, rear at N, and, for the
// other direction of travel, front at N and rear at S.
void DrawEnds(VehicleRec& rec, bool zoom2, const std::function<void(View&, bool front)>& draw) {
    const std::pair<int, bool> ends[] = {{3, true}, {5, false}, {6, true}, {7, false}};
    for (const auto& [view, front] : ends) {
        if (view >= rec.viewCount()) continue;
        View v(rec, view, zoom2);
        draw(v, front);
    }
}

// ---- articulated tram ----

constexpr PixelValue kCream = Rgb(0xF2, 0xEA, 0xD2);
constexpr PixelValue kTramRed = Rgb(0xC8, 0x1E, 0x28);
constexpr PixelValue kTramRedDark = Rgb(0x98, 0x14, 0x1C);
constexpr PixelValue kDoorLine = Rgb(0x5A, 0x50, 0x48);
constexpr PixelValue kBellows = Rgb(0x2A, 0x2A, 0x2C);

struct TramSection {
    int x0, x1;  // length positions, inclusive
    int group;   // window group lit with it
};
constexpr TramSection kTramSections[] = {{0, 37, 0}, {40, 55, 1}, {58, 95, 2}};
constexpr int kTramDoors[][2] = {{7, 10}, {23, 29}, {65, 71}, {85, 88}};
constexpr int kTramBogies[] = {6, 43, 80};  // first column of each 10-wide bogie

PixelValue TramGlass(int group, bool top = false) {
    return Window(group, true, top ? kGlassTop : kGlass);
}

void DrawTramSide(VehicleRec& rec) {
    View s(rec, 1, false);
    const int last = rec.Length - 1;
    // Sloped ends: where each row starts.
    const int inset[14] = {99, 99, 99, 3, 2, 1, 0, 0, 0, 0, 0, 0, 0, 99};
    for (int y = 3; y <= 12; ++y) {
        const PixelValue c = y == 3    ? kRoof
                             : y == 4  ? kCream
                             : y <= 8  ? kCream
                             : y <= 11 ? kTramRed
                                       : kSkirt;
        s.hline(inset[y], last - inset[y], y, c);
    }
    s.hline(inset[11], last - inset[11], 11, kTramRedDark);
    for (const TramSection& sec : kTramSections) {
        // Windows between pillars, over the whole section; doors and cabs come later.
        for (int x = sec.x0 + 3; x <= sec.x1 - 3; ++x) {
            const bool pillar = (x - sec.x0 - 3) % 6 == 5;
            for (int y = 5; y <= 8; ++y)
                s.set(x, y, pillar ? kCream : TramGlass(sec.group, y == 5));
        }
        // Side destination sign in the front and rear sections.
        if (sec.group != 1) {
            const int sx = sec.group == 0 ? 13 : last - 19;
            for (int x = sx; x < sx + 7; ++x) s.set(x, 4, Light(x % 2 ? kAmber : kBlack));
        }
    }
    // Cabs: dark windscreens at both ends.
    for (int y = 5; y <= 8; ++y) {
        for (int x = inset[y]; x <= 2; ++x) s.set(x, y, kCabGlass);
        for (int x = last - 2; x <= last - inset[y]; ++x) s.set(x, y, kCabGlass);
    }
    // Doors: outlined leaves with windows, double doors with a seam.
    for (const auto& d : kTramDoors) {
        const int group = d[0] < 38 ? 0 : 2;
        s.rect(d[0], 4, d[1], 11, kCream);
        s.rect(d[0] + 1, 5, d[1] - 1, 8, TramGlass(group));
        s.rect(d[0] + 1, 9, d[1] - 1, 11, kTramRed);
        s.vline(d[0], 4, 11, kDoorLine);
        s.vline(d[1], 4, 11, kDoorLine);
        s.hline(d[0], d[1], 4, kDoorLine);
        if (d[1] - d[0] >= 6) s.vline((d[0] + d[1]) / 2, 5, 11, kDoorLine);
    }
    // Bellows between the sections, set back from the body line.
    for (const int x : {38, 39, 56, 57}) {
        s.vline(x, 3, 12, kNone);
        s.vline(x, 4, 11, kBellows);
    }
    // Bogies under the skirts.
    for (const int b : kTramBogies) {
        s.hline(b, b + 9, 12, kDark);
        s.hline(b + 1, b + 3, 13, kBlack);
        s.hline(b + 6, b + 8, 13, kBlack);
    }
    // Roof: air-conditioning units over the end sections.
    s.hline(10, 20, 2, kEquipment);
    s.hline(last - 20, last - 10, 2, kEquipment);
    // Single-arm pantograph over the middle section.
    s.hline(44, 51, 0, kMetal);
    s.set(47, 1, kBlack);
    s.set(48, 1, kBlack);
    s.hline(45, 50, 2, kDark);
    // Lamps at both ends: white low, red above it.
    for (const int x : {0, last}) {
        s.set(x, 10, WhiteLamp(kLampOff));
        s.set(x, 9, RedLamp(kTailOff));
    }
}

void DrawTramEnd(View& v, bool front) {
    const int w = v.width(), r = w - 1;
    v.clear();
    v.hline(2, r - 2, 0, kMetal);  // pantograph head
    v.hline(4, r - 4, 1, kBlack);
    v.hline(3, r - 3, 2, kEquipment);
    v.hline(1, r - 1, 3, kRoof);
    v.hline(0, r, 4, kCream);
    for (int x = 2; x <= r - 2; ++x) v.set(x, 4, Light(x % 2 ? kAmber : kBlack));
    v.rect(0, 5, r, 8, kCream);
    v.rect(1, 5, r - 1, 8, kCabGlass);
    v.set(w / 2 - 1, 8, kBlack);  // wiper
    v.hline(0, r, 9, kTramRed);
    v.hline(0, r, 10, kTramRed);
    v.hline(0, r, 11, kTramRedDark);
    v.hline(3, r - 3, 11, kSkirt);
    v.hline(0, r, 12, kSkirt);
    v.hline(w / 2 - 1, w / 2, 12, kBlack);
    // Headlights shine at the front, tail lights at the rear; the others stay dark.
    v.set(1, 10, front ? WhiteLamp(kLampOff) : kLampOff);
    v.set(r - 1, 10, front ? WhiteLamp(kLampOff) : kLampOff);
    v.set(2, 10, front ? kTailOff : RedLamp(kTailOff));
    v.set(r - 2, 10, front ? kTailOff : RedLamp(kTailOff));
}

void DrawTramRoof(VehicleRec& rec) {
    const int w = rec.Width, r = w - 1, last = rec.Length - 1;
    for (int a = 0; a <= last; ++a) {
        const bool end = a <= 1 || a >= last - 1;
        for (int x = 0; x < w; ++x) {
            PixelValue p = x == 0 || x == r ? kCream : x == 1 || x == r - 1 ? kRoofShade : kRoof;
            if (end && (x == 0 || x == r)) p = kNone;
            if (a == 0 || a == last) p = x >= 2 && x <= r - 2 ? kCream : kNone;
            SetRoof(rec, false, a, x, p);
        }
        if (a == 1 || a == last - 1)
            for (int x = 1; x < r; ++x) SetRoof(rec, false, a, x, kCabGlass);
    }
    for (const int a : {38, 39, 56, 57})
        for (int x = 0; x < w; ++x) SetRoof(rec, false, a, x, x == 0 || x == r ? kNone : kBellows);
    // Air-conditioning units with vents.
    for (const int start : {10, last - 20})
        for (int a = start; a <= start + 10; ++a)
            for (int x = 3; x <= r - 3; ++x)
                SetRoof(rec, false, a, x, (a - start) % 2 ? kMetal : kEquipment);
    // Pantograph: frame, arm along the roof, head across it.
    for (int x = 3; x <= r - 3; ++x)
        SetRoof(rec, false, 45, x, kDark), SetRoof(rec, false, 50, x, kDark);
    for (int a = 46; a <= 50; ++a)
        SetRoof(rec, false, a, w / 2 - 1, kBlack), SetRoof(rec, false, a, w / 2, kBlack);
    for (int x = 1; x < r; ++x) SetRoof(rec, false, 51, x, kMetal);
}

// Zoom2: finer pillars, door frames and a pin stripe, a thin pantograph, round wheels
// and signs with finer lettering.
void RefineTramZoom2(VehicleRec& rec) {
    View s(rec, 1, true);
    const int r = s.width() - 1;
    auto glassOnly = [](PixelValue glass) {
        return
            [glass](PixelValue p) { return ColorTypeOf(p) >= 9 ? (p & 0xFF000000u) | glass : p; };
    };
    // Pillars one pixel wide, a darker top row in every window.
    for (const TramSection& sec : kTramSections)
        for (int x = sec.x0 + 3; x <= sec.x1 - 3; ++x)
            if ((x - sec.x0 - 3) % 6 == 5)
                for (int y = 10; y <= 17; ++y)
                    if (const PixelValue glass = s.at(2 * x + 2, y); ColorTypeOf(glass) >= 9)
                        s.set(2 * x + 1, y, glass);
    s.recolor(0, 10, r, 10, glassOnly(kGlassTop));
    s.recolor(0, 11, r, 11, glassOnly(kGlass));
    // White pin stripe under the windows.
    s.recolor(0, 18, r, 18, [](PixelValue p) { return p == kTramRed ? Rgb(0xF8, 0xF8, 0xF8) : p; });
    // Doors drawn anew: thin frames, leaves with a cream edge, a seam between double leaves.
    for (const auto& d : kTramDoors) {
        const int x0 = 2 * d[0], x1 = 2 * d[1] + 1;
        const PixelValue glass = TramGlass(d[0] < 38 ? 0 : 2);
        s.rect(x0, 8, x1, 23, kCream);
        s.rect(x0 + 2, 10, x1 - 2, 17, glass);
        s.hline(x0 + 2, x1 - 2, 10, (glass & 0xFF000000u) | kGlassTop);
        s.rect(x0 + 1, 19, x1 - 1, 23, kTramRed);
        s.vline(x0, 8, 23, kDoorLine);
        s.vline(x1, 8, 23, kDoorLine);
        s.hline(x0, x1, 8, kDoorLine);
        if (d[1] - d[0] >= 6) s.rect((x0 + x1) / 2, 9, (x0 + x1) / 2 + 1, 23, kDoorLine);
    }
    // Single-arm pantograph: contact strip, head, the arm rising to its knee, the base.
    s.rect(84, 0, 107, 5, kNone);
    s.hline(88, 103, 0, kSilver);
    s.hline(89, 102, 1, kMetal);
    s.hline(91, 93, 4, kBlack);
    s.hline(94, 97, 3, kBlack);
    s.hline(98, 100, 2, kBlack);
    s.hline(89, 102, 5, kDark);
    s.set(90, 4, kMetal);
    s.set(101, 4, kMetal);
    // Round wheels with a hub.
    for (const int b : kTramBogies)
        for (const int w : {2 * b + 2, 2 * b + 12}) {
            s.set(w, 27, kNone);
            s.set(w + 5, 27, kNone);
            s.set(w + 2, 26, kMetal);
            s.set(w + 3, 26, kMetal);
        }
    // Finer lettering on the side signs.
    for (int y = 8; y <= 9; ++y)
        for (int x = 0; x <= r; ++x)
            if (ColorTypeOf(s.at(x, y)) == 3) s.set(x, y, Light((x + y) % 3 ? kAmber : kBlack));
    MirrorLeftToRight(rec, true);

    // End views: rounder roof corners, a finer sign, a divided windscreen.
    DrawEnds(rec, true, [](View& v, bool) {
        const int e = v.width() - 1;
        v.set(2, 6, kNone), v.set(e - 2, 6, kNone);
        for (int x = 4; x <= e - 4; ++x) {
            v.set(x, 8, Light(x % 2 ? kBlack : kAmber));
            v.set(x, 9, Light(x % 3 ? kAmber : kBlack));
        }
        v.hline(2, e - 2, 10, kDark);
        v.vline(e / 2, 11, 17, kDark);
    });
    // Roof: single-row vents.
    for (const int view : {2, 4}) {
        View roof(rec, view, true);
        for (int y = 1; y < roof.height(); y += 2)
            roof.recolor(0, y, roof.width() - 1, y,
                         [](PixelValue p) { return p == kMetal ? kEquipment : p; });
    }
}

std::unique_ptr<VehicleRec> MakeTram() {
    auto rec = std::make_unique<VehicleRec>();
    InitVehicle(*rec);
    rec->Length = 96;
    rec->HeightS = 14;
    rec->Width = 10;
    rec->HeightF = 13;
    rec->Props = kPixels32 | kExtraViews | kMotorized;  // double ended
    rec->Info = {"Articulated tram", "Three sections, low floor", "Length 30 m, width 2.4 m",
                 "Double ended", "Example vehicle"};
    DrawTramSide(*rec);
    MirrorLeftToRight(*rec, false);
    DrawEnds(*rec, false, DrawTramEnd);
    DrawTramRoof(*rec);
    DeriveZoom2(*rec, "Zoom2: refined from the normal graphics");
    RefineTramZoom2(*rec);
    return rec;
}

// ---- steam tank engine ----

constexpr PixelValue kMaroon = Rgb(0x84, 0x1E, 0x26);
constexpr PixelValue kMaroonLight = Rgb(0xA2, 0x34, 0x38);
constexpr PixelValue kLining = Rgb(0xE0, 0xC0, 0x58);
constexpr PixelValue kBrass = Rgb(0xD8, 0xB0, 0x40);
constexpr PixelValue kBufferBeam = Rgb(0xD8, 0x28, 0x20);
constexpr PixelValue kCoal = Rgb(0x20, 0x20, 0x22);
constexpr PixelValue kCabWindowGlass = Rgb(0x38, 0x44, 0x50);

// A driving wheel four pixels across: black tyre, red centre.
void DrawWheel(View& s, int x, int y) {
    s.hline(x + 1, x + 2, y, kBlack);
    s.rect(x, y + 1, x + 3, y + 2, kBlack);
    s.rect(x + 1, y + 1, x + 2, y + 2, kMaroonLight);
    s.hline(x + 1, x + 2, y + 3, kBlack);
}

void DrawSteamSide(VehicleRec& rec) {
    View s(rec, 1, false);
    const int last = rec.Length - 1;  // front (smokebox) at the left
    // Chimney, dome and safety valve on the boiler.
    s.hline(3, 7, 2, kBlack);
    s.hline(4, 6, 3, kBlack);
    s.hline(15, 18, 3, kBrass);
    s.set(23, 3, kBrass);
    // Smokebox and boiler with its bands.
    s.rect(2, 4, 9, 8, kDark);
    s.vline(1, 5, 8, kBlack);
    s.rect(10, 4, 27, 8, kMaroon);
    s.hline(10, 27, 4, kMaroonLight);
    for (int x = 13; x <= 25; x += 6) s.vline(x, 4, 7, kBrass);
    // Side tanks, lined out.
    s.rect(11, 5, 26, 8, kMaroon);
    s.hline(11, 26, 5, kBlack);
    s.hline(12, 25, 6, kLining);
    s.vline(12, 6, 8, kLining);
    s.vline(25, 6, 8, kLining);
    // Cab with a lit window, bunker with coal.
    s.hline(27, 38, 2, kBlack);
    s.rect(28, 3, 37, 8, kMaroon);
    s.rect(31, 4, 35, 5, Window(0, false, kCabWindowGlass));
    s.vline(29, 4, 8, kBlack);  // cab door opening
    s.rect(38, 5, last - 1, 8, kMaroon);
    s.hline(38, last - 1, 4, kCoal);
    s.hline(39, last - 2, 3, kCoal);
    s.hline(39, last - 2, 6, kLining);
    // Footplate and buffer beams with buffers; lamps on the beams.
    s.hline(1, last - 1, 9, kBlack);
    s.rect(0, 9, 2, 10, kBufferBeam);
    s.rect(last - 2, 9, last, 10, kBufferBeam);
    s.set(0, 10, kMetal);
    s.set(last, 10, kMetal);
    s.set(1, 8, WhiteLamp(kLampOff));
    s.set(last - 1, 8, RedLamp(kTailOff));
    // Cylinder, pony and trailing wheels, driving wheels with their coupling rod.
    s.rect(4, 10, 8, 11, kDark);
    s.hline(9, 11, 11, kSilver);  // piston rod
    s.rect(6, 12, 7, 13, kBlack);
    s.rect(35, 12, 36, 13, kBlack);
    for (const int w : {11, 17, 23}) DrawWheel(s, w, 10);
    s.hline(12, 25, 12, kSilver);
}

void DrawSteamEnd(View& v, bool front) {
    const int r = v.width() - 1;
    // Cab roof and cab with its lit spectacle windows behind the boiler.
    v.hline(1, r - 1, 2, kBlack);
    v.rect(0, 3, r, 9, kMaroon);
    v.rect(1, 4, 2, 5, Window(0, false, kCabWindowGlass));
    v.rect(r - 2, 4, r - 1, 5, Window(0, false, kCabWindowGlass));
    if (front) {
        v.rect(4, 0, 5, 3, kBlack);  // chimney
        v.hline(3, 6, 0, kBlack);
        // Round smokebox door with its handle, tanks beside it.
        v.hline(3, 6, 4, kDark);
        v.rect(2, 5, 7, 8, kDark);
        v.hline(3, 6, 9, kDark);
        v.rect(4, 6, 5, 7, kMetal);
        v.rect(0, 6, 1, 9, kMaroon);
        v.rect(r - 1, 6, r, 9, kMaroon);
    } else {
        // Coal heaped in the bunker, lined panel below.
        v.hline(3, 6, 3, kCoal);
        v.rect(0, 6, r, 9, kMaroon);
        v.rect(1, 6, r - 1, 6, kLining);
        v.vline(1, 6, 9, kLining);
        v.vline(r - 1, 6, 9, kLining);
    }
    v.rect(0, 10, r, 11, kBufferBeam);
    v.set(1, 11, kMetal), v.set(r - 1, 11, kMetal);
    v.set(4, 11, kBlack), v.set(5, 11, kBlack);
    const PixelValue lamp = front ? WhiteLamp(kLampOff) : RedLamp(kTailOff);
    v.set(2, 10, lamp), v.set(r - 2, 10, lamp);
    v.rect(2, 12, 3, 13, kBlack);
    v.rect(r - 3, 12, r - 2, 13, kBlack);
}

void DrawSteamRoof(VehicleRec& rec) {
    const int w = rec.Width, r = w - 1, last = rec.Length - 1;
    for (int a = 0; a <= last; ++a)
        for (int x = 0; x < w; ++x) {
            PixelValue p = kBlack;  // footplate
            if (a == 0 || a == last)
                p = x == 0 || x == r ? kMetal : kBufferBeam;
            else if (a >= 2 && a <= 9)
                p = x >= 2 && x <= r - 2 ? kDark : kBlack;  // smokebox
            else if (a <= 27 && x >= 3 && x <= r - 3)
                p = x == 3 || x == r - 3 ? kMaroon : kMaroonLight;
            else if (a >= 11 && a <= 26)
                p = kMaroon;  // tank tops
            else if (a >= 27 && a <= 37)
                p = x == 0 || x == r ? kMaroon : kBlack;  // cab roof
            else if (a >= 38)
                p = x == 0 || x == r ? kMaroon : (a + x) % 2 ? kCoal : kDark;
            SetRoof(rec, false, a, x, p);
        }
    for (int a = 4; a <= 6; ++a)
        SetRoof(rec, false, a, w / 2 - 1, kBlack), SetRoof(rec, false, a, w / 2, kBlack);
    for (int a = 15; a <= 18; ++a)
        SetRoof(rec, false, a, w / 2 - 1, kBrass), SetRoof(rec, false, a, w / 2, kBrass);
    for (int x = 2; x <= r - 2; ++x) SetRoof(rec, false, 31, x, kMetal);  // roof vent
}

std::unique_ptr<VehicleRec> MakeSteamEngine() {
    auto rec = std::make_unique<VehicleRec>();
    InitVehicle(*rec);
    rec->Length = 44;
    rec->HeightS = 14;
    rec->Width = 10;
    rec->HeightF = 14;
    rec->Props = kPixels32 | kSingleEnded | kMotorized;  // six views
    rec->Info = {"Tank engine", "Steam, 0-6-2T", "Length 13 m", "Coal fired", "Example vehicle"};
    // Steam from the chimney and from the cylinder drain cocks.
    rec->SteamCount = 2;
    rec->Steam = {4, 11, 3, 5, 3, 2, 0, 0, 0};
    DrawSteamSide(*rec);
    MirrorLeftToRight(*rec, false);
    DrawEnds(*rec, false, DrawSteamEnd);
    DrawSteamRoof(*rec);
    return rec;
}

// ---- electric locomotive ----

constexpr PixelValue kLocoBlue = Rgb(0x1C, 0x4C, 0x9C);
constexpr PixelValue kLocoBlueDark = Rgb(0x14, 0x38, 0x78);
constexpr PixelValue kGrille = Rgb(0x4A, 0x6C, 0xA8);

PixelValue CabWindow() {
    return Window(0, false, kCabGlass);
}

// Pantograph over length positions x0..x0 + 7: raised (a diamond) or lowered (flat).
void DrawPantographSide(View& s, int x0, bool raised) {
    if (raised) {
        s.hline(x0, x0 + 7, 0, kMetal);
        s.set(x0 + 2, 1, kBlack), s.set(x0 + 5, 1, kBlack);
        s.set(x0 + 3, 2, kBlack), s.set(x0 + 4, 2, kBlack);
    } else {
        s.hline(x0, x0 + 7, 2, kMetal);
    }
    s.set(x0 + 1, 2, kDark), s.set(x0 + 6, 2, kDark);
}

void DrawElectricSide(VehicleRec& rec) {
    View s(rec, 1, false);
    const int last = rec.Length - 1;
    s.hline(2, last - 2, 3, kRoof);
    s.rect(1, 4, last - 1, 10, kLocoBlue);
    s.rect(0, 6, last, 10, kLocoBlue);
    s.hline(0, last, 9, kSilver);
    s.hline(0, last, 10, kLocoBlueDark);
    // Cabs: slanted windscreens at the ends, a lit side window, a door.
    for (const bool rear : {false, true}) {
        const auto X = [&](int x) { return rear ? last - x : x; };
        s.rect(std::min(X(1), X(2)), 4, std::max(X(1), X(2)), 5, CabWindow());
        s.set(X(0), 6, kCabGlass);
        s.rect(std::min(X(4), X(6)), 5, std::max(X(4), X(6)), 6, CabWindow());
        s.vline(X(8), 4, 9, kLocoBlueDark);
        s.vline(X(10), 4, 9, kLocoBlueDark);
        s.set(X(0), 8, rear ? RedLamp(kTailOff) : WhiteLamp(kLampOff));
    }
    // Engine room: grilles and small windows.
    for (int x = 13; x <= last - 13; ++x)
        for (int y = 5; y <= 7; ++y) s.set(x, y, (x % 2) ? kGrille : kLocoBlueDark);
    for (const int x : {19, 20, 39, 40}) s.rect(x, 5, x, 6, kGlass);
    // Roof equipment and pantographs: the rear one raised.
    s.hline(22, 37, 2, kEquipment);
    DrawPantographSide(s, 9, false);
    DrawPantographSide(s, last - 16, true);
    // Frame, buffers and two bogies.
    s.hline(0, last, 11, kDark);
    s.set(0, 10, kMetal), s.set(last, 10, kMetal);
    for (const int b : {5, last - 20}) {
        s.hline(b, b + 15, 12, kDark);
        for (const int w : {b + 1, b + 10}) {
            s.hline(w, w + 4, 13, kBlack);
            s.set(w + 2, 12, kMetal);
        }
    }
}

void DrawElectricEnd(View& v, bool front) {
    const int r = v.width() - 1;
    v.hline(1, r - 1, 0, kMetal);  // the raised pantograph behind
    v.set(2, 1, kBlack), v.set(r - 2, 1, kBlack);
    v.hline(2, r - 2, 2, kMetal);  // the lowered one in front
    v.hline(1, r - 1, 3, kRoof);
    v.rect(0, 4, r, 10, kLocoBlue);
    v.rect(1, 5, r - 1, 7, CabWindow());
    v.vline(r / 2, 5, 7, kLocoBlueDark);
    v.hline(0, r, 9, kSilver);
    v.hline(0, r, 11, kDark);
    v.rect(0, 11, 1, 11, kMetal);
    v.rect(r - 1, 11, r, 11, kMetal);
    v.hline(r / 2, r / 2 + 1, 11, kBlack);
    v.rect(2, 12, r - 2, 13, kDark);
    v.hline(2, 3, 13, kBlack), v.hline(r - 3, r - 2, 13, kBlack);
    // Top headlight and two lamps low down; tail lights at the rear.
    v.hline(r / 2, r / 2 + 1, 4, front ? WhiteLamp(kLampOff) : kLampOff);
    v.set(1, 10, front ? WhiteLamp(kLampOff) : kLampOff);
    v.set(r - 1, 10, front ? WhiteLamp(kLampOff) : kLampOff);
    v.set(2, 10, front ? kTailOff : RedLamp(kTailOff));
    v.set(r - 2, 10, front ? kTailOff : RedLamp(kTailOff));
}

void DrawElectricRoof(VehicleRec& rec) {
    const int w = rec.Width, r = w - 1, last = rec.Length - 1;
    for (int a = 0; a <= last; ++a)
        for (int x = 0; x < w; ++x) {
            PixelValue p = x == 0 || x == r ? kLocoBlue : x == 1 || x == r - 1 ? kRoofShade : kRoof;
            if (a <= 1 || a >= last - 1) p = x == 0 || x == r ? kNone : kCabGlass;
            if (a == 0 || a == last) p = x >= 2 && x <= r - 2 ? kLocoBlue : kNone;
            SetRoof(rec, false, a, x, p);
        }
    for (int a = 22; a <= 37; ++a)
        for (int x = 3; x <= r - 3; ++x) SetRoof(rec, false, a, x, a % 3 ? kEquipment : kMetal);
    for (const int start : {9, last - 16})
        for (int a = start; a <= start + 7; ++a)
            for (int x = 1; x <= r - 1; ++x) {
                const bool frame = a == start || a == start + 7 || x == 2 || x == r - 2;
                if (frame) SetRoof(rec, false, a, x, kMetal);
            }
}

// Zoom2: fine grille louvres, a thin silver stripe with a blue line under it, framed
// cab windows and thin pantograph arms.
void RefineElectricZoom2(VehicleRec& rec) {
    View s(rec, 1, true);
    const int r = s.width() - 1, last = rec.Length - 1;
    for (int x = 26; x <= 2 * (last - 13) + 1; ++x)
        for (int y = 10; y <= 15; ++y) s.set(x, y, y % 2 ? kLocoBlueDark : kGrille);
    for (const int x : {38, 78}) s.rect(x, 10, x + 3, 13, Window(1, false, kGlass));
    s.recolor(0, 19, r, 19, [](PixelValue p) { return p == kSilver ? kLocoBlueDark : p; });
    s.recolor(0, 8, r, 8, [](PixelValue p) { return ColorTypeOf(p) == 6 ? kLocoBlueDark : p; });
    for (const int x0 : {18, 2 * (last - 16)}) {
        s.rect(x0, 0, x0 + 15, 5, kNone);
        s.hline(x0 + 2, x0 + 13, 5, kDark);
    }
    // The lowered pantograph lies flat; the raised one stands as a thin diamond.
    s.hline(19, 32, 4, kMetal);
    const int x0 = 2 * (last - 16);
    s.hline(x0, x0 + 15, 0, kSilver);
    // Upper arms meet at the knees, lower arms spread to the base.
    for (const auto& [dx, y] : {std::pair{4, 1}, {5, 2}, {6, 3}, {5, 4}}) {
        s.set(x0 + dx, y, kBlack);
        s.set(x0 + 15 - dx, y, kBlack);
    }
    s.hline(x0 + 6, x0 + 9, 3, kBlack);
    MirrorLeftToRight(rec, true);
    DrawEnds(rec, true, [](View& v, bool) {
        const int e = v.width() - 1;
        v.recolor(0, 18, e, 18, [](PixelValue p) { return p == kSilver ? kLocoBlueDark : p; });
        v.hline(2, e - 2, 10, kLocoBlueDark);  // windscreen frame
        v.set(0, 8, kNone), v.set(e, 8, kNone);
    });
}

std::unique_ptr<VehicleRec> MakeElectricLocomotive() {
    auto rec = std::make_unique<VehicleRec>();
    InitVehicle(*rec);
    rec->Length = 60;
    rec->HeightS = 14;
    rec->Width = 10;
    rec->HeightF = 14;
    rec->Props = kPixels32 | kExtraViews | kMotorized;
    rec->Info = {"Electric locomotive", "Bo'Bo', two cabs", "Length 18 m", "Double ended",
                 "Example vehicle"};
    DrawElectricSide(*rec);
    MirrorLeftToRight(*rec, false);
    DrawEnds(*rec, false, DrawElectricEnd);
    DrawElectricRoof(*rec);
    DeriveZoom2(*rec, "Zoom2: refined from the normal graphics");
    RefineElectricZoom2(*rec);
    return rec;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_examples OUTDIR\n");
        return 2;
    }
    FileDoc doc;
    doc.path = std::string(argv[1]) + "/trams.rvk";
    doc.info =
        "Example vehicles for RVK Editor\r\n"
        "An articulated tram, a steam tank engine and an electric locomotive.\r\n"
        "Try the night levels: the tram lights its three sections one after another.";
    auto trams = CreateFleet("Trams");
    trams->vehicles.push_back(MakeTram());
    doc.fleets.push_back(std::move(trams));
    auto locomotives = CreateFleet("Locomotives");
    locomotives->vehicles.push_back(MakeSteamEngine());
    locomotives->vehicles.push_back(MakeElectricLocomotive());
    doc.fleets.push_back(std::move(locomotives));
    const SaveResult saved = SaveDocument(doc);
    if (!saved.ok()) {
        std::fprintf(stderr, "make_examples: cannot write %s\n", doc.path.c_str());
        return 1;
    }
    return 0;
}
