#include "app/program_setup.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <ctime>

#include "markup/resource_document.h"
#include "platform/regex_service.h"

namespace dirscribe {

void split_program_path(const std::string& path, std::string& program_dir, std::string& exe_name) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) {
    program_dir.clear();
    exe_name.clear();
    return;
  }
  program_dir = path.substr(0, slash + 1);
  exe_name = path.substr(slash + 1);
}

bool compression_library_ok() {
  // The first digit of the version decides binary compatibility.
  const char* linked = zlibVersion();
  if (linked == nullptr || linked[0] != ZLIB_VERSION[0]) return false;
  // A known checksum proves the library answers.
  const char probe[] = "123456789";
  return crc32(0L, reinterpret_cast<const Bytef*>(probe), 9) == 0xCBF43926UL;
}

outcome program_setup::load_resources() {
  if (outcome read = load_resource_document(program_dir + "vostra.bin", resources); !read.ok()) {
    // Whatever a failed read left behind is no usable document.
    resources.clear();
    return read;
  }
  return lang->load(resources);
}

outcome program_setup::start_up() {
  // No result code is described for these; 1 marks a start that cannot go on.
  constexpr int kCannotStart = 1;
  if (!regex_load()) return {kCannotStart, "Can't load qx_hs_regex.dll"};
  if (!compression_library_ok()) return {kCannotStart, "Can't load zlib1.dll"};
  lang = std::make_unique<phrase_table>();
  resources.clear();
  // The outcome is not checked here: a missing or damaged resource document
  // shows up as empty phrases, and in the wizard as a missing interface.
  static_cast<void>(load_resources());
  if (interactive) {
    // The window is built from the interface description alone; the forms
    // themselves are made once the toolkit runs (app/wizard_start).
    xml_node* description = xml_find(resources, "/TvostraDSC");
    if (description == nullptr) {
      return {kCannotStart,
              "The interface description is missing from " + program_dir + "vostra.bin"};
    }
    ui_tree.clear();
    ui_tree.append_top(resources.detach(description));
  }
  initialised = true;
  return {};
}

}  // namespace dirscribe
