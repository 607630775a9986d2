// Writing a file so that it is replaced whole or not at all. The new content
// goes to a hidden temporary file in the target's folder and is renamed over the target only when
// every byte is written. An interrupted, failed or concurrent run therefore leaves either the old
// file or one complete new file, never a mixture, and a hard link at the target is never written
// through: its other names keep the old content.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/folder_handle.h"
#include "platform/interrupt_cleanup.h"
#include "platform/spare_files.h"

namespace dirscribe {

// What is at a target name now.
enum class target_kind { absent, regular_file, symbolic_link, other };

// Looks at `name` in the held folder without following a link; `status`
// receives what is there when something is.
target_kind look_at_target(const folder_handle& folder, const std::string& name,
                           struct stat& status);

class replacing_file {
 public:
  replacing_file() = default;
  replacing_file(const replacing_file&) = delete;
  replacing_file& operator=(const replacing_file&) = delete;
  // Abandons a file not committed.
  ~replacing_file() { abandon(); }

  // Starts the new content of `name` in `folder`. `replaced`, the status of
  // the regular file there now (from look_at_target), gives the permissions
  // (and, where allowed, the owner) the new file keeps; none: a new file gets
  // 0666 less the umask. With `spares`, the temporary file is made only at
  // commit (or when the content outgrows what is held in memory), so that a
  // commit on another thread makes it there; it is then one kept in `spares`
  // when one can serve, and the file this one replaces is kept there in turn
  // instead of being removed. False, with errno set, when no temporary file
  // can be made; the target is untouched either way.
  bool begin(held_folder folder, std::string name, const struct stat* replaced,
             spare_files* spares = nullptr);
  // The stream to write the content to, fully buffered.
  std::FILE* stream() const { return stream_; }
  // Flushes the stream, marks the file as written by Dirscribe (when `mark`)
  // and renames it over the target. False, with errno set and the target as
  // it was, when any byte could not be written or the rename failed.
  bool commit(bool mark);
  // Removes the temporary file; the target stays as it was.
  void abandon();

 private:
  // Makes the temporary file (or takes a kept one) and opens it.
  bool make_temporary();
  // Writes to the temporary file, counting the bytes; false on a failure,
  // whose errno is kept.
  bool write_all(const char* data, size_t size);
  // Writes the content held in memory and lets the memory go.
  bool write_held();
  // The stream's writer: content goes to memory while the file is not made
  // and fits there, else to the file.
  static ssize_t write_out(void* cookie, const char* data, size_t size);
  // Closes the stream, dropping what it still holds.
  void close_stream();
  // Renames the named temporary over the target.
  bool put_in_place();
  // The permissions the new file gets; 0 when they cannot be told.
  mode_t intended_mode() const;

  held_folder folder_;
  std::string name_;
  std::FILE* stream_ = nullptr;
  // stdio's buffer; outlives the stream. Left uninitialised: one page per
  // folder makes thousands of files, and zeroing each buffer showed.
  std::unique_ptr<char[]> buffer_;
  int descriptor_ = -1;  // the temporary file, once made
  std::string held_;     // content waiting for the file to be made
  off_t written_ = 0;    // bytes written to the file
  int write_error_ = 0;  // errno of the write that failed
  bool dropping_ = false;
  std::string temporary_;  // the temporary's name
  std::unique_ptr<interrupt_cleanup_entry> cleanup_;
  std::optional<struct stat> replaced_;
  spare_files* spares_ = nullptr;
  // The temporary is a kept file, written over from its start: what lies
  // past the new content is cut off before it is put in place, and its
  // permissions are set already.
  bool reused_ = false;
};

// Whether `name` could be a temporary file of an output named `output`: the
// listing leaves such files out, also those an earlier, killed run left.
bool is_temporary_of(const std::string& name, const std::string& output);

// Writes `text` as the whole new content of the regular file at `path` (made
// when missing), in place of the old one. Refuses, changing nothing, a path
// that is a symbolic link or anything but a regular file (errno ELOOP, EISDIR
// for a folder, EINVAL). False with errno set on any failure; `path` is then as it was.
bool replace_file(const std::string& path, const std::string& text);

}  // namespace dirscribe
