// The document reader: reads a markup file (or text in memory) into an
// xml_tree with the program's own lexer.
#pragma once

#include <string>
#include <string_view>

#include "core/outcome.h"
#include "markup/xml_node.h"

namespace dirscribe {

// Receives (percent of the file read, context) after each chunk and 100 once
// more after a successful end.
using document_progress = void (*)(int percent, void* context);

struct document_options {
  bool lower_case_names = true;      // element and attribute names lower-cased
  bool normalise_line_ends = false;  // CR LF and lone CR become LF
  bool attributes_as_map = true;     // false also keeps xml_node::attribute_list
  document_progress progress = nullptr;
  void* progress_context = nullptr;
};

// Reads `file_name` into `tree`. Succeeds when the file was read completely;
// fails with result_document_not_opened when it cannot be opened or read
// (message "Can't open source file: " + name), or with
// result_document_malformed on a markup error (message "Line: <l>, column:
// <c>\r\nError: ..."); nodes built before the error stay in the tree and
// belong to the caller.
outcome parse_file(const std::string& file_name, xml_tree& tree, const document_options& options);

// The same for a document held in memory (fed in 16,384-byte chunks).
outcome parse_text(std::string_view text, xml_tree& tree, const document_options& options);

// The error text of a failed parse as one line, to follow the file's name in
// a message: "Line: 3, column: 5 Error: unclosed tag." (line ends become
// blanks, the last one goes).
std::string error_text_line(std::string_view error_text);

}  // namespace dirscribe
