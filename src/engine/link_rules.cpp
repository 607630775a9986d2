#include "engine/link_rules.h"

#include <filesystem>

#include "core/byte_string.h"

namespace dirscribe {

namespace {

void append_percent_encoded(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
        (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_') {
      out += c;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    }
  }
}

}  // namespace

std::string percent_encode(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  append_percent_encoded(out, text);
  return out;
}

void append_escaped_name(std::string& out, std::string_view name, int url_escape) {
  switch (url_escape) {
    case url_escape_markup:
      // The link lands in an HTML page, which reads a UTF-8 name back from
      // code-point references; byte references would name other characters.
      append_html_escape(out, name);
      break;
    case url_escape_percent:
      append_percent_encoded(out, name);
      break;
    default:
      out += name;
      break;
  }
}

std::string escaped_name(std::string_view name, int url_escape) {
  switch (url_escape) {
    case url_escape_markup:
      return html_escape(name);
    case url_escape_percent:
      return percent_encode(name);
    default:
      return std::string(name);
  }
}

std::string folder_url(std::string_view path, int url_escape, int source,
                       std::string_view ftp_host) {
  std::string url(path);
  if (!url.empty() && url.back() != '/') url += '/';
  if (url_escape == url_escape_markup) {
    url = html_escape(url);
  } else if (url_escape == url_escape_percent) {
    url = percent_encode(url);
    replace_all(url, "%2F", "/");
    replace_all(url, "%3A", ":");
  }
  if (source == source_ftp) return "ftp://" + std::string(ftp_host) + url;
  return "file://" + url;
}

void guard_relative_link(std::string& link) {
  const size_t first = link.find_first_of(":/");
  if (first != std::string::npos && link[first] == ':') link.insert(0, "./");
}

std::string relative_way(std::string_view from, std::string_view to, int url_escape) {
  const std::filesystem::path way =
      std::filesystem::path(std::string(to))
          .lexically_normal()
          .lexically_relative(std::filesystem::path(std::string(from)).lexically_normal());
  std::string link;
  for (const std::filesystem::path& part : way) {
    const std::string name = part.string();
    if (name.empty() || name == ".") continue;
    link += name == ".." ? name : escaped_name(name, url_escape);
    link += '/';
  }
  return link;
}

bool is_relative_link(std::string_view link) {
  if (link.empty()) return true;
  if (link.front() == '/') return false;
  const size_t colon = link.find(':');
  const size_t slash = link.find('/');
  return colon == std::string_view::npos || (slash != std::string_view::npos && slash < colon);
}

std::string normalise_folder_path(std::string_view path) {
  std::string out(path);
  while (!out.empty() && out.back() == '/') out.pop_back();
  if (out.empty()) out = "/";
  return out;
}

}  // namespace dirscribe
