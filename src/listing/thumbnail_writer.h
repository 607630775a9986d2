// The thumbnails of a run's pages, written into the folder `.thumbnails`
// beside each page (in the listed folder, or in the output_dir mirror, as the
// page goes).
//
// A thumbnail's name is made of a digest of the page's name and one of the
// picture's path below the listed folder, its size and its modification time,
// in hexadecimal: two pictures never share one, no name can leave the folder
// whatever bytes the picture's name holds, and a picture that has not changed
// finds its thumbnail by name alone and is never read again. A picture that
// changed gets a new name (so no browser shows the old one from its cache);
// the old one, like that of a picture gone, is removed when the page is
// written. Every thumbnail is written whole (a temporary file renamed into
// place) into the folder held open, never through a link.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/thumbnail_source.h"
#include "listing/picture_scaler.h"

namespace dirscribe {

class listing_run;

// The folder beside each page that holds its thumbnails.
inline constexpr char kThumbnailFolder[] = ".thumbnails";

class thumbnail_writer final : public thumbnail_source {
 public:
  // `run` is borrowed and must outlive the writer; its warning channel names
  // each picture that gets no thumbnail. `workers` pictures are made side by
  // side (0: one per processor).
  explicit thumbnail_writer(const listing_run& run, unsigned workers = 0,
                            thumbnail_limits limits = {});
  thumbnail_writer(const thumbnail_writer&) = delete;
  thumbnail_writer& operator=(const thumbnail_writer&) = delete;
  ~thumbnail_writer() override;

  void begin_page(held_folder page_folder, const std::string& page_path) override;
  void end_page(bool written) override;
  void make_thumbnails(const folder_handle& folder, const std::string& relative_path,
                       const std::string& folder_path, const file_tree& entries) override;
  std::string thumbnail_link(const std::string& relative_path,
                             const std::string& name) const override;

  // Thumbnails this writer made (not those found made before), and those it
  // removed because nothing links them any more.
  int64_t made() const { return made_; }
  int64_t removed() const { return removed_; }

 private:
  struct picture;
  // The thumbnails folder of the page, made when missing; false (after a
  // warning, once per page) when it cannot be.
  bool hold_thumbnail_folder();
  // Makes the thumbnails of `pictures` side by side.
  void make_all(std::vector<picture>& pictures);
  void make_one(picture& item) const;
  void remove_unlinked();

  const listing_run& run_;
  const unsigned workers_;
  const thumbnail_limits limits_;
  bool library_started_ = false;
  // The page being written.
  held_folder page_folder_;
  std::string page_name_;              // the page's part of every thumbnail name
  std::string thumbnail_folder_path_;  // for messages
  held_folder thumbnail_folder_;
  bool folder_refused_ = false;
  // Links by the picture's path below the listed folder ("" for a picture
  // that has none), and the names of the thumbnails the page links.
  std::unordered_map<std::string, std::string> links_;
  std::unordered_set<std::string> linked_names_;
  int64_t made_ = 0;
  int64_t removed_ = 0;
};

// The name of the thumbnail of the picture at `relative_path` below the
// listed folder, of `size` bytes, modified at `modified_seconds` and
// `modified_nanoseconds`, on the page `page_name`: 8 + 1 + 32 hexadecimal
// digits and ".webp".
std::string thumbnail_name(const std::string& page_name, const std::string& relative_path,
                           uint64_t size, int64_t modified_seconds, int64_t modified_nanoseconds);

// Whether `name` could be a thumbnail (or a temporary file of one) that the
// page `page_name` made.
bool is_thumbnail_of_page(const std::string& name, const std::string& page_name);

}  // namespace dirscribe
