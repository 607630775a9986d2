#include "files/file_path.h"

namespace dirscribe {

std::string join_path(std::string_view base, std::string_view name) {
  std::string out;
  out.reserve(base.size() + 1 + name.size());
  out.append(base);
  if (!out.empty() && out.back() != '/') out += '/';
  out.append(name);
  return out;
}

}  // namespace dirscribe
