#include "listing/mirror_folder.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace dirscribe {

std::string mirror_folder(const std::string& listed_root, const std::string& folder,
                          const std::string& mirror_root) {
  const std::filesystem::path below =
      std::filesystem::path(folder).lexically_normal().lexically_relative(
          std::filesystem::path(listed_root).lexically_normal());
  if (below.empty() || below == ".") return mirror_root;
  return (std::filesystem::path(mirror_root) / below).lexically_normal().string();
}

mirror_result make_mirror_folder(const std::string& mirror_root, const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(mirror_root, error);
  if (error && !std::filesystem::is_directory(mirror_root)) {
    return {mirror_fault::failed, mirror_root};
  }
  const std::filesystem::path below =
      std::filesystem::path(folder).lexically_relative(std::filesystem::path(mirror_root));
  std::filesystem::path path(mirror_root);
  for (const std::filesystem::path& part : below) {
    if (part.empty() || part == ".") continue;
    path /= part;
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
      if (errno != ENOENT) return {mirror_fault::failed, path.string()};
      if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST) {
        return {mirror_fault::failed, path.string()};
      }
      if (::lstat(path.c_str(), &status) != 0) return {mirror_fault::failed, path.string()};
    }
    if (S_ISLNK(status.st_mode)) return {mirror_fault::symbolic_link, path.string()};
    if (!S_ISDIR(status.st_mode)) return {mirror_fault::not_a_folder, path.string()};
  }
  return {};
}

}  // namespace dirscribe
