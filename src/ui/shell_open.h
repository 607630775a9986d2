// Opening a file or a web address with the desktop's own program for it.
// Every open goes through one function, so that tests see what would open
// instead of starting a browser.
#pragma once

#include <QUrl>
#include <functional>
#include <string>

namespace dirscribe {

// Opens `url` with the desktop's handler; true when the desktop took it. With
// an answer installed, returns the answer's result and opens nothing.
bool open_with_desktop(const QUrl& url);

// A local file as a URL ("/a b/c.html" -> file:///a%20b/c.html).
QUrl local_file_url(const std::string& path);

using shell_open_answer = std::function<bool(const QUrl& url)>;
// Installs `answer` for every following open (an empty function removes it).
void set_shell_open_answer(shell_open_answer answer);

}  // namespace dirscribe
