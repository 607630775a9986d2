// The files that replacements set free, kept to be written again as the
// temporary files of the next replacements. A run that replaces a page in
// every folder would otherwise free one inode and allocate another for each
// page; on ext4 without a journal each allocation then searches past every
// inode freed in the last minute, which made page creation the largest cost
// of such a run. A kept file moves to its next folder by rename and is written
// over from its start, so neither its inode nor its blocks are given back.
#pragma once

#include <sys/types.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/folder_handle.h"
#include "platform/interrupt_cleanup.h"

namespace dirscribe {

class spare_files {
 public:
  spare_files() = default;
  spare_files(const spare_files&) = delete;
  spare_files& operator=(const spare_files&) = delete;
  // Removes the files still kept.
  ~spare_files();

  // Keeps the file `name` in `folder`, which the caller no longer needs
  // (`cleanup` removes it if the program is interrupted). False when enough
  // are kept already: the caller removes it then.
  bool keep(held_folder folder, std::string name,
            std::unique_ptr<interrupt_cleanup_entry>&& cleanup);

  // Moves a kept file to `name` (a free name) in `folder` and opens it for
  // writing from its start, with the permissions `mode` and the owner a new
  // file there would get. -1 when none is kept or the one taken cannot serve
  // unchanged in meaning: another hard link to it, extended attributes other
  // than the listing mark, another owner, another file system. Such a file is
  // removed.
  int take(const folder_handle& folder, const std::string& name, mode_t mode);

  // How many files are kept now.
  size_t kept() const;

 private:
  struct spare {
    held_folder folder;
    std::string name;
    std::unique_ptr<interrupt_cleanup_entry> cleanup;
  };

  mutable std::mutex mutex_;
  std::vector<spare> spares_;
};

}  // namespace dirscribe
