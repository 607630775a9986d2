// The batch run: builds the listings of the project file named on the command
// line without a window and reports every failure as one line on standard
// error.
#pragma once

#include <string>

namespace dirscribe {

class appApp;

// Builds the projects of the file named by the first argument (the others are
// ignored), in this order: size unit names, the extension table, the project
// file, the build. Returns the process exit code: 0 on success (also when the
// build was stopped), 1 on any failure after showing its message.
int run_batch(appApp& app);

// Where a project file named on the command line is read from: an absolute
// name as it stands; a relative one in `start_dir` (the folder the command was
// started from) when a file of that name exists there, otherwise in
// `program_dir`.
std::string resolve_project_path(const std::string& name, const std::string& start_dir,
                                 const std::string& program_dir);

}  // namespace dirscribe
