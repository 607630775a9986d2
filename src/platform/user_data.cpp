#include "platform/user_data.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace dirscribe {

namespace {

bool is_absolute(const char* path) { return path != nullptr && path[0] == '/'; }

std::string with_slash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

bool exists(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0;
}

// HOME, or the password database's home folder when HOME is not usable.
const char* home_folder() {
  const char* home = std::getenv("HOME");
  if (is_absolute(home)) return home;
  const passwd* entry = getpwuid(getuid());
  return entry != nullptr ? entry->pw_dir : nullptr;
}

}  // namespace

std::string user_config_folder(const char* xdg_config_home, const char* home) {
  if (is_absolute(xdg_config_home)) return with_slash(xdg_config_home) + "dirscribe/";
  if (is_absolute(home)) return with_slash(home) + ".config/dirscribe/";
  return {};
}

user_data_folders user_data_folders::for_program(const std::string& program_folder) {
  const std::string folder = program_folder.empty() ? "./" : with_slash(program_folder);
  const bool writable = ::access(folder.c_str(), W_OK) == 0;
  return {folder, user_config_folder(std::getenv("XDG_CONFIG_HOME"), home_folder()), writable};
}

user_data_folders::user_data_folders(std::string program_folder, std::string user_folder,
                                     bool program_writable)
    : program_folder_(with_slash(std::move(program_folder))),
      user_folder_(with_slash(std::move(user_folder))),
      program_writable_(program_writable) {}

const std::string& user_data_folders::write_folder() const {
  // With no user folder to go to, the program folder is tried all the same;
  // the write then fails with its path in the message.
  return program_writable_ || user_folder_.empty() ? program_folder_ : user_folder_;
}

std::string user_data_folders::read_path(std::string_view name) const {
  if (!program_writable_ && !user_folder_.empty()) {
    std::string own = user_folder_ + std::string(name);
    if (exists(own)) return own;
  }
  return program_folder_ + std::string(name);
}

std::string user_data_folders::write_path(std::string_view name) const {
  return write_folder() + std::string(name);
}

bool user_data_folders::make_write_folder(std::string_view subfolder) const {
  const std::string target = write_folder() + std::string(subfolder);
  // Each folder on the way, from the root down; existing ones are kept.
  for (size_t slash = target.find('/', 1);; slash = target.find('/', slash + 1)) {
    const std::string part = target.substr(0, slash);
    if (!part.empty() && ::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos || slash + 1 >= target.size()) break;
  }
  struct stat status {};
  return ::stat(target.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace dirscribe
