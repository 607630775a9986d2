// The files a listing run reads and must never write over.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace dirscribe {

// Files a run reads and must never write over (the project file, the
// template, the extension table, the catalog), known by device and inode so
// that any path to them is caught.
//
// Each file is held open (without read or write access) while it is
// remembered: a file deleted during the run keeps its inode, so no output file
// created since can be taken for it.
class protected_files {
 public:
  protected_files() = default;
  // A copy holds the same files through descriptors of its own.
  protected_files(const protected_files& other);
  protected_files& operator=(const protected_files& other);
  protected_files(protected_files&& other) noexcept;
  protected_files& operator=(protected_files&& other) noexcept;
  ~protected_files();

  // Remembers `path` when it names an existing file; others are ignored.
  void add(const std::string& path);
  // Whether the file with this device and inode is one of them.
  bool contains(dev_t device, ino_t inode) const;
  // Forgets every file.
  void clear();

 private:
  struct held_file {
    int descriptor;
    dev_t device;
    ino_t inode;
  };
  std::vector<held_file> files_;
};

}  // namespace dirscribe
