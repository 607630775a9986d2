#include "app/version_text.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "app/release.h"

namespace dirscribe {
namespace {

// The lines of `text`, which must end in "\n".
std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(start, text.size()) << "no newline after the last line: " << text;
  return lines;
}

// A bare release number such as "1.2.13" or "3.0.19", without a date or a
// library name around it.
bool is_release_number(const std::string& text) {
  static const std::regex number("[0-9]+(\\.[0-9]+)+");
  return std::regex_match(text, number);
}

TEST(VersionText, NamesTheProgramThenEachLibraryOnItsOwnLine) {
  for (const std::string toolkit : {"6.4.2", "6.10.1"}) {
    const std::vector<std::string> lines = lines_of(version_text(toolkit));
    ASSERT_EQ(lines.size(), 4u) << toolkit;
    EXPECT_EQ(lines[0], std::string(kProgramName) + " " + std::string(kVersion));
    EXPECT_EQ(lines[1], "Qt " + toolkit);
    const struct {
      const std::string& line;
      std::string name;
    } libraries[] = {{lines[2], "zlib "}, {lines[3], "OpenSSL "}};
    for (const auto& library : libraries) {
      ASSERT_EQ(library.line.rfind(library.name, 0), 0u) << library.line;
      EXPECT_TRUE(is_release_number(library.line.substr(library.name.size()))) << library.line;
    }
  }
}

TEST(VersionText, TheTitleIsTheNameAndTheReleaseWithoutItsPatchNumber) {
  const std::string version(kVersion);
  ASSERT_TRUE(std::regex_match(version, std::regex("[0-9]+\\.[0-9]+\\.[0-9]+"))) << version;
  const std::string major_minor = version.substr(0, version.rfind('.'));
  EXPECT_EQ(kProgramTitle, std::string(kProgramName) + " " + major_minor);
}

}  // namespace
}  // namespace dirscribe
