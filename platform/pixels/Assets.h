#pragma once
// Pictures carried inside the binary, as PNG bytes, and their decoding.

#include "platform/pixels/Bitmap.h"

#include <cstddef>
#include <cstdio>
#include <span>
#include <string>

namespace oz {

namespace assets {
std::span<const unsigned char> sprites_png();
std::span<const unsigned char> icon_png();
} // namespace assets

// Decodes PNG bytes into an image; false (and an empty image) when they are not a PNG.
bool DecodePng(std::span<const unsigned char> bytes, Bitmap& image);
bool LoadPng(const std::string& path, Bitmap& image);
// Writes a 24-bit RGB PNG; false when the file cannot be written.
bool SavePng(const std::string& path, const Bitmap& image);
// The same PNG into an open stream; false when it could not be written whole.
bool WritePng(std::FILE* file, const Bitmap& image);

} // namespace oz
