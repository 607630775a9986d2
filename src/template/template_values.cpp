#include "template/template_values.h"

#include <openssl/evp.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "engine/extension_table.h"
#include "engine/html_list_project.h"
#include "engine/link_rules.h"
#include "engine/listing_run.h"
#include "engine/project_context.h"
#include "engine/thumbnail_source.h"
#include "files/file_format.h"
#include "files/file_node.h"
#include "files/file_path.h"
#include "markup/html_title.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "services/phrase_ids.h"
#include "services/phrase_table.h"
#include "template/loop_frame.h"

namespace dirscribe {

namespace {

constexpr size_t kDigestReadSize = 65536;

std::string_view phrase(const template_value_context& c, int id) {
  const phrase_table* language = c.run.context.language;
  if (language == nullptr) return {};
  return language->text(id);
}

const number_format& numbers(const template_value_context& c) { return c.run.context.numbers; }

const date_time_formats& formats(const template_value_context& c) {
  if (c.date_formats != nullptr) return *c.date_formats;
  static const date_time_formats user = user_date_time_formats();
  return user;
}

std::string formatted_size(const template_value_context& c, uint64_t size, std::string_view label) {
  return format_size(size, c.run.settings.size_units, label, numbers(c));
}

std::string listed_size(const template_value_context& c, uint64_t size) {
  return formatted_size(c, size, c.run.size_unit_label);
}

int date_time(const template_value_context& c, unix_time t, tagged_value& r) {
  const project_settings& s = c.run.settings;
  return format_date_time(t, s.use_date_format, s.date_format, formats(c), r.text_to_fill());
}

// The base, then the name after a "/" (unless the base is empty or ends in
// one); a nameless entry gives the base alone.
std::string entry_path(const template_value_context& c, const std::string& base) {
  if (c.entry.name.empty()) return base;
  return join_path(std::string_view(base), std::string_view(c.entry.name));
}

// What follows the last "/" of `path`, trailing ones left aside ("/" and ""
// give "").
std::string last_part(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  const size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// `folder` as a path below `top` ("" for `top` itself, "a/b" below it). The
// loops extend the listed folder's path name by name, so every folder they
// list starts with it; anything else gives "".
std::string path_below(std::string_view folder, std::string_view top) {
  while (top.size() > 1 && top.back() == '/') top.remove_suffix(1);
  if (!folder.starts_with(top)) return {};
  folder.remove_prefix(top.size());
  // "/srv/ab" is not below "/srv/a".
  if (!folder.empty() && folder.front() != '/' && top != "/") return {};
  while (!folder.empty() && folder.front() == '/') folder.remove_prefix(1);
  while (!folder.empty() && folder.back() == '/') folder.remove_suffix(1);
  return std::string(folder);
}

// Appends the entry's URL below `base` to `url`.
void append_entry_url(const template_value_context& c, const std::string& base, std::string& url) {
  url += base;
  if (c.entry.name.empty()) return;
  append_escaped_name(url, c.entry.name, c.run.settings.url_escape);
  if (c.entry.is_folder) url += '/';
}

// The entry as a file of the folder being listed; never relative to the
// process's current directory.
std::string entry_file(const template_value_context& c) {
  return join_path(std::string_view(c.process.folder), std::string_view(c.entry.name));
}

// Where the entry's content is read from: through the held folder (the
// kernel's name for the open descriptor), so a folder swapped for a link
// since it was listed can never make a digest or a title read a file
// elsewhere; the path itself where no folder is held or /proc is missing.
std::string entry_source(const template_value_context& c) {
  if (!c.process.handle || c.entry.name.empty()) return entry_file(c);
  std::string held = held_entry_path(c.process.handle->descriptor(), c.entry.name);
  return held.empty() ? entry_file(c) : held;
}

void report_unreadable(const template_value_context& c, const std::string& path) {
  if (c.error_text != nullptr) *c.error_text = std::string(phrase(c, kPhraseCantOpenFile)) + path;
}

struct descriptor_closer {
  int fd;
  ~descriptor_closer() { ::close(fd); }
};
struct digest_freer {
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

// Whether `path` has no contents to read as a regular file: it exists (as
// an entry of its folder) but is a FIFO, socket, device, or a symbolic link
// whose target is missing or is one of those. Reading a FIFO or a device could
// block or never end; a dangling link is listed like any file and must not
// fail the listing.
bool is_special_file(const std::string& path) {
  struct stat status;
  if (::stat(path.c_str(), &status) == 0) return !S_ISREG(status.st_mode);
  return ::lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode);
}

// 0 with the digest, 1 when the file cannot be opened or read, 2 when the path
// is not a regular file (nothing is read; `hex` stays empty).
// digest_of's answer for a path that is not a regular file.
constexpr int kNotARegularFile = 2;
// The bit an FTP listing sets on an entry that is a link.
constexpr uint32_t ftp_link_bit = 0x1000;

// The digits a digest is written in: MD5 and SHA-1 as they always were,
// SHA-256 as sha256sum prints it, so its lists check with `sha256sum -c`.
constexpr char kUpperHex[] = "0123456789ABCDEF";
constexpr char kLowerHex[] = "0123456789abcdef";

int digest_of(const std::string& path, const EVP_MD* method, const char* digits, std::string& hex) {
  hex.clear();
  // Only regular files are opened: a socket cannot be opened at all, and
  // opening a device can fail (a terminal without a session) or act on the
  // device; neither has content to digest.
  if (is_special_file(path)) return kNotARegularFile;
  // Non-blocking, so that opening a FIFO put in place since cannot wait for
  // a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return 1;
  descriptor_closer closer{fd};
  struct stat status;
  if (::fstat(fd, &status) != 0) return 1;
  if (!S_ISREG(status.st_mode)) return kNotARegularFile;
  std::unique_ptr<EVP_MD_CTX, digest_freer> context(EVP_MD_CTX_new());
  if (!context || EVP_DigestInit_ex(context.get(), method, nullptr) != 1) return 1;
  std::vector<unsigned char> buffer(kDigestReadSize);
  for (;;) {
    const ssize_t got = ::read(fd, buffer.data(), buffer.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      return 1;
    }
    if (got == 0) break;
    if (EVP_DigestUpdate(context.get(), buffer.data(), static_cast<size_t>(got)) != 1) return 1;
  }
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(context.get(), digest, &length) != 1) return 1;
  for (unsigned int i = 0; i < length; ++i) {
    hex += digits[digest[i] >> 4];
    hex += digits[digest[i] & 0xF];
  }
  return 0;
}

int file_digest(const std::string& path, const EVP_MD* method, const char* digits,
                std::string& hex) {
  const int result = digest_of(path, method, digits, hex);
  return result == kNotARegularFile ? 0 : result;
}

int entry_digest(const template_value_context& c, tagged_value& r, const EVP_MD* method,
                 const char* digits = kUpperHex) {
  if (c.entry.is_folder) {
    r = tagged_value("");
    return 0;
  }
  std::string hex;
  const int result = file_digest(entry_source(c), method, digits, hex);
  if (result != 0) report_unreadable(c, entry_file(c));
  r = tagged_value(std::move(hex));
  return result;
}

int download(const template_value_context& c, tagged_value& r, int64_t bits_per_second) {
  r = tagged_value(download_time_text(c.entry.size, bits_per_second, c));
  return 0;
}

// With one page per folder, the walk enters the folders that a files or
// folders loop lists while levels are left, as a tree loop would, each on a
// page of its own; such a folder descends too, so a style links its page
// only where there is one. Tree loops keep descends for what they nest
// themselves, so templates that build nested lists from it stay whole.
bool has_own_page(const template_value_context& c) {
  const file_node& entry = c.entry;
  return c.process.mode != loop_tree && !c.run.settings.subfolders_in_one_file &&
         c.run.subfolder_pages && entry.is_folder && !entry.name.empty() &&
         (entry.attributes & attribute_link) == 0 &&
         (entry.summary != nullptr || c.run.summary == nullptr);
}

// Gives `r` the value of a variable that cannot fail, and its success. A
// text is copied into the memory `r` holds already.
template <class value_type>
int set_value(tagged_value& r, value_type&& value) {
  if constexpr (std::is_convertible_v<const value_type&, std::string_view>) {
    r.text_to_fill().assign(std::string_view(value));
  } else {
    r = tagged_value(std::forward<value_type>(value));
  }
  return 0;
}

}  // namespace

std::string download_time_text(uint64_t size, int64_t bits_per_second,
                               const template_value_context& c) {
  const uint64_t bytes_per_second = static_cast<uint64_t>(bits_per_second / 8);
  const uint64_t t = bytes_per_second == 0 ? 0 : size / bytes_per_second;
  std::string text;
  if (t < 60) {
    text = std::to_string(t + 1);
    text += phrase(c, kPhraseSeconds);
  } else if (t >= 3600) {
    text = std::to_string(t / 3600);
    text += phrase(c, kPhraseHours);
    text += std::to_string((t % 3600) / 60 + 1);
    text += phrase(c, kPhraseMinutes);
  } else {
    text = std::to_string(t / 60 + 1);
    text += phrase(c, kPhraseMinutes);
  }
  return text;
}

int file_digest_md5(const std::string& path, std::string& hex) {
  return file_digest(path, EVP_md5(), kUpperHex, hex);
}

int file_digest_sha1(const std::string& path, std::string& hex) {
  return file_digest(path, EVP_sha1(), kUpperHex, hex);
}

int file_digest_sha256(const std::string& path, std::string& hex) {
  return file_digest(path, EVP_sha256(), kLowerHex, hex);
}

int template_value(int row, const template_value_context& context, tagged_value& result) {
  const template_variable* variable = template_variable_row(row);
  if (variable == nullptr || variable->value == nullptr) return 1;
  return variable->value(context, result);
}

namespace template_values {

int row_index(const template_value_context& c, tagged_value& r) {
  return set_value(r, c.process.row_index);
}
int total_rows(const template_value_context& c, tagged_value& r) {
  return set_value(r, c.run.listing_row_total);
}
int odd(const template_value_context& c, tagged_value& r) {
  return set_value(r, c.process.odd_row);
}
int total_files(const template_value_context& c, tagged_value& r) {
  return set_value(r, c.run.listing_file_total);
}
int total_folders(const template_value_context& c, tagged_value& r) {
  return set_value(r, c.run.listing_folder_total);
}
int total_size(const template_value_context& c, tagged_value& r) {
  return set_value(r, listed_size(c, c.run.listing_total_size));
}
int level_files(const template_value_context& c, tagged_value& r) {
  return set_value(r, c.process.file_count);
}
int level_folders(const template_value_context& c, tagged_value& r) {
  return set_value(r, c.process.folder_count);
}
int level_size(const template_value_context& c, tagged_value& r) {
  return set_value(r, listed_size(c, c.process.total_size));
}
int tree_files(const template_value_context& c, tagged_value& r) {
  return set_value(r, c.process.summary != nullptr ? c.process.summary->file_count : 0);
}
int tree_folders(const template_value_context& c, tagged_value& r) {
  return set_value(r, c.process.summary != nullptr ? c.process.summary->folder_count : 0);
}
int tree_size(const template_value_context& c, tagged_value& r) {
  if (c.process.summary == nullptr) {
    r = tagged_value(int32_t{0});
  } else {
    r = tagged_value(listed_size(c, c.process.summary->size));
  }
  return 0;
}
int is_item(const template_value_context& c, tagged_value& r) {
  return set_value(r, !c.process.folder_start && !c.process.folder_end);
}
int folder_start(const template_value_context& c, tagged_value& r) {
  return set_value(r, c.process.folder_start);
}
int folder_end(const template_value_context& c, tagged_value& r) {
  return set_value(r, c.process.folder_end);
}
int descends(const template_value_context& c, tagged_value& r) {
  return set_value(r, c.process.descends || has_own_page(c));
}
int is_folder(const template_value_context& c, tagged_value& r) {
  return set_value(r, c.entry.is_folder);
}
int base_name(const template_value_context& c, tagged_value& r) {
  return set_value(r, name_without_extension(c.entry));
}
int ext(const template_value_context& c, tagged_value& r) { return set_value(r, c.entry.ext); }
int name(const template_value_context& c, tagged_value& r) { return set_value(r, c.entry.name); }
int modified(const template_value_context& c, tagged_value& r) {
  return date_time(c, c.entry.mtime, r);
}
int modified_date(const template_value_context& c, tagged_value& r) {
  return set_value(r, format_date(c.entry.mtime, formats(c)));
}
int modified_time(const template_value_context& c, tagged_value& r) {
  return set_value(r, format_time(c.entry.mtime, formats(c)));
}
int size(const template_value_context& c, tagged_value& r) {
  if (c.entry.is_folder && (c.run.settings.recursive_options & recursive_subtree_sizes) == 0) {
    r = tagged_value("");
  } else {
    r = tagged_value(formatted_size(c, c.entry.size, ""));
  }
  return 0;
}
int rel_path(const template_value_context& c, tagged_value& r) {
  return set_value(r, entry_path(c, c.process.relative_path));
}
int rel_url(const template_value_context& c, tagged_value& r) {
  // Under a link base every link is absolute, relative ones included.
  std::string& link = r.text_to_fill();
  if (!c.run.link_base.empty()) {
    append_entry_url(c, c.process.absolute_url, link);
    return 0;
  }
  // Every relative link starts from the page's own folder; a folder that
  // has a page of its own in a mirror is reached in the mirror, where the
  // page that links it also stands.
  const bool in_mirror = c.run.mirror && (c.entry.name.empty() || c.entry.is_folder) &&
                         (c.entry.attributes & attribute_link) == 0;
  if (!in_mirror) link += c.process.page_way;
  append_entry_url(c, c.process.relative_url, link);
  guard_relative_link(link);
  return 0;
}
int full_path(const template_value_context& c, tagged_value& r) {
  return set_value(r, entry_path(c, c.process.folder));
}
int url(const template_value_context& c, tagged_value& r) {
  append_entry_url(c, c.process.absolute_url, r.text_to_fill());
  return 0;
}
int size_unit(const template_value_context& c, tagged_value& r) {
  return set_value(r, c.run.size_unit_label);
}
int download_56k(const template_value_context& c, tagged_value& r) { return download(c, r, 57344); }
int download_1m(const template_value_context& c, tagged_value& r) {
  return download(c, r, 1048576);
}
int type(const template_value_context& c, tagged_value& r) {
  r = tagged_value(entry_type_text(c.entry, c.run.context, c.run.settings.shell_mode));
  return 0;
}
int icon(const template_value_context& c, tagged_value& r) {
  r = entry_icon(c.entry, c.run.context);
  return 0;
}
int has_subfolders(const template_value_context& c, tagged_value& r) {
  if ((c.run.settings.recursive_options & (recursive_subtree_sizes | recursive_leave_out_empty)) !=
      0) {
    // A summary node counts the folders below it that the summary keeps:
    // some exactly when it has a subfolder of its own.
    r = tagged_value(c.entry.summary != nullptr && c.entry.summary->folder_count > 0);
  } else {
    r = tagged_value(int32_t{0});
  }
  return 0;
}
int attributes(const template_value_context& c, tagged_value& r) {
  if (c.run.settings.source == source_ftp) {
    r = tagged_value(mode_string(c.entry.attributes, c.entry.is_folder));
  } else {
    r = tagged_value(attribute_letters(c.entry.attributes));
  }
  return 0;
}
int created(const template_value_context& c, tagged_value& r) {
  return date_time(c, c.entry.ctime, r);
}
int accessed(const template_value_context& c, tagged_value& r) {
  return date_time(c, c.entry.atime, r);
}
int spare1(const template_value_context& c, tagged_value& r) {
  return set_value(r, c.entry.spare1);
}
int spare2(const template_value_context& c, tagged_value& r) {
  return set_value(r, c.entry.spare2);
}
int is_link(const template_value_context& c, tagged_value& r) {
  // FTP entries carry the link bit of their listing; local entries the
  // symbolic-link attribute, so a style can link a folder it never enters
  // (and that has no page of its own) to the folder itself.
  if (c.run.settings.source == source_ftp) {
    r = tagged_value((c.entry.attributes & ftp_link_bit) != 0);
  } else {
    r = tagged_value((c.entry.attributes & attribute_link) != 0);
  }
  return 0;
}
int md5(const template_value_context& c, tagged_value& r) { return entry_digest(c, r, EVP_md5()); }
int sha1(const template_value_context& c, tagged_value& r) {
  return entry_digest(c, r, EVP_sha1());
}
int sha256(const template_value_context& c, tagged_value& r) {
  return entry_digest(c, r, EVP_sha256(), kLowerHex);
}
int thumbnail_url(const template_value_context& c, tagged_value& r) {
  if (c.entry.is_folder || c.run.thumbnails == nullptr) {
    r = tagged_value("");
    return 0;
  }
  r = tagged_value(c.run.thumbnails->thumbnail_link(c.process.relative_path, c.entry.name));
  return 0;
}
int title(const template_value_context& c, tagged_value& r) {
  if (c.entry.is_folder) {
    r = tagged_value("");
    return 0;
  }
  const std::string source = entry_source(c);
  std::string text;
  // A FIFO or device has no title and must not be read.
  if (is_special_file(source)) {
    r = tagged_value("");
    return 0;
  }
  const int result = title_of_file(source, text);
  if (result == 1) report_unreadable(c, entry_file(c));
  r = tagged_value(std::move(text));
  return result;
}
int folder_name(const template_value_context& c, tagged_value& r) {
  const file_node* parent = c.entry.parent();
  if (c.process.mode == loop_tree && c.process.is_subfolder_level && parent != nullptr) {
    r = tagged_value(parent->name);
    return 0;
  }
  const std::string& folder = c.process.folder;
  const size_t slash = folder.rfind('/');
  r = tagged_value(slash == std::string::npos ? folder : folder.substr(slash + 1));
  return 0;
}
int source_path(const template_value_context& c, tagged_value& r) {
  return set_value(r, c.run.folder);
}
int source_url(const template_value_context& c, tagged_value& r) {
  return set_value(r, c.run.source_url);
}
int max_depth(const template_value_context& c, tagged_value& r) {
  return set_value(r, c.run.settings.recursion_depth);
}
int images_url(const template_value_context& c, tagged_value& r) {
  const project_settings& s = c.run.settings;
  if (s.local_image_dir) {
    r = tagged_value(c.run.local_image_url);
  } else {
    r = tagged_value(c.run.page_image_dir);
  }
  return 0;
}
int show_folders(const template_value_context& c, tagged_value& r) {
  return set_value(r, int32_t{c.run.settings.show_folders & show_folders_bit});
}
int show_files(const template_value_context& c, tagged_value& r) {
  return set_value(r, int32_t{c.run.settings.show_folders & show_files_bit});
}
int show_summary(const template_value_context& c, tagged_value& r) {
  return set_value(r, c.run.settings.show_summary);
}
int sort_by(const template_value_context& c, tagged_value& r) {
  return set_value(r, c.run.settings.order_files);
}
int sort_descending(const template_value_context& c, tagged_value& r) {
  return set_value(r, c.run.settings.sort_order);
}
int ftp_host(const template_value_context& c, tagged_value& r) {
  return set_value(r, c.run.settings.ftp_host);
}
int now(const template_value_context& c, tagged_value& r) {
  const std::optional<int64_t>& fixed_now = c.run.context.fixed_now;
  unix_time t = fixed_now ? *fixed_now : current_unix_time();
  if (c.run.settings.is_local_date) t = to_local_time(t);
  return date_time(c, t, r);
}
int level(const template_value_context& c, tagged_value& r) {
  return set_value(r, static_cast<int32_t>(c.run.settings.recursion_depth - c.process.depth_left));
}
int page_name(const template_value_context& c, tagged_value& r) {
  return set_value(r, last_part(c.run.settings.save));
}
int listing_title(const template_value_context& c, tagged_value& r) {
  // A published page names the listing, never where it lies on this machine.
  // The root has no name of its own; "/" says which folder it is and
  // reveals nothing.
  const std::string& title = c.run.settings.listing_title;
  if (!title.empty()) return set_value(r, title);
  std::string name = last_part(c.run.folder);
  return set_value(r, name.empty() ? std::string("/") : std::move(name));
}
int rel_folder(const template_value_context& c, tagged_value& r) {
  return set_value(r, path_below(c.process.folder, c.run.folder));
}

}  // namespace template_values

}  // namespace dirscribe
