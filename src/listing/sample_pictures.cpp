#include "listing/sample_pictures.h"

#include <vips/vips.h>
#include <zlib.h>

#include "listing/picture_scaler.h"

namespace dirscribe {

namespace {

void release(VipsImage* image) {
  if (image) g_object_unref(image);
}

void put_big_endian(std::string& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void put_chunk(std::string& out, const char* type, const std::string& data) {
  put_big_endian(out, static_cast<uint32_t>(data.size()));
  const std::string body = std::string(type, 4) + data;
  out += body;
  put_big_endian(out, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()),
                                                  static_cast<uInt>(body.size()))));
}

}  // namespace

std::string sample_picture(int width, int height, const char* suffix, int orientation) {
  if (!start_picture_library()) return {};
  VipsImage* noise = nullptr;
  VipsImage* grey = nullptr;
  VipsImage* colour = nullptr;
  std::string bytes;
  if (vips_gaussnoise(&noise, width, height, "mean", 128.0, "sigma", 40.0, nullptr) == 0 &&
      vips_cast_uchar(noise, &grey, nullptr) == 0) {
    VipsImage* bands[3] = {grey, grey, grey};
    if (vips_bandjoin(bands, &colour, 3, nullptr) == 0) {
      if (orientation != 1) vips_image_set_int(colour, VIPS_META_ORIENTATION, orientation);
      void* buffer = nullptr;
      size_t length = 0;
      if (vips_image_write_to_buffer(colour, suffix, &buffer, &length, nullptr) == 0) {
        bytes.assign(static_cast<const char*>(buffer), length);
        g_free(buffer);
      }
    }
  }
  release(colour);
  release(grey);
  release(noise);
  vips_error_clear();
  return bytes;
}

bool picture_size(const std::string& bytes, int& width, int& height, std::string& loader) {
  if (!start_picture_library()) return false;
  const char* found = vips_foreign_find_load_buffer(bytes.data(), bytes.size());
  loader = found != nullptr ? found : "";
  VipsImage* image = vips_image_new_from_buffer(bytes.data(), bytes.size(), "", nullptr);
  vips_error_clear();
  if (!image) return false;
  width = vips_image_get_width(image);
  height = vips_image_get_height(image);
  release(image);
  return true;
}

std::string png_claiming(uint32_t width, uint32_t height) {
  std::string png("\x89PNG\r\n\x1a\n", 8);
  std::string header;
  put_big_endian(header, width);
  put_big_endian(header, height);
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB, no interlace
  put_chunk(png, "IHDR", header);
  // Rows of zeros compress a thousandfold: a megabyte of pixels.
  const std::string rows(1 << 20, '\0');
  uLongf size = compressBound(static_cast<uLong>(rows.size()));
  std::string packed(size, '\0');
  compress(reinterpret_cast<Bytef*>(packed.data()), &size,
           reinterpret_cast<const Bytef*>(rows.data()), static_cast<uLong>(rows.size()));
  packed.resize(size);
  put_chunk(png, "IDAT", packed);
  put_chunk(png, "IEND", "");
  return png;
}

}  // namespace dirscribe
