// Paths of the listed tree put together by name: how a folder's path and the
// name of an entry inside it make the entry's path.
#pragma once

#include <string>
#include <string_view>

namespace dirscribe {

// `base` + "/" + `name`, the separator added only when `base` does not
// already end in one. An empty base is no folder at all, not the root:
// `name` comes back alone, so a path relative to where a listing began
// starts with the first name and never with "/".
std::string join_path(std::string_view base, std::string_view name);

}  // namespace dirscribe
