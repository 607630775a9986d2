// Runs the assembled dirscribe binary for end-to-end tests and captures what
// it printed and its exit code.
#pragma once

#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace dirscribe::testing {

struct run_result {
  int exit_code = -1;  // -1 when the program did not exit normally
  std::string out;     // standard output
  std::string err;     // standard error
};

// Path of the dirscribe executable in the assembled program folder.
std::string program_path();

// Runs the executable at `program` with `args` in the folder `cwd` (the
// current folder when empty), with standard input closed.
run_result run_program(const std::string& program, const std::vector<std::string>& args,
                       const std::string& cwd = "");

// As run_program, but the program runs with user and group id `id` (a
// privileged caller only, to test permissions that root would ignore). The
// exit code is 126 when the switch is refused.
run_result run_program_as(unsigned id, const std::string& program,
                          const std::vector<std::string>& args, const std::string& cwd = "");

// Runs dirscribe itself.
inline run_result run_dirscribe(const std::vector<std::string>& args, const std::string& cwd = "") {
  return run_program(program_path(), args, cwd);
}

}  // namespace dirscribe::testing
