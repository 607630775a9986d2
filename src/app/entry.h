// The program's entry: run-mode decision and hand-over.
#pragma once

#include <string>
#include <vector>

namespace dirscribe {

// Runs the program for the arguments `args` (program name excluded) with the
// executable at `executable`. Returns the process exit code: 0 on success,
// 1 on any failure, 2 on a usage error of the command line.
int run_entry(const std::string& executable, const std::vector<std::string>& args);

}  // namespace dirscribe
