// listing_run: what one build of one project works out and keeps while it
// writes the listing. The project's settings stay as the user set them; the
// run reads them, and reaches what the projects of a file share (phrases,
// extension tables, number format, the stop flag and the progress and
// warning channels) through the context it was made for. The driver makes
// one per build and hands it down to everything that writes the listing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/protected_files.h"
#include "files/file_filter.h"
#include "files/file_node_pool.h"
#include "files/own_output.h"

namespace dirscribe {

class commit_queue;
class file_tree;
class folder_handle;
class folder_record;
class project_context;
struct project_settings;
class thumbnail_source;

class listing_run {
 public:
  // Both are borrowed and must outlive the run.
  listing_run(const project_settings& settings, const project_context& context)
      : settings(settings), context(context) {}
  listing_run(const listing_run&) = delete;
  listing_run& operator=(const listing_run&) = delete;

  // The phrase `id` of the context's phrase table; "" without one.
  std::string phrase(int id) const;
  // Whether another thread asked the build to stop.
  bool stop_raised() const;
  // Tells the context's warning channel `text`, when one is set.
  void warn(const std::string& text) const;
  // Tells the context's progress channel `text`, when one is set.
  void report_progress(std::string text) const;

  // Clears the listing totals of the output file together.
  void clear_listing_totals();
  // Lets the progress displays see the file total as it stands now.
  void publish_file_total() const;

  const project_settings& settings;
  const project_context& context;

  // What a build works out from the settings, which it never changes.
  std::string folder;     // the listed folder as it resolves
  std::string image_dir;  // `image_dir` with one trailing "/", as links print it
  // image_dir as the page being written links it: a relative one is taken
  // in the listed folder, so it is reached from the page's own folder.
  std::string page_image_dir;
  file_filter_data filter;  // the project's filter with concrete time and size windows
  std::string size_unit_label;
  std::string source_url;
  std::string link_base;   // `link_base` ending in "/", escaped like the links it starts
  std::string output_dir;  // `output_dir` as it resolves; empty when not set
  // One page per folder under output_dir: the pages form a mirror of the
  // folder tree there, and folder links lead to the mirror's pages.
  bool mirror = false;
  // One page per folder: whether the folders listed on the page being
  // written get pages of their own; not at the deepest level of a walk with
  // a depth limit.
  bool subfolder_pages = false;
  std::string local_image_url;
  int64_t cluster_size = 0;  // 0: sizes not rounded
  // Listing totals of the current output file, cleared together.
  uint64_t listing_total_size = 0;
  int32_t listing_file_total = 0;
  int32_t listing_folder_total = 0;
  int32_t listing_row_total = 0;
  file_tree* summary = nullptr;  // the folder summary of the current output file; borrowed
  // The walk that made the summary, when it was recorded: the listing then
  // reads its folders from the record instead of a second time from the
  // file system. Borrowed; none without a summary or without a record.
  folder_record* record = nullptr;
  // One page per folder: the folder whose page is being written. When the
  // page's evaluation reads it, it keeps the names of its subfolders that
  // are no links (in enumeration order) in `page_subfolders` and sets
  // `page_subfolders_read`, so the walk to the next pages needs no second
  // read of the folder.
  const folder_handle* page_folder_read = nullptr;
  bool page_subfolders_read = false;
  std::vector<std::string> page_subfolders;
  // The files this run writes, left out of every listing, and the files it
  // reads, never written over; both set by the driver.
  own_output outputs;
  protected_files inputs;
  // The output_dir, made before the walk starts, which the walk never enters
  // (unknown without one).
  folder_identity written_folder;
  // Pages not written because a file Dirscribe did not write is in their
  // place; such a build still writes every other page, then fails.
  int32_t kept_files = 0;
  // Files the walk found, and those of them the filter let through (each
  // time a folder is read): a build that found files and let none through
  // says so, since an empty listing looks like success.
  int64_t files_found = 0;
  int64_t files_passed = 0;
  // Where the pages of a per-folder listing are put in place, on a thread of
  // its own; none: each page is put in place before the walk goes on.
  // Borrowed from the driver.
  commit_queue* commits = nullptr;
  // The thumbnails of the page being written; none when the project makes
  // none or the page cannot hold them. Borrowed from the driver.
  thumbnail_source* thumbnails = nullptr;
  // The nodes of the folders read so far, for the folders read next. Every
  // tree made from it is freed before the run ends.
  file_node_pool node_pool;
};

}  // namespace dirscribe
