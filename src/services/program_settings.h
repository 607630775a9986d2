// What an interactive run remembers for the next one: the window's place,
// the five projects used last and the last folder, in "settings.txt".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/outcome.h"

namespace dirscribe {

class phrase_table;

struct program_settings {
  // At most this many recent projects are kept.
  static constexpr size_t kRecentLimit = 5;

  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
  std::vector<std::string> recent_projects;  // full paths, most recent first
  std::string last_folder;

  // Reads the settings file at `path`: the four numbers where their elements
  // are, up to kRecentLimit recent projects (in file order, as written, so a
  // duplicate stays until the next remember), and the last folder (empty
  // when its element is missing). False, with every field as it was, when
  // the file cannot be read or parsed, or nests elements (a settings file is
  // one level of elements).
  bool read(const std::string& path);

  // Writes the settings file at `path`, replacing it only once it is whole.
  // Fails with 20004 and phrase 232 (from `language`, when given) + the path.
  outcome write(const std::string& path, const phrase_table* language = nullptr) const;

  // Puts `path` at the front of the recent projects, drops later copies of
  // it and keeps the first kRecentLimit; an empty path changes nothing.
  void remember_project(const std::string& path);
};

// The lines of the settings file, each ending in CR LF: left, top, width,
// height, one lastProjects per recent project, lastDir. Paths are
// markup-escaped byte for byte, so any path reads back unchanged.
std::string settings_file_text(const program_settings& settings);

}  // namespace dirscribe
