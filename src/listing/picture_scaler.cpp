#include "listing/picture_scaler.h"

#include <unistd.h>
#include <vips/vips.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <memory>

namespace dirscribe {

namespace {

struct object_release {
  void operator()(gpointer object) const {
    if (object) g_object_unref(object);
  }
};
template <class T>
using library_object = std::unique_ptr<T, object_release>;

// The library's loaders for the formats a listing shows as pictures. Every
// other loader (ImageMagick's, SVG, PDF, matrix and raw formats...) is never
// used, even for a file whose bytes it would take.
constexpr std::array<std::string_view, 7> kPictureLoaders = {
    "VipsForeignLoadJpeg",  "VipsForeignLoadPng",  "VipsForeignLoadSpng", "VipsForeignLoadWebp",
    "VipsForeignLoadNsgif", "VipsForeignLoadTiff", "VipsForeignLoadHeif"};

bool is_picture_loader(std::string_view loader) {
  for (std::string_view known : kPictureLoaders) {
    if (loader.starts_with(known)) return true;
  }
  return false;
}

void drop_library_message(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

// The first line of what the library said last, and its message cleared. The
// library keeps one message for every thread, so under load the line may be
// another picture's: it only adds detail to a reason this code chose.
std::string library_reason() {
  char* text = vips_error_buffer_copy();
  std::string reason = text != nullptr ? text : "";
  g_free(text);
  reason = reason.substr(0, reason.find('\n'));
  return reason;
}

outcome refused(std::string reason) { return {result_picture_unreadable, std::move(reason)}; }

outcome damaged() {
  const std::string detail = library_reason();
  return refused(detail.empty() ? "damaged or cut short" : "damaged or cut short: " + detail);
}

}  // namespace

bool start_picture_library() {
  static const bool started = [] {
    if (VIPS_INIT("dirscribe") != 0) return false;
    vips_cache_set_max(0);
    vips_concurrency_set(1);
    vips_block_untrusted_set(TRUE);
    g_log_set_handler("VIPS",
                      static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE |
                                                  G_LOG_LEVEL_INFO | G_LOG_LEVEL_DEBUG),
                      drop_library_message, nullptr);
    return true;
  }();
  return started;
}

outcome make_thumbnail(int descriptor, const thumbnail_limits& limits, std::string& webp) {
  webp.clear();
  if (::lseek(descriptor, 0, SEEK_SET) != 0) {
    return refused(std::string("cannot be read: ") + std::strerror(errno));
  }
  library_object<VipsSource> source(vips_source_new_from_descriptor(descriptor));
  if (!source) return damaged();
  const char* loader = vips_foreign_find_load_source(source.get());
  if (loader == nullptr || !is_picture_loader(loader)) {
    vips_error_clear();
    return refused("not a JPEG, PNG, WebP, GIF, TIFF or HEIC picture");
  }
  // The header alone: nothing is decoded before the size is known.
  library_object<VipsImage> header(
      vips_image_new_from_source(source.get(), "", "access", VIPS_ACCESS_SEQUENTIAL, nullptr));
  if (!header) return damaged();
  const uint64_t width = static_cast<uint64_t>(vips_image_get_width(header.get()));
  const uint64_t height = static_cast<uint64_t>(vips_image_get_height(header.get()));
  header.reset();
  if (width * height > limits.max_pixels) {
    return refused(std::to_string(width) + " x " + std::to_string(height) +
                   " pixels, more than a thumbnail is made of");
  }
  // Shrink-on-load decodes a JPEG or HEIC at a fraction of its size; a
  // picture cut short fails instead of giving a grey thumbnail.
  VipsImage* made = nullptr;
  if (vips_thumbnail_source(source.get(), &made, limits.longest_side, "height", limits.longest_side,
                            "size", VIPS_SIZE_DOWN, "option_string", "fail_on=truncated",
                            nullptr) != 0) {
    return damaged();
  }
  library_object<VipsImage> thumbnail(made);
  void* bytes = nullptr;
  size_t length = 0;
  if (vips_webpsave_buffer(thumbnail.get(), &bytes, &length, "Q", limits.quality, "strip", TRUE,
                           nullptr) != 0) {
    return damaged();
  }
  webp.assign(static_cast<const char*>(bytes), length);
  g_free(bytes);
  return {};
}

bool is_picture_extension(std::string_view extension) {
  for (std::string_view known :
       {"jpg", "jpeg", "jpe", "png", "webp", "gif", "tif", "tiff", "heic", "heif"}) {
    if (extension == known) return true;
  }
  return false;
}

}  // namespace dirscribe
