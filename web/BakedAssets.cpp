// Pictures in the web build: the program's own pictures arrive decoded at build time;
// there is no PNG decoder in the page, and no file to read or write.

#include "platform/pixels/Assets.h"
#include "web/BakedData.h"

namespace oz {

bool DecodePng(std::span<const unsigned char> bytes, Bitmap& image) {
    for (int i = 0; i < baked::kPictureCount; ++i) {
        const baked::Picture& p = baked::kPictures[i];
        if (bytes.data() != p.png || bytes.size() != p.pngSize)
            continue;
        image = Bitmap(p.width, p.height);
        for (int y = 0; y < p.height; ++y) {
            Pixel* row = image.Row(y);
            for (int x = 0; x < p.width; ++x)
                row[x] = p.pixels[static_cast<size_t>(y) * p.width + x];
        }
        return true;
    }
    image = Bitmap();
    return false;
}

bool LoadPng(const std::string&, Bitmap& image) {
    image = Bitmap();
    return false;
}

bool SavePng(const std::string&, const Bitmap&) {
    return false;
}

} // namespace oz
