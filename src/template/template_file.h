// Reading a template file into a template tree, as a build does once per
// project.
#pragma once

#include <string>

#include "core/outcome.h"
#include "template/template_node.h"

namespace dirscribe {

class phrase_table;

// Reads the file at `path` in pieces of 16,384 bytes into `tree` (which should
// be empty), parsing as it goes, and checks that every block is closed.
// Fails with 20000 and phrase 15 + `shown_name` when the file cannot be
// opened or read to its end; with the parser's code and `path` + ": " +
// phrase 149 + the parser's description (with its line and column) when the
// text cannot be parsed; with 10002 and the description naming the first
// block left open.
outcome read_template_file(const std::string& path, const std::string& shown_name,
                           const phrase_table& phrases, template_tree& tree);

}  // namespace dirscribe
