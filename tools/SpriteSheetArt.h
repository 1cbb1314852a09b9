#pragma once
// The control panel's sprite sheet, drawn from code: 110 x 270 pixels. Every masked
// picture lies on a white ground with its mask directly below it, white where the
// picture is opaque and black where it is transparent; the read-out dials at the
// bottom are white on black. Pixels no picture uses stay white.

#include "tools/ArtPainting.h"

#include <array>
#include <cstdlib>

namespace oz::art {

constexpr int kSheetWidth = 110;
constexpr int kSheetHeight = 270;

constexpr Pixel kWhite = 0xFFFFFF;
constexpr Pixel kBlack = 0x000000;

struct SpriteRect {
    int x, y, width, height;
    bool hasMask;
};

// The pictures the main window registers, in its order of registration.
constexpr std::array<SpriteRect, 12> kSprites{{
    {0, 0, 73, 73, true},    // well
    {73, 0, 37, 37, true},   // knob
    {0, 146, 73, 26, true},  // arch
    {73, 159, 11, 11, true}, // small ball
    {73, 74, 16, 20, true},  // left button, raised
    {89, 74, 16, 20, true},  // left button, sunken
    {73, 114, 16, 20, true}, // right button, raised
    {89, 114, 16, 20, true}, // right button, sunken
    {98, 155, 1, 21, false}, // track column
    {84, 159, 4, 17, true},  // thumb, left end
    {88, 159, 4, 17, true},  // thumb, right end
    {98, 176, 1, 17, false}, // thumb column
}};

// The read-out's dials, white on black, read straight from the sheet.
constexpr IntRect kDialRect{0, 198, 72, 270};
constexpr IntRect kHalfDialRect{72, 198, 109, 270};

// Opaque runs of the left-pointing button's rows, counted from its right edge.
constexpr std::array<int, 20> kButtonRuns{1,  3,  5,  6,  8,  10, 11, 13, 15, 16,
                                          16, 15, 13, 11, 10, 8,  6,  5,  3,  1};

namespace sheet {

// A disc that fills an n x n square (n odd): pixel centres within n / 2 of the middle.
inline bool InDisc(int x, int y, int n) {
    const int dx = 2 * x - (n - 1), dy = 2 * y - (n - 1);
    return dx * dx + dy * dy <= n * n;
}

// The arch: inside an outer oval and outside the hollow that opens below its crown.
struct ArchShape {
    static constexpr double kMidX = 36.5;
    static constexpr double kOuterY = 16.0, kOuterA = 36.6, kOuterB = 16.05;
    static constexpr double kHollowY = 29.0, kHollowA = 25.1, kHollowB = 10.0;

    static double Distance(double x, double y) {
        const double outer = EllipseDistance(x, y, kMidX, kOuterY, kOuterA, kOuterB);
        const double hollow = EllipseDistance(x, y, kMidX, kHollowY, kHollowA, kHollowB);
        return std::max(outer, -hollow);
    }
    static bool Opaque(int x, int y) {
        const double u = (x + 0.5 - kMidX) / kOuterA, v = (y + 0.5 - kOuterY) / kOuterB;
        const double p = (x + 0.5 - kMidX) / kHollowA, q = (y + 0.5 - kHollowY) / kHollowB;
        return u * u + v * v <= 1.0 && p * p + q * q >= 1.0;
    }
};

// The left-pointing button as a triangle: its tip just beyond the left edge at the
// middle, its base the right edge. Its pixel centres give the runs of kButtonRuns.
struct ButtonShape {
    static constexpr double kTipX = -7.0 / 6.0, kTipY = 10.0, kBaseX = 16.0;
    static constexpr double kTopY = -0.3, kBottomY = 20.3;

