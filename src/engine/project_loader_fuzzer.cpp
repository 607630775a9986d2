// libFuzzer target for the project loader. Any input must load without a
// crash; whatever loads must survive a save: the written project file reads
// back into projects that write exactly the same lines again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "engine/project_context.h"

namespace {

using namespace dirscribe;

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line;
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  project_context first;
  // A file whose project elements are all empty loads no project; written
  // back it holds none, which the loader rightly refuses.
  if (!first.load_text(input).ok() || first.projects.empty()) return 0;
  const std::string written = joined(project_file_lines(first.projects));

  project_context second;
  if (!second.load_text(written).ok()) std::abort();
  if (second.projects.size() != first.projects.size()) std::abort();
  if (joined(project_file_lines(second.projects)) != written) std::abort();
  return 0;
}
