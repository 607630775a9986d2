#include <string>
#include <vector>

#include "app/entry.h"
#include "platform/process.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string executable = dirscribe::executable_path();
  if (executable.empty() && argc > 0) executable = argv[0];
  return dirscribe::run_entry(executable, args);
}
