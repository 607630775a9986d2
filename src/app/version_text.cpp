#include "app/version_text.h"

#include <openssl/opensslv.h>
#include <zlib.h>

#include "app/release.h"

namespace dirscribe {

std::string version_text(std::string_view toolkit_version) {
  std::string text;
  const auto line = [&text](std::string_view name, std::string_view version) {
    text.append(name).append(" ").append(version).append("\n");
  };
  line(kProgramName, kVersion);
  line("Qt", toolkit_version);
  line("zlib", ZLIB_VERSION);
  // The bare number: OPENSSL_VERSION_TEXT would add the release date.
  line("OpenSSL", OPENSSL_VERSION_STR);
  return text;
}

}  // namespace dirscribe
