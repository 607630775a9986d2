// Facts about the running process that the platform supplies.
#pragma once

#include <string>

namespace dirscribe {

// Full path of the running executable, read from /proc/self/exe, with its case
// kept; empty when it cannot be read.
std::string executable_path();

// The process's current directory, or empty when it cannot be read.
std::string current_directory();

// Makes `path` the current directory; false when that fails.
bool change_directory(const std::string& path);

}  // namespace dirscribe
