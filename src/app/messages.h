// Messages to the user. Without a window every message goes to standard error
// as one line, prefixed with the program's title.
#pragma once

#include <string_view>

#include "app/release.h"

namespace dirscribe {

// Writes "Vostra Dirscribe 3.0: " + text as one line to standard error.
void show_message(std::string_view text);

}  // namespace dirscribe
