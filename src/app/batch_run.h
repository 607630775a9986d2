// The batch run: builds the listings of the project file named on the command
// line without a window and reports every failure as one line on standard
// error.
#pragma once

#include <string>
#include <vector>

namespace dirscribe {

class appApp;

// Builds the projects of the file named by the first argument (the others are
// ignored), in this order: size unit names, the extension table, the project
// file, the build. Returns the process exit code: 0 on success (also when the
// build was stopped), 1 on any failure after showing its message.
int run_batch(appApp& app);

// The places a project file named on the command line is looked for, in
// order: an absolute name as it stands; a relative one in `start_dir` (the
// folder the command was started from), then in `program_dir`.
std::vector<std::string> project_path_candidates(const std::string& name,
                                                 const std::string& start_dir,
                                                 const std::string& program_dir);

// The first of project_path_candidates that is a file, else the last of them.
std::string resolve_project_path(const std::string& name, const std::string& start_dir,
                                 const std::string& program_dir);

}  // namespace dirscribe
