// The result of an operation that can fail: the described result code and the
// message to show the user, travelling together, so that no caller has to
// look for the text in some other place.
#pragma once

#include <string>
#include <utility>

namespace dirscribe {

// Result codes of a build, of the files it reads and writes, and of building
// the windows, shared by every layer that reports them. The numbers are fixed: the window and the
// tests know them.
enum result_code : int {
  result_ok = 0,
  // Reading a listing template; the numbers are those of the lexer's and
  // the directive checks' results.
  result_template_too_long = 1,            // the template exceeds the parser's size limit
  result_directive_without_block = 10000,  // a closing or middle directive with no open block
  result_tag_not_closed = 10001,           // never reported by the parser; has a detail phrase
  result_block_not_closed = 10002,         // a block still open at the end of the template
  result_unknown_variable = 10022,         // a var no template variable is named
  result_variable_not_permitted = 10023,   // a loop variable outside for, a value one in it
  result_for_inside_for = 10024,
  result_repeat_outside_for = 10025,
  result_repeat_in_tree_loop = 10026,  // repeat needs the files or folders loop
  // Reading a markup document (document_reader.h); the numbers overlap the
  // template's above, the message says which.
  result_document_not_opened = 1,
  result_document_malformed = 2,
  // Loading the phrase table from its `langs` element.
  result_language_without_short = 101,  // a lang element without its short name
  result_language_without_full = 102,   // a lang element without its full name
  result_phrase_id_out_of_order = 103,  // phrase ids of a language do not grow
  result_no_languages = 104,            // no lang element
  result_languages_without_phrases = 105,
  // Builds and the files they read and write.
  result_template_not_opened = 20000,
  result_stopped = 20001,
  result_folder_not_current = 20002,
  result_output_not_created = 20003,
  result_write_failed = 20004,
  result_folder_not_entered = 20005,
  result_project_not_opened = 20007,
  result_project_not_readable = 20008,
  result_out_of_memory = 20009,
  result_shell_open_failed = 20010,
  result_no_style = 20011,
  result_no_phrases = 20012,  // a build was started without a phrase table
  // The style catalog (template_catalog.h). A missing program or templates
  // folder shares its number with result_template_not_opened; the message
  // says which was meant.
  result_templates_folder_missing = 20000,
  result_catalog_without_template = 40000,  // the catalog file holds no template element
  // Making a mirror folder of output_dir (mirror_folder.h); the driver
  // reports each as result_output_not_created with a phrase of its own.
  result_mirror_link_in_the_way = 20100,  // a symbolic link where a mirror folder goes
  result_mirror_not_a_folder = 20101,     // a file, FIFO, socket or device there
  result_mirror_not_made = 20102,         // the system refused to make the folder
  // A picture that gets no thumbnail (picture_scaler.h); a warning, never the
  // end of a build.
  result_picture_unreadable = 20200,
  // Building the windows from the interface description.
  result_element_without_class = 50000,
  result_unknown_class = 50001,
  result_component_not_created = 50002,
  result_property_not_set = 50003,
};

// Success, or a failure code with its message. A stopped build (20001) is a
// failure code like any other; callers that treat it as a normal end say so.
class [[nodiscard]] outcome {
 public:
  // Success.
  outcome() = default;
  // `code` 0 is success whatever the message; any other code is a failure.
  outcome(int code, std::string message) : code_(code), message_(std::move(message)) {}

  bool ok() const { return code_ == 0; }
  int code() const { return code_; }
  // The text naming what failed; may be empty where the code says it all
  // (a stopped build).
  const std::string& message() const { return message_; }

  bool is(int code) const { return code_ == code; }

 private:
  int code_ = 0;
  std::string message_;
};

}  // namespace dirscribe
