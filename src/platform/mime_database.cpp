#include "platform/mime_database.h"

#include <fstream>
#include <sstream>

#include "core/byte_string.h"

namespace dirscribe {

namespace {

std::string lower_extension(std::string_view extension) {
  if (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
  return ascii_lower(extension);
}

// Replaces the five predefined entities; anything else stays as written.
std::string decode_xml_text(std::string_view text) {
  std::string out(text);
  replace_all(out, "&lt;", "<");
  replace_all(out, "&gt;", ">");
  replace_all(out, "&quot;", "\"");
  replace_all(out, "&apos;", "'");
  replace_all(out, "&amp;", "&");
  return out;
}

}  // namespace

mime_database::mime_database(std::string mime_types_file, std::string mime_dir)
    : mime_types_file_(std::move(mime_types_file)), mime_dir_(std::move(mime_dir)) {}

void mime_database::load_content_types() {
  content_types_loaded_ = true;
  std::ifstream in(mime_types_file_);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string type, extension;
    if (!(fields >> type)) continue;
    // The first registration of an extension wins, as in the file's order.
    while (fields >> extension) content_types_.emplace(ascii_lower(extension), ascii_lower(type));
  }
}

void mime_database::load_globs() {
  globs_loaded_ = true;
  // globs2 lines are "weight:type:pattern", heaviest first; only plain
  // "*.ext" patterns name an extension.
  std::ifstream in(mime_dir_ + "/globs2");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    const size_t first = line.find(':');
    const size_t second = first == std::string::npos ? first : line.find(':', first + 1);
    if (second == std::string::npos) continue;
    const std::string type = line.substr(first + 1, second - first - 1);
    std::string pattern = line.substr(second + 1);
    const size_t flags = pattern.find(':');
    if (flags != std::string::npos) pattern.resize(flags);
    if (pattern.size() < 3 || pattern.compare(0, 2, "*.") != 0) continue;
    const std::string extension = pattern.substr(2);
    if (extension.find_first_of("*?[") != std::string::npos) continue;
    glob_types_.emplace(ascii_lower(extension), type);
  }
}

bool mime_database::content_type(std::string_view name, std::string& out) {
  out.clear();
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  if (!content_types_loaded_) load_content_types();
  const auto found = content_types_.find(lower_extension(name.substr(dot)));
  if (found == content_types_.end()) return false;
  out = found->second;
  return true;
}

const std::string& mime_database::description_of(const std::string& type) {
  auto cached = descriptions_.find(type);
  if (cached != descriptions_.end()) return cached->second;
  std::string description;
  // A type name with ".." or a leading "/" never reaches outside the folder.
  if (type.find("..") == std::string::npos && !type.empty() && type.front() != '/') {
    std::ifstream in(mime_dir_ + "/" + type + ".xml");
    std::ostringstream content;
    content << in.rdbuf();
    const std::string xml = content.str();
    const size_t start = xml.find("<comment>");
    if (start != std::string::npos) {
      const size_t text = start + 9;
      const size_t end = xml.find("</comment>", text);
      if (end != std::string::npos) description = decode_xml_text(xml.substr(text, end - text));
    }
  }
  return descriptions_.emplace(type, std::move(description)).first->second;
}

bool mime_database::type_description(std::string_view extension, std::string& out) {
  out.clear();
  const std::string key = lower_extension(extension);
  if (key.empty()) return false;
  if (!globs_loaded_) load_globs();
  std::string type;
  const auto glob = glob_types_.find(key);
  if (glob != glob_types_.end()) {
    type = glob->second;
  } else {
    if (!content_types_loaded_) load_content_types();
    const auto registered = content_types_.find(key);
    if (registered == content_types_.end()) return false;
    type = registered->second;
  }
  out = description_of(type);
  return !out.empty();
}

}  // namespace dirscribe
