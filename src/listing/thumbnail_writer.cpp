#include "listing/thumbnail_writer.h"

#include <dirent.h>
#include <fcntl.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "engine/listing_run.h"
#include "engine/project_context.h"
#include "files/file_node.h"
#include "files/file_path.h"
#include "platform/replacing_file.h"
#include "services/phrase_ids.h"

namespace dirscribe {

namespace {

constexpr size_t kPageDigits = 8;
constexpr size_t kPictureDigits = 32;
constexpr char kSuffix[] = ".webp";
constexpr size_t kNameLength = kPageDigits + 1 + kPictureDigits + sizeof kSuffix - 1;
// How often a long run of thumbnails tells the progress displays.
constexpr auto kProgressInterval = std::chrono::milliseconds(200);

// The first `digits` hexadecimal digits of the SHA-256 digest of `text`.
std::string digest_digits(const std::string& text, size_t digits) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_Digest(text.data(), text.size(), digest, &length, EVP_sha256(), nullptr);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (unsigned int i = 0; i < length && out.size() < digits; ++i) {
    out += kHex[digest[i] >> 4];
    out += kHex[digest[i] & 0xF];
  }
  return out;
}

bool is_hex_digits(std::string_view text) {
  for (char c : text) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

std::string lower_ascii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

struct descriptor_owner {
  int descriptor = -1;
  ~descriptor_owner() {
    if (descriptor >= 0) ::close(descriptor);
  }
};

}  // namespace

// One picture of a folder whose thumbnail is not made yet.
struct thumbnail_writer::picture {
  const folder_handle* folder = nullptr;  // where the picture is; borrowed
  std::string name;                       // its name there
  std::string key;                        // its path below the listed folder
  std::string path;                       // its path, for messages
  std::string thumbnail;                  // the thumbnail's name
  struct stat status {};                  // as its name was made from
  outcome result;
};

std::string thumbnail_name(const std::string& page_name, const std::string& relative_path,
                           uint64_t size, int64_t modified_seconds, int64_t modified_nanoseconds) {
  // The path cannot hold a NUL, so the fields cannot run into each other.
  std::string picture = relative_path;
  picture += '\0';
  picture += std::to_string(size) + '\0' + std::to_string(modified_seconds) + '.' +
             std::to_string(modified_nanoseconds);
  return digest_digits(page_name, kPageDigits) + "-" + digest_digits(picture, kPictureDigits) +
         kSuffix;
}

bool is_thumbnail_of_page(const std::string& name, const std::string& page_name) {
  const auto is_thumbnail = [&](std::string_view candidate) {
    return candidate.size() == kNameLength && candidate.ends_with(kSuffix) &&
           candidate[kPageDigits] == '-' &&
           is_hex_digits(candidate.substr(kPageDigits + 1, kPictureDigits)) &&
           candidate.substr(0, kPageDigits) == digest_digits(page_name, kPageDigits);
  };
  if (is_thumbnail(name)) return true;
  // A temporary file a killed run left: ".NAME.dirscribe-xxxxxx".
  return name.size() > kNameLength + 1 && name.front() == '.' &&
         is_thumbnail(std::string_view(name).substr(1, kNameLength)) &&
         is_temporary_of(name, name.substr(1, kNameLength));
}

thumbnail_writer::thumbnail_writer(const listing_run& run, unsigned workers,
                                   thumbnail_limits limits)
    : run_(run),
      workers_(workers != 0 ? workers : std::max(1u, std::thread::hardware_concurrency())),
      limits_(limits) {}

thumbnail_writer::~thumbnail_writer() = default;

void thumbnail_writer::begin_page(held_folder page_folder, const std::string& page_path) {
  page_folder_ = std::move(page_folder);
  const size_t slash = page_path.rfind('/');
  page_name_ = slash == std::string::npos ? page_path : page_path.substr(slash + 1);
  thumbnail_folder_path_ = slash == std::string::npos
                               ? kThumbnailFolder
                               : join_path(page_path.substr(0, slash), kThumbnailFolder);
  thumbnail_folder_.reset();
  folder_refused_ = false;
  links_.clear();
  linked_names_.clear();
}

void thumbnail_writer::end_page(bool written) {
  if (written && page_folder_ && !run_.stop_raised()) remove_unlinked();
  page_folder_.reset();
  thumbnail_folder_.reset();
  links_.clear();
  linked_names_.clear();
}

std::string thumbnail_writer::thumbnail_link(const std::string& relative_path,
                                             const std::string& name) const {
  const auto found = links_.find(join_path(relative_path, name));
  return found == links_.end() ? std::string() : found->second;
}

bool thumbnail_writer::hold_thumbnail_folder() {
  if (thumbnail_folder_) return true;
  if (folder_refused_) return false;
  folder_opening made = page_folder_->make_child(kThumbnailFolder);
  if (!made.folder) {
    folder_refused_ = true;
    run_.warn(run_.phrase(kPhraseThumbnailFolderRefused) + thumbnail_folder_path_);
    return false;
  }
  thumbnail_folder_ = std::move(made.folder);
  return true;
}

void thumbnail_writer::make_thumbnails(const folder_handle& folder,
                                       const std::string& relative_path,
                                       const std::string& folder_path, const file_tree& entries) {
  if (!page_folder_) return;
  std::vector<picture> pending;
  for (const file_node* entry = entries.first(); entry; entry = entry->next()) {
    if (entry->is_folder) continue;
    std::string extension = extension_of(entry->name);
    if (extension.size() < 2 || !is_picture_extension(lower_ascii(extension.substr(1)))) continue;
    std::string key = join_path(relative_path, entry->name);
    if (links_.contains(key)) continue;  // another loop of the page met it first
    // A link to a picture shows the picture, as its digest is that of the
    // picture; anything but a regular file gets no thumbnail.
    struct stat status {};
    if (::fstatat(folder.descriptor(), entry->name.c_str(), &status, 0) != 0 ||
        !S_ISREG(status.st_mode)) {
      continue;
    }
    if (!hold_thumbnail_folder()) return;
    std::string name = thumbnail_name(page_name_, key, static_cast<uint64_t>(status.st_size),
                                      status.st_mtim.tv_sec, status.st_mtim.tv_nsec);
    struct stat made {};
    const target_kind there = look_at_target(*thumbnail_folder_, name, made);
    if (there == target_kind::regular_file) {
      // Made before from this very picture: nothing to do.
      links_.emplace(std::move(key), std::string(kThumbnailFolder) + "/" + name);
      linked_names_.insert(std::move(name));
      continue;
    }
    if (there != target_kind::absent) continue;  // something else holds the name: leave it
    picture item;
    item.folder = &folder;
    item.name = entry->name;
    item.key = std::move(key);
    item.path = join_path(folder_path, entry->name);
    item.thumbnail = std::move(name);
    item.status = status;
    pending.push_back(std::move(item));
  }
  if (pending.empty()) return;
  make_all(pending);
  for (picture& item : pending) {
    if (item.result.ok()) {
      links_.emplace(item.key, std::string(kThumbnailFolder) + "/" + item.thumbnail);
      linked_names_.insert(item.thumbnail);
    } else if (!item.result.is(result_stopped)) {
      // Known to have none: another loop of the page neither tries nor warns again.
      links_.emplace(item.key, std::string());
      run_.warn(run_.phrase(kPhraseNoThumbnail) + item.path + ": " + item.result.message());
    }
  }
}

void thumbnail_writer::make_all(std::vector<picture>& pictures) {
  if (!library_started_) library_started_ = start_picture_library();
  if (!library_started_) {
    for (picture& item : pictures)
      item.result = {result_picture_unreadable, "libvips cannot be loaded"};
    return;
  }
  std::atomic<size_t> next{0};
  std::atomic<int64_t> done{0};
  const auto make = [&](picture& item) {
    make_one(item);
    if (!item.result.ok()) return;
    ++done;
    run_.context.thumbnails_made.fetch_add(1, std::memory_order_relaxed);
  };
  const auto work = [&] {
    for (size_t i = next++; i < pictures.size(); i = next++) make(pictures[i]);
  };
  // The building thread makes its share too, and between pictures lets the
  // progress displays see the count grow.
  const size_t helpers = std::min<size_t>(workers_, pictures.size()) - 1;
  std::vector<std::thread> threads;
  threads.reserve(helpers);
  for (size_t i = 0; i < helpers; ++i) threads.emplace_back(work);
  auto last = std::chrono::steady_clock::now();
  for (size_t i = next++; i < pictures.size(); i = next++) {
    make(pictures[i]);
    const auto now = std::chrono::steady_clock::now();
    if (now - last < kProgressInterval) continue;
    last = now;
    const std::string& path = pictures[i].path;
    run_.report_progress(run_.phrase(kPhraseReadingFolder) + path.substr(0, path.rfind('/')));
  }
  for (std::thread& thread : threads) thread.join();
  made_ += done;
}

void thumbnail_writer::make_one(picture& item) const {
  if (run_.stop_raised()) {
    item.result = {result_stopped, {}};
    return;
  }
  descriptor_owner source{::openat(item.folder->descriptor(), item.name.c_str(),
                                   O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)};
  struct stat status {};
  if (source.descriptor < 0 || ::fstat(source.descriptor, &status) != 0) {
    item.result = {result_picture_unreadable, std::string("cannot be read: ") + strerror(errno)};
    return;
  }
  // Swapped or changed since it was looked at: its thumbnail waits for the
  // next run, which sees it as it is then.
  if (!S_ISREG(status.st_mode) || status.st_size != item.status.st_size ||
      status.st_mtim.tv_sec != item.status.st_mtim.tv_sec ||
      status.st_mtim.tv_nsec != item.status.st_mtim.tv_nsec) {
    item.result = {result_picture_unreadable, "changed while it was read"};
    return;
  }
  std::string webp;
  item.result = make_thumbnail(source.descriptor, limits_, webp);
  if (!item.result.ok()) return;
  replacing_file file;
  const bool written = file.begin(thumbnail_folder_, item.thumbnail, nullptr) &&
                       std::fwrite(webp.data(), 1, webp.size(), file.stream()) == webp.size() &&
                       file.commit(false);
  if (!written) {
    item.result = {result_picture_unreadable,
                   std::string("its thumbnail cannot be written: ") + strerror(errno)};
  }
}

void thumbnail_writer::remove_unlinked() {
  held_folder folder = thumbnail_folder_;
  if (!folder) {
    // Nothing linked this time; thumbnails of an earlier run may still be
    // there. Never made here, never followed if it is a link.
    folder = page_folder_->open_child(kThumbnailFolder).folder;
    if (!folder) return;
  }
  const int listing = ::openat(folder->descriptor(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listing < 0) return;
  DIR* entries = ::fdopendir(listing);
  if (!entries) {
    ::close(listing);
    return;
  }
  std::vector<std::string> unlinked;
  bool others = false;  // entries that stay
  while (const dirent* entry = ::readdir(entries)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (!linked_names_.contains(name) && is_thumbnail_of_page(name, page_name_)) {
      unlinked.push_back(name);
    } else {
      others = true;
    }
  }
  ::closedir(entries);
  for (const std::string& name : unlinked) {
    struct stat status {};
    // Only files this program names so are removed, and only regular files.
    if (look_at_target(*folder, name, status) != target_kind::regular_file) {
      others = true;
      continue;
    }
    if (::unlinkat(folder->descriptor(), name.c_str(), 0) == 0) ++removed_;
  }
  if (!others) ::unlinkat(page_folder_->descriptor(), kThumbnailFolder, AT_REMOVEDIR);
}

}  // namespace dirscribe
