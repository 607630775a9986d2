// The batch run: builds listings without a window, from project files or
// from the options of the command line, and reports every failure as one
// line on standard error.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dirscribe {

class program_setup;
struct command_line;

// Runs what `line` asks for (run_mode projects, folder or list_styles) with
// the services of `app`. Project files are built in order, each after its
// warnings are shown (under `strict` they fail it); the first failure ends
// the run. A folder is listed, or its project file written. Returns the
// process exit code: 0 on success (also when a build was stopped), 1 on any
// failure after showing its message.
int run_batch(program_setup& app, const command_line& line);

// The places a project file named on the command line is looked for, in
// order: an absolute name as it stands; a relative one in `start_dir` (the
// folder the command was started from), then in `program_dir`.
std::vector<std::string> project_path_candidates(const std::string& name,
                                                 const std::string& start_dir,
                                                 const std::string& program_dir);

// The moment a SOURCE_DATE_EPOCH of `text` fixes: decimal seconds since 1970
// as `date +%s` prints them (digits, a "-" in front at most), within the
// moments a listing prints (file_format.h). None for anything else: empty,
// blanks, a sign "+", other characters, or a moment outside.
std::optional<int64_t> source_date_epoch(std::string_view text);

// The first of project_path_candidates that is a file, else the last of them.
std::string resolve_project_path(const std::string& name, const std::string& start_dir,
                                 const std::string& program_dir);

}  // namespace dirscribe
