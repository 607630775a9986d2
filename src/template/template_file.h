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
// Fails with result_template_not_opened and kPhraseCantOpenFile +
// `shown_name` when the file cannot be opened or read to its end; otherwise
// with the parser's failure (template_parser::feed and finish, among them
// result_block_not_closed naming the first block left open), its message
// preceded by `path` + ": " + kPhraseTemplateError.
outcome read_template_file(const std::string& path, const std::string& shown_name,
                           const phrase_table& phrases, template_tree& tree);

}  // namespace dirscribe
