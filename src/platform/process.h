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

// Raises the soft limit of open files to the hard limit: a walk holds one
// descriptor per folder of the chain it is in (two with an output_dir
// mirror), so a deep tree needs more than the usual 1,024.
void raise_open_file_limit();

}  // namespace dirscribe
