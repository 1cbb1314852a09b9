#include "platform/displays/DisplayScale.h"

#include "platform/forms/Printable.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace oz {

namespace {
constexpr int kLargestScale = 8;

int ScaleFromEnv(const char* text) {
    if (!text || std::strlen(text) != 1 || text[0] < '1' || text[0] > '0' + kLargestScale)
        return 0;
    return text[0] - '0';
}
} // namespace

int DesktopScale(const char* scaleEnv, float dpi, int displayWidth, int displayHeight, int fitWidth,
                 int fitHeight, std::string* warning) {
    int scale = ScaleFromEnv(scaleEnv);
    if (scale == 0 && scaleEnv && *scaleEnv && warning)
        *warning = "OZMIR_SCALE '" + Printable(scaleEnv, kLongestShownValue) +
                   "' ignored: want a whole number from 1 to " + std::to_string(kLargestScale);
    if (scale == 0) {
        scale = 1;
        if (std::isfinite(dpi) && dpi > 0)
            scale =
                std::clamp(static_cast<int>(std::floor(dpi / 96.0f + 0.125f)), 1, kLargestScale);
    }
    while (scale > 1 && (fitWidth * scale > displayWidth || fitHeight * scale > displayHeight))
        --scale;
    return scale;
}

IntRect PhysicalWindowRect(const IntRect& logical, int displayWidth, int displayHeight, int scale) {
    const int cx = displayWidth / 2;
    const int cy = displayHeight / 2;
    const int left = cx + (logical.left - cx) * scale;
    const int top = cy + (logical.top - cy) * scale;
    return {left, top, left + logical.Width() * scale, top + logical.Height() * scale};
}

IntRect ScaleRegion(const Bitmap& image, const IntRect& region, int scale, Bitmap& target) {
    const IntRect r = region.Intersected(image.Bounds());
    IntRect out{r.left * scale, r.top * scale, r.right * scale, r.bottom * scale};
    out = out.Intersected(target.Bounds());
    if (out.IsEmpty())
        return {};
    for (int y = out.top; y < out.bottom; ++y) {
        const Pixel* src = image.Row(y / scale);
        Pixel* dst = target.WritableRow(y); // nobody asks this image what changed
        if (y > out.top && y % scale != 0) {
            // Same logical row as the one above: copy it whole.
            std::memcpy(dst + out.left, target.WritableRow(y - 1) + out.left,
                        static_cast<size_t>(out.Width()) * sizeof(Pixel));
            continue;
        }
        for (int x = out.left; x < out.right; ++x)
            dst[x] = src[x / scale];
    }
    return out;
}

} // namespace oz
