// Thumbnails of single pictures, made with libvips: the one place the program
// talks to a picture library. Only the picture formats a listing shows as
// pictures are read (JPEG, PNG, WebP, GIF, TIFF, HEIC), whatever else the
// library could load, and a picture larger than a set number of pixels is
// refused from its header before any pixel is decoded, so a hostile file
// costs neither gigabytes of memory nor minutes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/outcome.h"

namespace dirscribe {

struct thumbnail_limits {
  int longest_side = 640;  // pixels; 320 CSS pixels at twice the density
  // Pictures with more pixels than this (width times height) get none: 128
  // megapixels is well above any camera's photograph.
  uint64_t max_pixels = 128'000'000;
  int quality = 75;  // of the WebP encoding
};

// Starts the picture library for this process, once, whichever thread asks
// first: loads it (libvips.so.42; the program does not link it), turns its
// operation cache off (every picture is read once), gives it one thread per
// picture (the caller runs pictures side by side instead) and keeps its
// warnings off standard error. False when it is not installed or cannot
// start.
bool start_picture_library();

// Reads the picture from the open `descriptor` (a regular file, read from its
// start; left open) and puts its thumbnail, turned upright as its EXIF
// orientation says and at most `limits.longest_side` pixels on either side
// (never enlarged), into `webp` as a WebP file. Fails with
// result_picture_unreadable and the reason in words ("not a picture", "damaged
// or cut short: ...", "30000 x 30000 pixels, more than ...") for anything that
// is not a whole picture of a listed format within the limits.
// REQUIRES: start_picture_library() returned true. Safe to call from several
// threads at once.
outcome make_thumbnail(int descriptor, const thumbnail_limits& limits, std::string& webp);

// Whether a file named with `extension` (lower case, without the dot) is
// taken for a picture: jpg, jpeg, jpe, png, webp, gif, tif, tiff, heic, heif.
bool is_picture_extension(std::string_view extension);

}  // namespace dirscribe
