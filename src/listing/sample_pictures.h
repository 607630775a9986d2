// Pictures for the tests of thumbnails, made with the picture library the
// thumbnails are made with, and hostile files it must refuse.
#pragma once

#include <cstdint>
#include <string>

namespace dirscribe {

// A picture of `width` x `height` pixels of noise (which compresses poorly,
// like a photograph) encoded as the file type of `suffix` (".jpg", ".png",
// ".webp", ".gif", ".tif"); a JPEG carries the EXIF `orientation` (1 upright,
// 6 to be turned a quarter clockwise). Empty when the library cannot make it.
std::string sample_picture(int width, int height, const char* suffix, int orientation = 1);

// The width and height of the picture `bytes` and the name of the library's
// loader that read it ("" for none); false when it is no picture.
bool picture_size(const std::string& bytes, int& width, int& height, std::string& loader);

// A PNG file whose header claims `width` x `height` pixels, followed by a
// little compressed data: decoded in full it would take gigabytes.
std::string png_claiming(uint32_t width, uint32_t height);

}  // namespace dirscribe
