#include "listing/picture_scaler.h"

#include <dlfcn.h>
#include <unistd.h>
#include <vips/vips.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <memory>

namespace dirscribe {

namespace {

// The library's functions, looked up when the first thumbnail is asked for:
// the program links none of libvips' hundred-odd libraries, so a run that
// makes no thumbnail starts as fast, and in as little memory, as before.
struct picture_library {
  decltype(&vips_init) init = nullptr;
  decltype(&vips_version) version = nullptr;
  decltype(&vips_cache_set_max) cache_set_max = nullptr;
  decltype(&vips_concurrency_set) concurrency_set = nullptr;
  decltype(&vips_block_untrusted_set) block_untrusted_set = nullptr;
  decltype(&vips_source_new_from_descriptor) source_new_from_descriptor = nullptr;
  decltype(&vips_foreign_find_load_source) foreign_find_load_source = nullptr;
  decltype(&vips_image_new_from_source) image_new_from_source = nullptr;
  decltype(&vips_image_get_width) image_get_width = nullptr;
  decltype(&vips_image_get_height) image_get_height = nullptr;
  decltype(&vips_thumbnail_source) thumbnail_source = nullptr;
  decltype(&vips_webpsave_buffer) webpsave_buffer = nullptr;
  decltype(&vips_error_buffer_copy) error_buffer_copy = nullptr;
  decltype(&vips_error_clear) error_clear = nullptr;
  decltype(&g_object_unref) object_unref = nullptr;
  decltype(&g_free) free = nullptr;
  decltype(&g_log_set_handler) log_set_handler = nullptr;
};

// The library of the ABI these headers describe ("libvips.so.42").
std::string library_file() {
  return "libvips.so." + std::to_string(VIPS_LIBRARY_CURRENT - VIPS_LIBRARY_AGE);
}

template <class Function>
bool look_up(void* library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(::dlsym(library, name));
  return function != nullptr;
}

// Every function, or false when one is missing. The library stays loaded for
// the rest of the process.
bool load_library(picture_library& l) {
  void* library = ::dlopen(library_file().c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return false;
  return look_up(library, "vips_init", l.init) && look_up(library, "vips_version", l.version) &&
         look_up(library, "vips_cache_set_max", l.cache_set_max) &&
         look_up(library, "vips_concurrency_set", l.concurrency_set) &&
         look_up(library, "vips_block_untrusted_set", l.block_untrusted_set) &&
         look_up(library, "vips_source_new_from_descriptor", l.source_new_from_descriptor) &&
         look_up(library, "vips_foreign_find_load_source", l.foreign_find_load_source) &&
         look_up(library, "vips_image_new_from_source", l.image_new_from_source) &&
         look_up(library, "vips_image_get_width", l.image_get_width) &&
         look_up(library, "vips_image_get_height", l.image_get_height) &&
         look_up(library, "vips_thumbnail_source", l.thumbnail_source) &&
         look_up(library, "vips_webpsave_buffer", l.webpsave_buffer) &&
         look_up(library, "vips_error_buffer_copy", l.error_buffer_copy) &&
         look_up(library, "vips_error_clear", l.error_clear) &&
         look_up(library, "g_object_unref", l.object_unref) && look_up(library, "g_free", l.free) &&
         look_up(library, "g_log_set_handler", l.log_set_handler);
}

// Filled by start_picture_library, read only after it returned true.
picture_library vips;

struct object_release {
  void operator()(gpointer object) const {
    if (object) vips.object_unref(object);
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
  char* text = vips.error_buffer_copy();
  std::string reason = text != nullptr ? text : "";
  vips.free(text);
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
    if (!load_library(vips)) return false;
    // The ABI the headers describe, as VIPS_INIT checks it.
    if (vips.version(3) - vips.version(5) != VIPS_LIBRARY_CURRENT - VIPS_LIBRARY_AGE) return false;
    if (vips.init("dirscribe") != 0) return false;
    vips.cache_set_max(0);
    vips.concurrency_set(1);
    vips.block_untrusted_set(TRUE);
    vips.log_set_handler("VIPS",
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
  library_object<VipsSource> source(vips.source_new_from_descriptor(descriptor));
  if (!source) return damaged();
  const char* loader = vips.foreign_find_load_source(source.get());
  if (loader == nullptr || !is_picture_loader(loader)) {
    vips.error_clear();
    return refused("not a JPEG, PNG, WebP, GIF, TIFF or HEIC picture");
  }
  // The header alone: nothing is decoded before the size is known.
  library_object<VipsImage> header(
      vips.image_new_from_source(source.get(), "", "access", VIPS_ACCESS_SEQUENTIAL, nullptr));
  if (!header) return damaged();
  const uint64_t width = static_cast<uint64_t>(vips.image_get_width(header.get()));
  const uint64_t height = static_cast<uint64_t>(vips.image_get_height(header.get()));
  header.reset();
  if (width * height > limits.max_pixels) {
    return refused(std::to_string(width) + " x " + std::to_string(height) +
                   " pixels, more than a thumbnail is made of");
  }
  // Shrink-on-load decodes a JPEG or HEIC at a fraction of its size; a
  // picture cut short fails instead of giving a grey thumbnail.
  VipsImage* made = nullptr;
  if (vips.thumbnail_source(source.get(), &made, limits.longest_side, "height", limits.longest_side,
                            "size", VIPS_SIZE_DOWN, "option_string", "fail_on=truncated",
                            nullptr) != 0) {
    return damaged();
  }
  library_object<VipsImage> thumbnail(made);
  void* bytes = nullptr;
  size_t length = 0;
  if (vips.webpsave_buffer(thumbnail.get(), &bytes, &length, "Q", limits.quality, "strip", TRUE,
                           nullptr) != 0) {
    return damaged();
  }
  webp.assign(static_cast<const char*>(bytes), length);
  vips.free(bytes);
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
