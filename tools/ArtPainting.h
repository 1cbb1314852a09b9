#pragma once
// The painting kit behind the generated pictures: colours as fractions of 255, pixels
// averaged over a grid of samples, and relief shading under one light from the upper
// left. Only +, -, *, / and sqrt are used, so every build paints the same pixels.

#include "platform/pixels/Bitmap.h"

#include <algorithm>
#include <cmath>

namespace oz::art {

struct Rgb {
    double r = 0, g = 0, b = 0;
};

inline Rgb Grey(double v) {
    return {v, v, v};
}

inline Rgb Mix(const Rgb& from, const Rgb& to, double t) {
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t,
            from.b + (to.b - from.b) * t};
}

inline Rgb Plus(const Rgb& a, const Rgb& b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
inline Rgb Times(const Rgb& c, double k) {
    return {c.r * k, c.g * k, c.b * k};
}

inline int ToByte(double v) {
    return static_cast<int>(std::clamp(v, 0.0, 255.0) + 0.5);
}

inline Pixel ToPixel(const Rgb& c) {
    return (static_cast<Pixel>(ToByte(c.r)) << 16) | (static_cast<Pixel>(ToByte(c.g)) << 8) |
           static_cast<Pixel>(ToByte(c.b));
}

inline double Clamp01(double v) {
    return std::clamp(v, 0.0, 1.0);
}

// Hermite step from 0 at edge0 to 1 at edge1.
inline double SmoothStep(double edge0, double edge1, double v) {
    double t = Clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

// Samples per pixel side: pixel (x, y) is the average of `shade` at the centres of a
// kSamples x kSamples grid over [x, x + 1) x [y, y + 1).
constexpr int kSamples = 5;

template <typename Shade> Rgb SamplePixel(int x, int y, const Shade& shade) {
    Rgb sum;
    for (int j = 0; j < kSamples; ++j)
        for (int i = 0; i < kSamples; ++i)
            sum = Plus(sum, shade(x + (i + 0.5) / kSamples, y + (j + 0.5) / kSamples));
    return Times(sum, 1.0 / (kSamples * kSamples));
}

// The share of a pixel's samples for which `inside` holds: anti-aliased coverage.
template <typename Inside> double Coverage(double x, double y, const Inside& inside) {
    int hits = 0;
    for (int j = 0; j < kSamples; ++j)
        for (int i = 0; i < kSamples; ++i)
            hits += inside(x + (i + 0.5) / kSamples, y + (j + 0.5) / kSamples) ? 1 : 0;
    return hits / static_cast<double>(kSamples * kSamples);
}

// The light, from the upper left and in front: a unit vector towards it.
struct Light {
    double x, y, z;
};

inline Light UpperLeftLight() {
    const double x = -1.0, y = -1.0, z = 1.3;
    const double n = std::sqrt(x * x + y * y + z * z);
    return {x / n, y / n, z / n};
}

// How much brighter (positive) or darker (negative) a surface with slopes (sx, sy),
// the height's change per pixel to the right and downwards, looks than a flat one.
inline double Relief(double sx, double sy, const Light& light) {
    const double n = std::sqrt(sx * sx + sy * sy + 1.0);
    return (-sx * light.x - sy * light.y + light.z) / n - light.z;
}

// Slopes of a height field by central differences.
template <typename Height>
void Slopes(const Height& height, double x, double y, double& sx, double& sy) {
    const double h = 0.125;
    sx = (height(x + h, y) - height(x - h, y)) / (2.0 * h);
    sy = (height(x, y + h) - height(x, y - h)) / (2.0 * h);
}

// A bevel that rises over `width` pixels from an edge (distance 0) to a flat top (1),
// rounded at both ends.
inline double Bevel(double inside, double width) {
    return SmoothStep(0.0, width, inside);
}

// Signed distance to an axis-aligned ellipse, negative inside: the first-order estimate,
// exact on the outline and close to it within a few pixels, which is all a bevel needs.
inline double EllipseDistance(double x, double y, double cx, double cy, double a, double b) {
    const double u = (x - cx) / a, v = (y - cy) / b;
    const double f = std::sqrt(u * u + v * v);
    if (f < 1e-9)
        return -std::min(a, b);
    const double gx = u / (a * f), gy = v / (b * f);
    return (f - 1.0) / std::sqrt(gx * gx + gy * gy);
}

// Signed distance to the line through (x0, y0) and (x1, y1), positive on the left as seen
// on the screen (y pointing down) when walking from the first point to the second: the
// largest of these over the edges of a convex polygon whose corners run clockwise on the
// screen is negative inside it and positive outside.
inline double LineDistance(double x, double y, double x0, double y0, double x1, double y1) {
    const double dx = x1 - x0, dy = y1 - y0;
    return ((x - x0) * dy - (y - y0) * dx) / std::sqrt(dx * dx + dy * dy);
}

// Distance from a point to the segment from (x0, y0) to (x1, y1).
inline double SegmentDistance(double x, double y, double x0, double y0, double x1, double y1) {
    const double dx = x1 - x0, dy = y1 - y0;
    const double t = Clamp01(((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy));
    const double ex = x - (x0 + t * dx), ey = y - (y0 + t * dy);
    return std::sqrt(ex * ex + ey * ey);
}

} // namespace oz::art
