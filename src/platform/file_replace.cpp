#include "platform/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

namespace dirscribe {

bool replace_file(const std::string& path, std::string_view text) {
  std::vector<char> temporary(path.begin(), path.end());
  for (const char c : std::string_view(".XXXXXX")) temporary.push_back(c);
  temporary.push_back('\0');
  const int descriptor = ::mkstemp(temporary.data());
  if (descriptor < 0) return false;

  struct stat existing {};
  const mode_t mode = ::stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644;
  bool ok = ::fchmod(descriptor, mode) == 0;
  size_t written = 0;
  while (ok && written < text.size()) {
    const ssize_t step = ::write(descriptor, text.data() + written, text.size() - written);
    if (step < 0) {
      ok = false;
    } else {
      written += static_cast<size_t>(step);
    }
  }
  if (::close(descriptor) != 0) ok = false;
  if (ok && std::rename(temporary.data(), path.c_str()) != 0) ok = false;
  if (!ok) ::unlink(temporary.data());
  return ok;
}

}  // namespace dirscribe
