#include "platform/process.h"

#include <sys/resource.h>

#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace dirscribe {

std::string executable_path() {
  std::vector<char> buffer(PATH_MAX);
  for (;;) {
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return {};
    if (static_cast<size_t>(n) < buffer.size())
      return std::string(buffer.data(), static_cast<size_t>(n));
    buffer.resize(buffer.size() * 2);
  }
}

std::string current_directory() {
  std::vector<char> buffer(PATH_MAX);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return {};
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

bool change_directory(const std::string& path) { return chdir(path.c_str()) == 0; }

void raise_open_file_limit() {
  struct rlimit limit {};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= limit.rlim_max) return;
  limit.rlim_cur = limit.rlim_max;
  (void)::setrlimit(RLIMIT_NOFILE, &limit);
}

}  // namespace dirscribe
