#include "services/program_settings.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/byte_string.h"
#include "markup/document_reader.h"
#include "platform/replacing_file.h"
#include "services/phrase_ids.h"
#include "services/phrase_table.h"

namespace dirscribe {

namespace {

bool is_element(const xml_node& node) {
  return node.type == xml_start_tag || node.type == xml_empty_element;
}

// The text of an element: its first child's when that is text.
const std::string* element_text(const xml_node& node) {
  const xml_node* child = node.first_child();
  if (child == nullptr || (child->type != xml_text && child->type != xml_untyped)) return nullptr;
  return &child->text;
}

// A settings file is a list of elements with text; anything nested deeper
// than an element's text is not one.
bool flat(const xml_tree& document) {
  for (const xml_node* node = document.first(); node != nullptr; node = node->next()) {
    for (const xml_node* child = node->first_child(); child != nullptr; child = child->next()) {
      if (is_element(*child)) return false;
    }
  }
  return true;
}

void append_line(std::string& out, std::string_view name, std::string_view value) {
  out += '<';
  out += name;
  out += '>';
  out += value;
  out += "</";
  out += name;
  out += ">\r\n";
}

}  // namespace

bool program_settings::read(const std::string& path) {
  xml_tree document;
  document_options options;
  options.lower_case_names = false;
  options.normalise_line_ends = false;
  options.attributes_as_map = false;
  if (!parse_file(path, document, options).ok() || !flat(document)) return false;

  program_settings read = *this;
  for (auto [name, field] :
       {std::pair{"/left", &read.left}, std::pair{"/top", &read.top},
        std::pair{"/width", &read.width}, std::pair{"/height", &read.height}}) {
    if (const xml_node* node = xml_find(document, name)) {
      const std::string* text = element_text(*node);
      *field = text != nullptr ? text_to_int(*text) : 0;
    }
  }
  read.recent_projects.clear();
  for (const xml_node* node = xml_find(document, "/lastProjects");
       node != nullptr && read.recent_projects.size() < kRecentLimit; node = node->next()) {
    if (!is_element(*node) || node->name != "lastProjects") continue;
    if (const std::string* text = element_text(*node)) read.recent_projects.push_back(*text);
  }
  const xml_node* last = xml_find(document, "/lastDir");
  const std::string* text = last != nullptr ? element_text(*last) : nullptr;
  read.last_folder = text != nullptr ? *text : std::string();
  *this = std::move(read);
  return true;
}

std::string settings_file_text(const program_settings& settings) {
  std::string out;
  append_line(out, "left", std::to_string(settings.left));
  append_line(out, "top", std::to_string(settings.top));
  append_line(out, "width", std::to_string(settings.width));
  append_line(out, "height", std::to_string(settings.height));
  for (const std::string& project : settings.recent_projects) {
    append_line(out, "lastProjects", markup_escape(project));
  }
  append_line(out, "lastDir", markup_escape(settings.last_folder));
  return out;
}

outcome program_settings::write(const std::string& path, const phrase_table* language) const {
  if (replace_file(path, settings_file_text(*this))) return {};
  // errno is read before anything else can change it.
  const int error = errno;
  const std::string prefix =
      language != nullptr ? std::string(language->text(kPhraseCantSaveFile)) : std::string();
  return {result_write_failed, prefix + path + ": " + std::strerror(error)};
}

void program_settings::remember_project(const std::string& path) {
  if (path.empty()) return;
  recent_projects.insert(recent_projects.begin(), path);
  // Every later copy of an entry goes, the first stays.
  std::vector<std::string> kept;
  for (std::string& entry : recent_projects) {
    if (std::find(kept.begin(), kept.end(), entry) == kept.end()) kept.push_back(std::move(entry));
  }
  if (kept.size() > kRecentLimit) kept.resize(kRecentLimit);
  recent_projects = std::move(kept);
}

}  // namespace dirscribe
