#include "listing/mirror_folder.h"

#include <cstring>
#include <filesystem>
#include <system_error>

namespace dirscribe {

namespace {

// The system's reason after the path it failed on.
std::string because(int error) {
  return error != 0 ? std::string(": ") + std::strerror(error) : std::string();
}

}  // namespace

std::string mirror_folder(const std::string& listed_root, const std::string& folder,
                          const std::string& mirror_root) {
  const std::filesystem::path below =
      std::filesystem::path(folder).lexically_normal().lexically_relative(
          std::filesystem::path(listed_root).lexically_normal());
  if (below.empty() || below == ".") return mirror_root;
  return (std::filesystem::path(mirror_root) / below).lexically_normal().string();
}

mirror_result make_mirror_child(const held_folder& parent, const std::string& parent_path,
                                const std::string& name) {
  const std::string path = (std::filesystem::path(parent_path) / name).string();
  folder_opening made = parent->make_child(name);
  switch (made.fault) {
    case folder_fault::none:
      return {{}, std::move(made.folder)};
    case folder_fault::symbolic_link:
      return {{result_mirror_link_in_the_way, path}, nullptr};
    case folder_fault::not_a_folder:
      return {{result_mirror_not_a_folder, path}, nullptr};
    case folder_fault::failed:
      break;
  }
  return {{result_mirror_not_made, path + because(made.error)}, nullptr};
}

mirror_result make_mirror_folder(const std::string& mirror_root, const std::string& folder) {
  // The root is the user's: made with its parents and followed as typed.
  std::error_code error;
  std::filesystem::create_directories(mirror_root, error);
  folder_opening root = folder_handle::open_path(mirror_root);
  if (!root.folder) {
    // Why the root could not be made says more than why it cannot be opened.
    const int reason = error ? error.value() : root.error;
    return {{result_mirror_not_made, mirror_root + because(reason)}, nullptr};
  }
  const std::filesystem::path below =
      std::filesystem::path(folder).lexically_relative(std::filesystem::path(mirror_root));
  mirror_result made{{}, std::move(root.folder)};
  std::string path = mirror_root;
  for (const std::filesystem::path& part : below) {
    if (part.empty() || part == ".") continue;
    made = make_mirror_child(made.folder, path, part.string());
    if (!made.result.ok()) return made;
    path = (std::filesystem::path(path) / part).string();
  }
  return made;
}

}  // namespace dirscribe
