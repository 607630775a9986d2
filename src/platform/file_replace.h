// Writing a whole file so that a failure never leaves it half written.
#pragma once

#include <string>
#include <string_view>

namespace dirscribe {

// Writes `text` to a new temporary file beside `path` and renames it over
// `path` once everything is written, keeping an existing file's permissions
// (a new file gets 0644). On any failure `path` is as it was and the temporary
// file is gone. True when `path` holds `text`.
bool replace_file(const std::string& path, std::string_view text);

}  // namespace dirscribe
