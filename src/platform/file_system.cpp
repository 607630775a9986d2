#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace dirscribe {

namespace {

// One read of a folder takes this many bytes of entries: a few hundred names.
constexpr size_t kEntryBlock = 32 * 1024;

constexpr unsigned int kStatxMask =
    STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_MTIME | STATX_ATIME | STATX_CTIME | STATX_BTIME;

// Fills `status` from one statx result, except the link bit.
void fill_status(const struct statx& info, file_status& status) {
  const unsigned int type = info.stx_mode & S_IFMT;
  status.is_folder = type == S_IFDIR;
  status.size = type == S_IFREG ? info.stx_size : 0;
  status.mtime = info.stx_mtime.tv_sec;
  status.atime = info.stx_atime.tv_sec;
  status.ctime = (info.stx_mask & STATX_BTIME) ? info.stx_btime.tv_sec : info.stx_ctime.tv_sec;
  uint32_t attributes = 0;
  if (!(info.stx_mode & S_IWUSR)) attributes |= attribute_read_only;
  if (type == S_IFDIR) attributes |= attribute_folder;
  if (type != S_IFDIR && type != S_IFREG) attributes |= attribute_system;
  if ((info.stx_attributes_mask & STATX_ATTR_COMPRESSED) &&
      (info.stx_attributes & STATX_ATTR_COMPRESSED)) {
    attributes |= attribute_compressed;
  }
  status.attributes = attributes;
}

// Reads the status of `name` relative to `dir_fd` (AT_FDCWD with an absolute
// or explicit path). Links are followed for the description but always
// marked; a dangling link becomes an empty file.
bool read_status(int dir_fd, const char* name, std::string_view last_component,
                 file_status& status) {
  struct statx own {};
  if (statx(dir_fd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kStatxMask, &own) != 0) {
    return false;
  }
  bool is_link = (own.stx_mode & S_IFMT) == S_IFLNK;
  status = file_status{};
  if (is_link) {
    struct statx target {};
    if (statx(dir_fd, name, AT_NO_AUTOMOUNT, kStatxMask, &target) == 0) {
      fill_status(target, status);
    } else {
      fill_status(own, status);
      status.is_folder = false;
      status.size = 0;
      status.attributes &= ~(attribute_system | attribute_read_only);
    }
  } else {
    fill_status(own, status);
  }
  if (!last_component.empty() && last_component.front() == '.') {
    status.attributes |= attribute_hidden;
  }
  if (is_link) status.attributes |= attribute_link;
  const bool regular = !status.is_folder && !(status.attributes & attribute_system);
  if (regular && status.attributes == 0) status.attributes = attribute_normal;
  return true;
}

// Calls `visit(entry)` for each entry of the held `folder` but "." and "..",
// in the order the file system gives them, until it returns false. Reads from
// the start of the folder whatever was read before (a fresh handle is there
// already), through the held descriptor itself (no second open), in large
// blocks. True when the
// folder was read to its end; false when reading fails (errno) or `visit`
// stopped the walk. A template, so that each caller's visitor is inlined into
// the loop rather than called through a pointer per entry.
template <class visitor>
bool for_each_entry(const folder_handle& folder, visitor&& visit) {
  const int folder_fd = folder.descriptor();
  if (folder.read_before() && ::lseek(folder_fd, 0, SEEK_SET) != 0) return false;
  alignas(dirent64) char block[kEntryBlock];
  for (;;) {
    const ssize_t got = ::getdents64(folder_fd, block, sizeof block);
    if (got == 0) return true;
    if (got < 0) return false;
    for (ssize_t at = 0; at < got;) {
      const auto* entry = reinterpret_cast<const dirent64*>(block + at);
      at += entry->d_reclen;
      const char* name = entry->d_name;
      if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
      if (!visit(*entry)) return false;
    }
  }
}

// Whether `entry` of the open folder `folder_fd` is a folder and not a link,
// as list_folder would describe it. The type readdir gives spares a statx for
// all but entries of unknown type; a folder entry is still checked to exist,
// as list_folder leaves out an entry that vanished before its statx.
bool is_subfolder(int folder_fd, const dirent64& entry) {
  if (entry.d_type == DT_UNKNOWN) {
    file_status status;
    return read_status(folder_fd, entry.d_name, entry.d_name, status) && status.is_folder &&
           !(status.attributes & attribute_link);
  }
  if (entry.d_type != DT_DIR) return false;
  struct statx own {};
  const int flags = AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT;
  if (statx(folder_fd, entry.d_name, flags, STATX_TYPE, &own) != 0) return false;
  return (own.stx_mode & S_IFMT) == S_IFDIR;
}

}  // namespace

bool list_folder(const folder_handle& folder, const folder_entry_callback& on_entry) {
  const int folder_fd = folder.descriptor();
  std::string name;  // one buffer for every entry's name
  return for_each_entry(folder, [&](const dirent64& entry) {
    file_status status;
    if (!read_status(folder_fd, entry.d_name, entry.d_name, status)) {
      // An entry removed since it was read is no failure: it is simply gone.
      return errno == ENOENT;
    }
    name = entry.d_name;
    on_entry(name, status);
    return true;
  });
}

bool list_folder(const std::string& path, const folder_entry_callback& on_entry) {
  const folder_opening opened = folder_handle::open_path(path);
  return opened.folder && list_folder(*opened.folder, on_entry);
}

bool list_subfolders(const folder_handle& folder,
                     const std::function<void(const std::string& name)>& on_folder) {
  const int folder_fd = folder.descriptor();
  std::string name;
  return for_each_entry(folder, [&](const dirent64& entry) {
    if (is_subfolder(folder_fd, entry)) {
      name = entry.d_name;
      on_folder(name);
    }
    return true;
  });
}

bool list_subfolders(const std::string& path,
                     const std::function<void(const std::string& name)>& on_folder) {
  const folder_opening opened = folder_handle::open_path(path);
  return opened.folder && list_subfolders(*opened.folder, on_folder);
}

bool path_status(const std::string& path, file_status& status) {
  if (path.empty()) return false;
  std::string_view last(path);
  while (last.size() > 1 && last.back() == '/') last.remove_suffix(1);
  const size_t slash = last.rfind('/');
  if (slash != std::string_view::npos && last.size() > 1) last.remove_prefix(slash + 1);
  return read_status(AT_FDCWD, path.c_str(), last, status);
}

int64_t file_system_block_size(const std::string& path, uint64_t* free_bytes) {
  struct statvfs info {};
  if (statvfs(path.c_str(), &info) != 0) return -1;
  if (free_bytes) *free_bytes = static_cast<uint64_t>(info.f_bavail) * info.f_frsize;
  return static_cast<int64_t>(info.f_frsize);
}

}  // namespace dirscribe
