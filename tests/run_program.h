// Runs the assembled dirscribe binary for end-to-end tests and captures what
// it printed and its exit code.
#pragma once

#include <string>
#include <vector>

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

// A fresh temporary folder, removed with its contents when the object goes.
class temp_folder {
 public:
  temp_folder();
  ~temp_folder();
  temp_folder(const temp_folder&) = delete;
  temp_folder& operator=(const temp_folder&) = delete;
  const std::string& path() const { return path_; }
  // Writes `content` to path()/relative, creating parent folders.
  void write(const std::string& relative, const std::string& content) const;

 private:
  std::string path_;
};

// The whole content of a file, or empty when it cannot be read.
std::string read_file(const std::string& path);

}  // namespace dirscribe::testing
