// How folder paths and entry names become links in a listing. The evaluation,
// the template variables and the driver all go through these rules so that the
// links of one listing agree.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dirscribe {

// Values of a project's `source`: any value but source_ftp lists a local
// folder.
enum project_source : int32_t {
  source_local = 0,
  source_ftp = 2,  // entries link as "ftp://" + ftp_host + path
};

// Values of a project's `url_escape`.
enum url_escape_mode : int {
  url_escape_none = 0,     // names go into links unchanged
  url_escape_markup = 1,   // markup escape for HTML output (code-point references)
  url_escape_percent = 2,  // percent-encoding
};

// Every byte except A-Z a-z 0-9 "-" "." "_" becomes "%" and two upper-case
// hexadecimal digits.
std::string percent_encode(std::string_view text);

// A folder or file name put into a link, by `url_escape` (unknown values
// leave the name unchanged).
std::string escaped_name(std::string_view name, int url_escape);
// escaped_name appended to `out`, without a temporary.
void append_escaped_name(std::string& out, std::string_view name, int url_escape);

// The link of a folder path, ending in "/": "/home/a b" gives
// "file:///home/a b/" (with percent-encoding "file:///home/a%20b/"; the "/"
// and ":" of the path survive). With `source` 2 the prefix is "ftp://" + host.
std::string folder_url(std::string_view path, int url_escape, int source,
                       std::string_view ftp_host);

// A listed folder's path as the driver uses it: trailing "/" removed, an
// empty result becomes "/" (the root).
std::string normalise_folder_path(std::string_view path);

// Puts "./" in front of a relative link whose first path segment holds ":",
// which a browser would otherwise read as a scheme ("javascript:alert(1)",
// "mailto:x"); other links are left as they are.
void guard_relative_link(std::string& link);

// The relative link from a page in the folder `from` to the folder `to`
// (both absolute), each name escaped by `url_escape` and the link ending in
// "/": from "/tmp/out" to "/srv/share" gives "../../srv/share/". Empty when
// the two are the same folder. The way is worked out on the paths as written,
// as a browser resolves links: "/a/b/.." is "/a".
std::string relative_way(std::string_view from, std::string_view to, int url_escape);

// Whether a link is relative: it names no scheme ("https:", "file:") and does
// not start at a root ("/", "//").
bool is_relative_link(std::string_view link);

}  // namespace dirscribe
