// The application object: the services shared by the whole run, and the
// start-up sequence that prepares them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/outcome.h"
#include "markup/xml_node.h"
#include "services/phrase_table.h"

namespace dirscribe {

class program_setup {
 public:
  program_setup() = default;
  program_setup(const program_setup&) = delete;
  program_setup& operator=(const program_setup&) = delete;

  // Runs the start-up sequence in its fixed order (seed, regular-expression
  // service, compression library, phrases, resource document; in wizard mode
  // the interface description "/TvostraDSC" moved into `ui_tree`). Succeeds
  // when the program may go on; a failure carries the text to show.
  outcome start_up();

  // Reads program_dir + "vostra.bin" into `resources` and the phrase table from
  // it. Fails with the reader's result_document_not_opened or
  // result_document_malformed and its text, or as phrase_table::load; the
  // tree is empty after a failed read.
  outcome load_resources();

  std::unique_ptr<phrase_table> lang;  // the phrase table of the whole run
  xml_tree resources;       // the resource document: interface description (phrases moved out)
  xml_tree ui_tree;         // wizard mode: the interface description alone, moved out of resources
  std::string program_dir;  // folder of the executable, case kept, ends in "/"
  std::string exe_name;     // file name of the executable
  std::string start_dir;    // the folder the command was started from
  std::vector<std::string> args;  // the command-line arguments, program name excluded
  bool initialised = false;
  bool interactive = false;  // true in wizard mode (no argument)
};

// Splits the executable path at its last "/" into the program folder (ending
// in "/") and the executable name; both empty when there is no "/".
void split_program_path(const std::string& path, std::string& program_dir, std::string& exe_name);

// True when the linked compression library matches the headers it was built
// against and works.
bool compression_library_ok();

}  // namespace dirscribe
