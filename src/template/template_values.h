// The values of the template variables: what each value row of the variable
// table yields for the entry being printed, the project and the innermost
// loop. The table in template_variables.cpp points at these functions.
#pragma once

#include <string>

#include "core/tagged_value.h"
#include "template/template_variables.h"

namespace dirscribe {

struct file_node;
class listing_run;
struct loop_frame;
struct date_time_formats;

struct template_value_context {
  // The entry being printed, prepared by the loop (ext filled, times
  // converted, size adjusted); a nameless folder entry outside any item.
  const file_node& entry;
  // The run being written: the project's settings, what the build worked
  // out, and through its context the phrases, type tables and number format.
  const listing_run& run;
  // The innermost loop's state.
  const loop_frame& process;
  // Short date and time formats; nullptr uses the user's, read once.
  const date_time_formats* date_formats = nullptr;
  // Receives the text naming a failure (a file that cannot be read); may be
  // nullptr when the caller has no use for it.
  std::string* error_text = nullptr;
};

// The value of `row` (3 to 63): 0 with `result` set, or the code of a
// failure. Rows without a value function give 1.
int template_value(int row, const template_value_context& context, tagged_value& result);

// The download time of `size` bytes at `bits_per_second`: a count followed by
// the seconds, minutes or hours phrase of `context`'s language.
std::string download_time_text(uint64_t size, int64_t bits_per_second,
                               const template_value_context& context);

// The upper-case hexadecimal MD5 or SHA-1 digest, or the lower-case
// hexadecimal SHA-256 digest (as sha256sum prints it), of the file `path`,
// read in 65536-byte pieces. Returns 0, or 1 when the file cannot be opened or
// read. A path that is not a regular file (FIFO, device, socket) gives 0 and
// an empty digest without reading anything.
int file_digest_md5(const std::string& path, std::string& hex);
int file_digest_sha1(const std::string& path, std::string& hex);
int file_digest_sha256(const std::string& path, std::string& hex);

// The value functions of rows 3 to 63, in table order.
namespace template_values {
int row_index(const template_value_context& c, tagged_value& r);
int total_rows(const template_value_context& c, tagged_value& r);
int odd(const template_value_context& c, tagged_value& r);
int total_files(const template_value_context& c, tagged_value& r);
int total_folders(const template_value_context& c, tagged_value& r);
int total_size(const template_value_context& c, tagged_value& r);
int level_files(const template_value_context& c, tagged_value& r);
int level_folders(const template_value_context& c, tagged_value& r);
int level_size(const template_value_context& c, tagged_value& r);
int tree_files(const template_value_context& c, tagged_value& r);
int tree_folders(const template_value_context& c, tagged_value& r);
int tree_size(const template_value_context& c, tagged_value& r);
int is_item(const template_value_context& c, tagged_value& r);
int folder_start(const template_value_context& c, tagged_value& r);
int folder_end(const template_value_context& c, tagged_value& r);
int descends(const template_value_context& c, tagged_value& r);
int is_folder(const template_value_context& c, tagged_value& r);
int base_name(const template_value_context& c, tagged_value& r);
int ext(const template_value_context& c, tagged_value& r);
int name(const template_value_context& c, tagged_value& r);
int modified(const template_value_context& c, tagged_value& r);
int modified_date(const template_value_context& c, tagged_value& r);
int modified_time(const template_value_context& c, tagged_value& r);
int size(const template_value_context& c, tagged_value& r);
int rel_path(const template_value_context& c, tagged_value& r);
int rel_url(const template_value_context& c, tagged_value& r);
int full_path(const template_value_context& c, tagged_value& r);
int url(const template_value_context& c, tagged_value& r);
int size_unit(const template_value_context& c, tagged_value& r);
int download_56k(const template_value_context& c, tagged_value& r);
int download_1m(const template_value_context& c, tagged_value& r);
int type(const template_value_context& c, tagged_value& r);
int icon(const template_value_context& c, tagged_value& r);
int has_subfolders(const template_value_context& c, tagged_value& r);
int attributes(const template_value_context& c, tagged_value& r);
int created(const template_value_context& c, tagged_value& r);
int accessed(const template_value_context& c, tagged_value& r);
int spare1(const template_value_context& c, tagged_value& r);
int spare2(const template_value_context& c, tagged_value& r);
int is_link(const template_value_context& c, tagged_value& r);
int md5(const template_value_context& c, tagged_value& r);
int sha1(const template_value_context& c, tagged_value& r);
int title(const template_value_context& c, tagged_value& r);
int folder_name(const template_value_context& c, tagged_value& r);
int source_path(const template_value_context& c, tagged_value& r);
int source_url(const template_value_context& c, tagged_value& r);
int max_depth(const template_value_context& c, tagged_value& r);
int images_url(const template_value_context& c, tagged_value& r);
int show_folders(const template_value_context& c, tagged_value& r);
int show_files(const template_value_context& c, tagged_value& r);
int show_summary(const template_value_context& c, tagged_value& r);
int sort_by(const template_value_context& c, tagged_value& r);
int sort_descending(const template_value_context& c, tagged_value& r);
int ftp_host(const template_value_context& c, tagged_value& r);
int now(const template_value_context& c, tagged_value& r);
int level(const template_value_context& c, tagged_value& r);
// The file name of the run's pages: the last part of `save`.
int page_name(const template_value_context& c, tagged_value& r);
// The `listing_title` key when set, else the listed folder's own name.
int listing_title(const template_value_context& c, tagged_value& r);
// The folder being listed, as a path below the listed folder ("" there).
int rel_folder(const template_value_context& c, tagged_value& r);
// The lower-case SHA-256 digest, under the rules of md5 and sha1.
int sha256(const template_value_context& c, tagged_value& r);
// The link of the file's thumbnail from the run's thumbnails, relative to the
// page; empty for folders and for files that have none.
int thumbnail_url(const template_value_context& c, tagged_value& r);
}  // namespace template_values

}  // namespace dirscribe
