// A temporary folder for tests: made under TMPDIR (or /tmp) on construction,
// removed with everything in it on destruction.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace dirscribe {

class temp_folder {
 public:
  temp_folder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/dirscribe_files_XXXXXX";
    if (mkdtemp(pattern.data())) path_ = pattern;
  }
  temp_folder(const temp_folder&) = delete;
  temp_folder& operator=(const temp_folder&) = delete;
  ~temp_folder() {
    if (path_.empty()) return;
    // Restore permissions a test took away, so everything can be removed.
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(
             path_, std::filesystem::directory_options::skip_permission_denied, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
      if (it->is_directory(error) && !it->is_symlink(error)) chmod(it->path().c_str(), 0700);
    }
    std::filesystem::remove_all(path_, error);
  }

  const std::string& path() const { return path_; }
  std::string at(const std::string& relative) const { return path_ + "/" + relative; }

  void make_folder(const std::string& relative) const {
    std::filesystem::create_directories(at(relative));
  }
  void make_file(const std::string& relative, size_t size) const {
    std::ofstream out(at(relative), std::ios::binary);
    out << std::string(size, 'x');
  }
  void make_link(const std::string& target, const std::string& relative) const {
    std::filesystem::create_symlink(target, at(relative));
  }

 private:
  std::string path_;
};

}  // namespace dirscribe
