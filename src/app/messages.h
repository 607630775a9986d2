// Messages to the user. Without a window every message goes to standard error
// as one line, prefixed with the program's title.
#pragma once

#include <string>
#include <string_view>

#include "app/release.h"

namespace dirscribe {

// Writes message_line(text) to standard error.
void show_message(std::string_view text);

// "Vostra Dirscribe 3.0: " + plain_text(terminal_safe(text)) + "\n": a
// message as one line of plain text that no name or value quoted in it can
// break or turn into commands to the terminal.
std::string message_line(std::string_view text);

// A message meant for a message box as one line of plain text: the phrases'
// emphasis (<b>, </b>, <i>, </i>) goes, a line break (<br>, <br/>, <br />,
// CR, LF) becomes one blank (none at the end), and blanks do not pile up
// where they meet. Any other "<", such as a directive quoted from a template,
// stays as it is.
std::string plain_text(std::string_view text);

// `text` with every control character shown as an escape, so that no name or
// value can move the cursor, retitle the window or change the terminal's
// state: every text the program prints on standard error (messages, the
// progress line) goes through it. The escapes are those of bash's $'...'
// quoting, so a name can be typed back as shown: ESC as "\e", LF as
// "\n", CR as "\r", every other C0 byte but tab, and DEL, as "\x07"; a C1
// control (U+0080 to U+009F, two bytes in UTF-8) as its bytes, "\xc2\x9b".
// Tab, printable text, other UTF-8 and bytes that are not UTF-8 stay as they
// are. A backslash stays single: messages quote template expressions
// ("re=\"\.txt$\"") that must read as written, and a name that holds a
// backslash followed by "n" is rare enough not to make them all harder to
// read.
std::string terminal_safe(std::string_view text);

}  // namespace dirscribe
