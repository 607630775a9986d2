#include "support/temp_folder.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace dirscribe {

namespace fs = std::filesystem;

std::set<std::string> names_in(const std::string& path) {
  std::set<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(path, error)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

temp_folder::temp_folder() {
  std::error_code error;
  const fs::path base = fs::temp_directory_path(error);
  std::string pattern = ((error ? fs::path("/tmp") : base) / "dirscribe-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

temp_folder::~temp_folder() {
  if (path_.empty()) return;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(
           path_, fs::directory_options::skip_permission_denied, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    // Before the iterator descends: a folder a test made unreadable opens again.
    std::error_code ignored;
    if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
  }
  fs::remove_all(path_, error);
}

std::string temp_folder::at(const std::string& relative) const { return path_ + "/" + relative; }

void temp_folder::write(const std::string& relative, const std::string& content) const {
  const fs::path file = at(relative);
  std::error_code ignored;
  fs::create_directories(file.parent_path(), ignored);
  std::ofstream out(file, std::ios::binary);
  out << content;
}

void temp_folder::make_file(const std::string& relative, size_t size) const {
  write(relative, std::string(size, 'x'));
}

void temp_folder::make_folder(const std::string& relative) const {
  fs::create_directories(at(relative));
}

void temp_folder::make_link(const std::string& target, const std::string& relative) const {
  fs::create_symlink(target, at(relative));
}

}  // namespace dirscribe