    static double Distance(double x, double y) {
        const double upper = LineDistance(x, y, kTipX, kTipY, kBaseX, kTopY);
        const double base = LineDistance(x, y, kBaseX, kTopY, kBaseX, kBottomY);
        const double lower = LineDistance(x, y, kBaseX, kBottomY, kTipX, kTipY);
        return std::max(std::max(upper, base), lower);
    }
    static bool Opaque(int x, int y) { return x >= 16 - kButtonRuns[static_cast<size_t>(y)]; }
};

// Paints one masked picture: `shade` where `opaque` holds and white elsewhere, and the
// mask below it.
template <typename Opaque, typename Shade>
void PaintMasked(Bitmap& sheet, const SpriteRect& s, const Opaque& opaque, const Shade& shade) {
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            const bool on = opaque(x, y);
            sheet.Set(s.x + x, s.y + y, on ? ToPixel(SamplePixel(x, y, shade)) : kWhite);
            sheet.Set(s.x + x, s.y + s.height + y, on ? kWhite : kBlack);
        }
}

// The well: a flat floor of grey 117 inside a sunken rim that rises to a rounded lip.
inline Rgb WellColour(double x, double y) {
    const double floorR = 29.0, lipR = 34.4, edgeR = 36.5;
    const double wallHeight = 4.0, lipDrop = 1.6;
    const double dx = x - 36.5, dy = y - 36.5;
    const double r = std::sqrt(dx * dx + dy * dy);
    double slope = 0.0; // height gained per pixel outwards
    if (r > floorR && r <= lipR) {
        const double t = (r - floorR) / (lipR - floorR);
        slope = wallHeight * 6.0 * t * (1.0 - t) / (lipR - floorR);
    } else if (r > lipR) {
        const double t = Clamp01((r - lipR) / (edgeR - lipR));
        slope = -lipDrop * 2.0 * t / (edgeR - lipR);
    }
    const double ux = r > 0.0 ? dx / r : 0.0, uy = r > 0.0 ? dy / r : 0.0;
    const double relief = Relief(slope * ux, slope * uy, UpperLeftLight());
    const double shadow = 10.0 * SmoothStep(floorR - 5.0, floorR + 1.0, r) *
                          SmoothStep(lipR, floorR, r) * Clamp01(0.5 - 0.5 * (ux + uy) * 0.7);
    return Grey(117.0 - shadow + relief * (relief > 0.0 ? 150.0 : 120.0));
}

// A shaded ball of the given radius centred at (cx, cy), from `dark` in its shadow and
// along its outline to `light` in the highlight where it faces the light.
inline Rgb BallColour(double x, double y, double cx, double cy, double radius, const Rgb& dark,
                      const Rgb& light) {
    double dx = (x - cx) / radius, dy = (y - cy) / radius;
    const double rr = dx * dx + dy * dy;
    if (rr > 1.0) {
        const double k = 1.0 / std::sqrt(rr);
        dx *= k;
        dy *= k;
    }
    const double nz = std::sqrt(std::max(0.0, 1.0 - dx * dx - dy * dy));
    const double lx = -0.45, ly = -0.55, lz = 0.7;
    const double ln = std::sqrt(lx * lx + ly * ly + lz * lz);
    const double lit = (dx * lx + dy * ly + nz * lz) / ln;
    const double t = Clamp01(0.5 + 0.5 * lit);
    Rgb c = Mix(dark, light, 0.8 * t * t * (3.0 - 2.0 * t));
    // The highlight: where the surface faces halfway between the light and the viewer.
    const double hx = lx / ln, hy = ly / ln, hz = lz / ln + 1.0;
    const double hn = std::sqrt(hx * hx + hy * hy + hz * hz);
    double shine = Clamp01((dx * hx + dy * hy + nz * hz) / hn);
    shine *= shine;
    shine *= shine;
    shine *= shine;
    shine *= shine;
    c = Mix(c, light, shine);
    const double r = std::sqrt(std::min(rr, 1.0)) * radius;
    return Mix(c, dark, 0.6 * SmoothStep(radius - 1.3, radius, r));
}

// A raised (height up) or sunken (height down) bevelled face of grey `face`, whose
// outline is given by a signed distance.
template <typename Distance>
Rgb BevelColour(double x, double y, const Distance& distance, double face, double width,
                double height, double darkening) {
    if (distance(x, y) > 0.0)
        return Grey(face * 0.6);
    const auto h = [&](double px, double py) { return height * Bevel(-distance(px, py), width); };
    double sx = 0.0, sy = 0.0;
    Slopes(h, x, y, sx, sy);
    const double relief = Relief(sx, sy, UpperLeftLight());
    return Grey(face + relief * (relief > 0.0 ? 150.0 : darkening));
}

inline Rgb ArchColour(double x, double y) {
    const Rgb c = BevelColour(x, y, ArchShape::Distance, 150.0, 4.0, 4.0, 140.0);
    return Plus(c, Grey(10.0 - 20.0 * y / 26.0)); // a little brighter towards the crown
}

// The thumb's colours from its top row (0) to its bottom row (16).
inline Rgb ThumbRow(int row) {
    const Rgb top{166, 178, 194}, upper{128, 147, 174}, middle{91, 116, 150};
    const Rgb lower{70, 90, 118}, bottom{50, 66, 87};
    if (row <= 0)
        return top;
    if (row >= 16)
        return bottom;
    if (row <= 8)
        return Mix(upper, middle, (row - 1) / 7.0);
    return Mix(middle, lower, (row - 8) / 7.0);
}

// The track's grey from its top row (0) to its bottom row (20): a dark upper edge,
// a groove that lightens downwards, and a darker last row.
constexpr std::array<int, 21> kTrackGreys{21,  98,  112, 116, 118, 118, 118, 119, 119, 119, 120,
                                          120, 120, 121, 122, 123, 124, 126, 127, 130, 84};

inline void DrawWell(Bitmap& sheet) {
    PaintMasked(
        sheet, kSprites[0], [](int x, int y) { return InDisc(x, y, 73); }, WellColour);
}

inline void DrawBalls(Bitmap& sheet) {
    PaintMasked(
        sheet, kSprites[1], [](int x, int y) { return InDisc(x, y, 37); },
        [](double x, double y) {
            return BallColour(x, y, 18.5, 18.5, 18.5, {51, 65, 84}, {169, 183, 200});
        });
    PaintMasked(
        sheet, kSprites[3], [](int x, int y) { return InDisc(x, y, 11); },
        [](double x, double y) {
            return BallColour(x, y, 5.5, 5.5, 5.5, {24, 46, 104}, {140, 176, 236});
        });
}

inline void DrawArch(Bitmap& sheet) {
    PaintMasked(sheet, kSprites[2], ArchShape::Opaque, ArchColour);
}

// The four buttons: pointing left (mirrored: right), raised or sunken.
inline void DrawButton(Bitmap& sheet, const SpriteRect& s, bool pointsRight, bool sunken) {
    const auto flip = [pointsRight](double x) { return pointsRight ? 16.0 - x : x; };
    const auto opaque = [pointsRight](int x, int y) {
        return ButtonShape::Opaque(pointsRight ? 15 - x : x, y);
    };
    const auto distance = [flip](double x, double y) { return ButtonShape::Distance(flip(x), y); };
    const double face = sunken ? 146.0 : 160.0, height = sunken ? -2.5 : 2.5;
    PaintMasked(sheet, s, opaque, [&](double x, double y) {
        return BevelColour(x, y, distance, face, 2.5, height, 85.0);
    });
}

inline void DrawButtons(Bitmap& sheet) {
    DrawButton(sheet, kSprites[4], false, false);
    DrawButton(sheet, kSprites[5], false, true);
    DrawButton(sheet, kSprites[6], true, false);
    DrawButton(sheet, kSprites[7], true, true);
}

inline void DrawTrackAndThumb(Bitmap& sheet) {
    const SpriteRect& track = kSprites[8];
    for (int y = 0; y < track.height; ++y)
        sheet.Set(track.x, track.y + y, ToPixel(Grey(kTrackGreys[static_cast<size_t>(y)])));
    const SpriteRect& column = kSprites[11];
    for (int y = 0; y < column.height; ++y)
        sheet.Set(column.x, column.y + y, ToPixel(ThumbRow(y)));
    // The two ends: the outer column lit on the left, shaded on the right, and the
    // outer corners cut off.
    const Rgb lit{196, 206, 220}, shaded{30, 40, 56};
    PaintMasked(
        sheet, kSprites[9], [](int x, int y) { return x > 0 || (y > 0 && y < 16); },
        [&](double x, double y) {
            const Rgb c = ThumbRow(static_cast<int>(y));
            return x < 1.0 ? Mix(c, lit, 0.3) : c;
        });
    PaintMasked(
        sheet, kSprites[10], [](int x, int y) { return x < 3 || (y > 0 && y < 16); },
        [&](double x, double y) {
            const Rgb c = ThumbRow(static_cast<int>(y));
            return x >= 3.0 ? Mix(c, shaded, 0.45) : c;
        });
}

// The full dial: a ring round (36, 36) with a notch at the top pointing down.
inline bool InDial(double x, double y) {
    const double dx = x - 36.5, dy = y - 36.5;
    const double rr = dx * dx + dy * dy;
    const bool ring = rr <= 34.5 * 34.5 && rr >= 32.5 * 32.5;
    const bool notch = y >= 3.0 && y <= 9.0 && std::abs(dx) <= (9.0 - y) * 0.5;
    return ring || notch;
}

// The half dial: the right half of a ring round (1, 36), closed by a line along the
// left edge, with a notch at the middle of the arc pointing left.
inline bool InHalfDial(double x, double y) {
    const double dx = x - 1.5, dy = y - 36.5;
    const double rr = dx * dx + dy * dy;
    const bool arc = dx >= 0.0 && rr <= 34.5 * 34.5 && rr >= 32.5 * 32.5;
    const bool edge = x <= 2.0 && std::abs(dy) <= 34.5;
    const bool notch = x >= 28.0 && x <= 34.0 && std::abs(dy) <= (x - 28.0) * 0.5;
    return arc || edge || notch;
}

template <typename Inside> void PaintDial(Bitmap& sheet, const IntRect& at, const Inside& inside) {
    for (int y = 0; y < at.Height(); ++y)
        for (int x = 0; x < at.Width(); ++x)
            sheet.Set(at.left + x, at.top + y, ToPixel(Grey(255.0 * Coverage(x, y, inside))));
}

} // namespace sheet

inline Bitmap DrawSpriteSheet() {
    Bitmap sheet(kSheetWidth, kSheetHeight, kWhite);
    sheet::DrawWell(sheet);
    sheet::DrawBalls(sheet);
    sheet::DrawArch(sheet);
    sheet::DrawButtons(sheet);
    sheet::DrawTrackAndThumb(sheet);
    sheet::PaintDial(sheet, kDialRect, sheet::InDial);
    sheet::PaintDial(sheet, kHalfDialRect, sheet::InHalfDial);
    return sheet;
}

} // namespace oz::art
