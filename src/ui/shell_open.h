// A local file as the desktop opens it: a file URL, which the window hands to
// its dialog_host to open.
#pragma once

#include <QUrl>
#include <string>

namespace dirscribe {

// A local file as a URL ("/a b/c.html" -> file:///a%20b/c.html).
QUrl local_file_url(const std::string& path);

}  // namespace dirscribe
