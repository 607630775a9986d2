// The file-system facts the scanner needs, read through held folder
// descriptors and statx. Paths are byte strings joined explicitly; nothing here reads or
// changes the process's current directory.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/folder_handle.h"

namespace dirscribe {

// The attribute bits of a listed entry: what the listing prints as attribute
// letters and the attribute filter tests. Project files store them as numbers,
// hence the fixed values. Archive, temporary and offline have no Linux
// counterpart and are never set.
enum file_attribute : uint32_t {
  attribute_read_only = 0x1,    // the owner has no write permission
  attribute_hidden = 0x2,       // the name starts with "."
  attribute_system = 0x4,       // neither a regular file nor a folder
  attribute_folder = 0x10,      // a folder
  attribute_archive = 0x20,     // never set here
  attribute_normal = 0x80,      // a regular file with none of the other bits
  attribute_temporary = 0x100,  // never set here
  attribute_link = 0x400,       // the entry is a symbolic link
  attribute_compressed = 0x800,
  attribute_offline = 0x1000,  // never set here
};

// What one directory entry or path is. For a symbolic link the fields describe
// the target when it exists (and `attributes` carries attribute_link); a
// dangling link is a file of size 0 with the link's own times.
struct file_status {
  bool is_folder = false;
  uint64_t size = 0;  // bytes; 0 for folders
  int64_t mtime = 0;  // last modification, seconds since 1970 UTC
  int64_t ctime = 0;  // birth time where the file system keeps one, else status change
  int64_t atime = 0;  // last access
  uint32_t attributes = 0;
};

// Called once per entry of a listed folder, "." and ".." excluded, in the
// order readdir returns them.
using folder_entry_callback =
    std::function<void(const std::string& name, const file_status& status)>;

// Lists `path`. Returns false when the folder cannot be opened or read to its
// end, or when an entry's status cannot be read for any reason but its
// removal (a folder that may be read but not entered): a listing never shows
// such a folder emptier than it is. An entry that vanishes between readdir and
// statx is left out.
bool list_folder(const folder_handle& folder, const folder_entry_callback& on_entry);
// The same for the folder the user named at `path` (links on the way followed).
bool list_folder(const std::string& path, const folder_entry_callback& on_entry);

// Lists the names of the entries of `path` that are folders and not links,
// in readdir order: those list_folder would report with is_folder set and
// without attribute_link. The entry type readdir gives spares a statx for
// all but entries of unknown type. False when the folder cannot be opened.
bool list_subfolders(const folder_handle& folder,
                     const std::function<void(const std::string& name)>& on_folder);
bool list_subfolders(const std::string& path,
                     const std::function<void(const std::string& name)>& on_folder);

// Status of one path (symbolic links described as above). The hidden bit is
// taken from the last path component. False when nothing exists at `path`.
bool path_status(const std::string& path, file_status& status);

// The file system's fundamental block size (statvfs f_frsize) for `path`, or
// -1 when it cannot be read. `free_bytes`, when given, receives the space
// available to an unprivileged user.
int64_t file_system_block_size(const std::string& path, uint64_t* free_bytes = nullptr);

}  // namespace dirscribe
