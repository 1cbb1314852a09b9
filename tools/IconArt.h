#pragma once
// The program's icon, drawn from code: a star bursting out of deep blue with stars
// streaming past it towards the edges. It is designed on a 32 x 32 grid (the window's
// icon) and drawn at any other size by scaling that grid, for the desktop's icon theme.

#include "tools/ArtPainting.h"

#include <array>

namespace oz::art {

constexpr int kIconSize = 32;

// The sizes the desktop's icon theme asks for.
constexpr std::array<int, 8> kThemeIconSizes{16, 22, 24, 32, 48, 64, 128, 256};

namespace icon {

// One streaming star: a streak along a direction away from the middle, from radius
// `from` to radius `to`, brightening outwards.
struct Streak {
    double dx, dy, from, to;
    Rgb tint;
};

constexpr Rgb kWhiteTint{255, 255, 255};
constexpr Rgb kBlueTint{180, 205, 255};
constexpr Rgb kGoldTint{255, 236, 190};
constexpr Rgb kRoseTint{255, 205, 215};

constexpr std::array<Streak, 14> kStreaks{{
    {1, -3, 7.0, 14.5, kWhiteTint},
    {3, -2, 9.0, 15.5, kBlueTint},
    {4, 1, 6.5, 12.0, kGoldTint},
    {2, 3, 9.5, 15.5, kWhiteTint},
    {-1, 4, 6.0, 11.0, kBlueTint},
    {-3, 2, 8.5, 15.5, kRoseTint},
    {-4, -1, 7.0, 13.5, kWhiteTint},
    {-2, -3, 9.0, 15.0, kGoldTint},
    {5, -2, 4.5, 8.0, kBlueTint},
    {-2, 5, 11.0, 15.5, kWhiteTint},
    {-5, 3, 4.0, 7.0, kWhiteTint},
    {1, 5, 4.5, 7.5, kGoldTint},
    {-1, -5, 4.0, 6.5, kBlueTint},
    {5, 4, 11.5, 16.0, kWhiteTint},
}};

constexpr double kMiddle = 16.0;

inline Rgb Background(double x, double y) {
    const double dx = x - kMiddle, dy = y - kMiddle;
    const double t = Clamp01(std::sqrt(dx * dx + dy * dy) / 22.0);
    return Mix({26, 44, 108}, {5, 9, 34}, t);
}

inline double StreakLight(const Streak& s, double x, double y) {
    const double n = std::sqrt(s.dx * s.dx + s.dy * s.dy);
    const double ux = s.dx / n, uy = s.dy / n;
    const double x0 = kMiddle + ux * s.from, y0 = kMiddle + uy * s.from;
    const double x1 = kMiddle + ux * s.to, y1 = kMiddle + uy * s.to;
    const double across = SegmentDistance(x, y, x0, y0, x1, y1);
    const double along = Clamp01(((x - x0) * ux + (y - y0) * uy) / (s.to - s.from));
    return Clamp01(1.4 * (1.0 - across / 0.8)) * (0.3 + 0.7 * along);
}

// The burst: a round glow with four long rays and four short diagonal ones.
inline double BurstLight(double x, double y) {
    const double dx = x - kMiddle, dy = y - kMiddle;
    const double rr = dx * dx + dy * dy;
    const double glow = 1.0 / (1.0 + rr / 5.0);
    const auto ray = [](double along, double across, double length) {
        const double a = along / length;
        const double fall = 1.0 / (1.0 + a * a);
        return Clamp01(1.2 * (1.0 - across / 0.7)) * fall * fall;
    };
    const double ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
    const double straight = std::max(ray(ax, ay, 5.0), ray(ay, ax, 5.0));
    const double u = (dx + dy) * 0.7071067811865476, v = (dx - dy) * 0.7071067811865476;
    const double au = u < 0 ? -u : u, av = v < 0 ? -v : v;
    const double diagonal = 0.7 * std::max(ray(au, av, 2.2), ray(av, au, 2.2));
    return std::max(glow, std::max(straight, diagonal));
}

inline Rgb IconColour(double x, double y) {
    Rgb c = Background(x, y);
    for (const Streak& s : kStreaks)
        c = Mix(c, s.tint, StreakLight(s, x, y));
    return Mix(c, {255, 250, 235}, BurstLight(x, y));
}

} // namespace icon

inline Bitmap DrawIcon(int size = kIconSize) {
    const double toGrid = static_cast<double>(kIconSize) / size;
    const auto shade = [toGrid](double x, double y) {
        return icon::IconColour(x * toGrid, y * toGrid);
    };
    Bitmap image(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            image.Set(x, y, ToPixel(SamplePixel(x, y, shade)));
    return image;
}

} // namespace oz::art
