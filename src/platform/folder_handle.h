// A folder held open by descriptor. Its entries are read and its subfolders
// opened through the descriptor, so a path is resolved once, when the walk
// starts: a folder renamed, or swapped for a symbolic link, while a listing
// runs can never lead the walk (or the pages it writes) anywhere else.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <string_view>

namespace dirscribe {

class folder_handle;
// Shared by the records of a walk that list or write into the same folder.
using held_folder = std::shared_ptr<const folder_handle>;

// Why a folder could not be opened.
enum class folder_fault {
  none,
  symbolic_link,  // the entry is (now) a symbolic link: never followed below the top
  not_a_folder,   // the entry is (now) something else
  failed,         // gone, or the system refused (the error number says why)
};

struct folder_opening {
  held_folder folder;  // set exactly when `fault` is none
  folder_fault fault = folder_fault::none;
  int error = 0;  // errno of the failed call
};

// The kernel's name of the entry `name` of the folder held open by
// `folder_descriptor` ("/proc/self/fd/N/NAME"): opening or reading it reaches
// that folder's entry without resolving the folder's path again. Empty when
// /proc is not mounted.
std::string held_entry_path(int folder_descriptor, std::string_view name);

class folder_handle {
 public:
  folder_handle(const folder_handle&) = delete;
  folder_handle& operator=(const folder_handle&) = delete;
  ~folder_handle();

  // Opens the folder the user named at `path`, following symbolic links on
  // the way as any path the user typed is followed.
  static folder_opening open_path(const std::string& path);
  // Opens the subfolder `name` of this folder, never following a symbolic
  // link: a link, or anything that is not a folder, is reported as such.
  folder_opening open_child(std::string_view name) const;
  // The subfolder `name`, made first when it does not exist (mode 0777 less
  // the umask), opened as open_child opens it.
  folder_opening make_child(std::string_view name) const;

  // The open descriptor (O_RDONLY | O_DIRECTORY), owned by this handle.
  int descriptor() const { return descriptor_; }
  // Whether the folder's entries were read through this handle before,
  // which leaves its position past the start; from now on they were.
  bool read_before() const { return read_.exchange(true, std::memory_order_relaxed); }

 private:
  explicit folder_handle(int descriptor) : descriptor_(descriptor) {}
  static folder_opening opened_or_fault(int descriptor, int parent, std::string_view name);
  int descriptor_;
  mutable std::atomic<bool> read_{false};
};

}  // namespace dirscribe
