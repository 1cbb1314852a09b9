#include "platform/pixels/Assets.h"

#include <png.h>

#include <cstring>
#include <vector>

namespace oz {

namespace {

void ToPixels(const std::vector<unsigned char>& rgb, int width, int height, Bitmap& image) {
    image = Bitmap(width, height);
    const unsigned char* p = rgb.data();
    for (int y = 0; y < height; ++y) {
        Pixel* row = image.Row(y);
        for (int x = 0; x < width; ++x, p += 3)
            row[x] = (static_cast<Pixel>(p[0]) << 16) | (static_cast<Pixel>(p[1]) << 8) | p[2];
    }
}

bool Finish(png_image& png, Bitmap& image) {
    png.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, rgb.data(), 0, nullptr)) {
        png_image_free(&png);
        image = Bitmap();
        return false;
    }
    ToPixels(rgb, static_cast<int>(png.width), static_cast<int>(png.height), image);
    return true;
}

} // namespace

bool DecodePng(std::span<const unsigned char> bytes, Bitmap& image) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size())) {
        image = Bitmap();
        return false;
    }
    return Finish(png, image);
}

bool LoadPng(const std::string& path, Bitmap& image) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) {
        image = Bitmap();
        return false;
    }
    return Finish(png, image);
}

namespace {

// The picture as the 24-bit RGB rows libpng writes, and the description of them.
std::vector<unsigned char> RgbRows(const Bitmap& image, png_image& png) {
    std::vector<unsigned char> rgb(static_cast<size_t>(image.Width()) * image.Height() * 3);
    unsigned char* p = rgb.data();
    for (int y = 0; y < image.Height(); ++y) {
        const Pixel* row = image.Row(y);
        for (int x = 0; x < image.Width(); ++x) {
            *p++ = static_cast<unsigned char>(row[x] >> 16);
            *p++ = static_cast<unsigned char>(row[x] >> 8);
            *p++ = static_cast<unsigned char>(row[x]);
        }
    }
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.Width());
    png.height = static_cast<png_uint_32>(image.Height());
    png.format = PNG_FORMAT_RGB;
    return rgb;
}

} // namespace

bool SavePng(const std::string& path, const Bitmap& image) {
    png_image png;
    std::vector<unsigned char> rgb = RgbRows(image, png);
    return png_image_write_to_file(&png, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
}

bool WritePng(std::FILE* file, const Bitmap& image) {
    png_image png;
    std::vector<unsigned char> rgb = RgbRows(image, png);
    return png_image_write_to_stdio(&png, file, 0, rgb.data(), 0, nullptr) != 0;
}

} // namespace oz
