// What `dirscribe --version` prints.
#pragma once

#include <string>
#include <string_view>

namespace dirscribe {

// The whole version text: the program's name and release on the first line,
// then one line each for the Qt, zlib and OpenSSL versions this build was
// compiled against ("Qt 6.4.2"), every line ending in "\n". Only the wizard's
// start sees Qt's headers, so it hands in `toolkit_version`
// (toolkit_version() in app/wizard_start.h).
std::string version_text(std::string_view toolkit_version);

}  // namespace dirscribe
