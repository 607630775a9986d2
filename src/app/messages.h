// Messages to the user. Without a window every message goes to standard error
// as one line, prefixed with the program's title.
#pragma once

#include <string>
#include <string_view>

#include "app/release.h"

namespace dirscribe {

// Writes "Vostra Dirscribe 3.0: " + plain_text(text) as one line to standard
// error.
void show_message(std::string_view text);

// A message meant for a message box as one line of plain text: the phrases'
// emphasis (<b>, </b>, <i>, </i>) goes, a line break (<br>, <br/>, <br />,
// CR, LF) becomes one blank (none at the end), and blanks do not pile up
// where they meet. Any other "<", such as a directive quoted from a template,
// stays as it is.
std::string plain_text(std::string_view text);

}  // namespace dirscribe
