// Where the thumbnails of the pictures a page lists come from. The listing
// layer makes them (with a picture library the layers below never see) and
// tells it where each page goes; the evaluation asks for those of each folder
// it lists before it prints the folder's entries, then for the link of each.
#pragma once

#include <string>

#include "platform/folder_handle.h"

namespace dirscribe {

class file_tree;

class thumbnail_source {
 public:
  virtual ~thumbnail_source() = default;

  // Starts the thumbnails of the page at `page_path`, which goes into the
  // held `page_folder`: they go into a folder beside it. Outside begin_page
  // and end_page no thumbnail is made and none is linked.
  virtual void begin_page(held_folder page_folder, const std::string& page_path) = 0;
  // Ends the page. When it was `written` in full, the thumbnails of this
  // page that it no longer links (their pictures gone or changed) are
  // removed, and their folder too when that leaves it empty.
  virtual void end_page(bool written) = 0;

  // Makes, or finds made before, the thumbnails of the pictures among the
  // files at the top of `entries`, which the folder `folder` holds; the
  // folder's path below the listed folder is `relative_path` ("" at the
  // top, "a/b" below), `folder_path` names it in messages. Returns when every
  // one is made; a picture that gets none is named in a warning. Called on
  // the building thread.
  virtual void make_thumbnails(const folder_handle& folder, const std::string& relative_path,
                               const std::string& folder_path, const file_tree& entries) = 0;

  // The link of the thumbnail of the file `name` in the folder
  // `relative_path`, relative to the page being written and ready to print;
  // empty when the file has none (not a picture, not readable as one, or
  // never handed to make_thumbnails).
  virtual std::string thumbnail_link(const std::string& relative_path,
                                     const std::string& name) const = 0;
};

}  // namespace dirscribe
