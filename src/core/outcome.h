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
