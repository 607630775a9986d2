// Where the files a user changes live: the settings (settings.txt), the style
// catalog (templates.txt), and the templates and preview images it lists
// (under templates/). A copy the user unpacked or built keeps them in its
// program folder; an installed copy, whose folder the user cannot write,
// keeps them in the user's configuration folder and reads them there first.
#pragma once

#include <string>
#include <string_view>

namespace dirscribe {

class user_data_folders {
 public:
  // The folders of the program in `program_folder` (ending in "/"): the user
  // folder from the environment (user_config_folder), and whether the program
  // folder may be written.
  static user_data_folders for_program(const std::string& program_folder);

  // Explicit folders, both ending in "/" (an empty user folder: none).
  user_data_folders(std::string program_folder, std::string user_folder, bool program_writable);

  const std::string& program_folder() const { return program_folder_; }
  const std::string& user_folder() const { return user_folder_; }
  bool program_writable() const { return program_writable_; }

  // Where new and changed files go: the program folder when it may be
  // written, else the user folder.
  const std::string& write_folder() const;

  // The file `name` (relative, e.g. "settings.txt" or "templates/list.html")
  // to read: the user folder's copy when the program folder is not writable
  // and that copy exists, else the program folder's.
  std::string read_path(std::string_view name) const;

  // write_folder() + name.
  std::string write_path(std::string_view name) const;

  // Makes write_folder() + `subfolder` and the folders above it (new ones
  // private to the user, 0700). True when the folder is there afterwards.
  bool make_write_folder(std::string_view subfolder = {}) const;

 private:
  std::string program_folder_;
  std::string user_folder_;
  bool program_writable_;
};

// The user's configuration folder for this program, ending in "/":
// `xdg_config_home` + "/dirscribe/" when it is an absolute path, else
// `home` + "/.config/dirscribe/" (an unset, empty or relative
// XDG_CONFIG_HOME is ignored). Empty when neither gives an absolute path.
std::string user_config_folder(const char* xdg_config_home, const char* home);

}  // namespace dirscribe
