#include "app/messages.h"

#include <cstdio>
#include <string>

namespace dirscribe {

void show_message(std::string_view text) {
  std::string line(kProgramTitle);
  line += ": ";
  line += text;
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

}  // namespace dirscribe
