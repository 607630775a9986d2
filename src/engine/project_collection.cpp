#include "engine/project_collection.h"

#include <cstdio>

#include "markup/document_reader.h"
#include "services/phrase_ids.h"
#include "services/qxlang.h"

namespace dirscribe {

namespace {

// A `project` element with content: a start tag, or `<project></project>`,
// which the reader turns into an empty element but is not the self-closing form.
bool is_project_with_content(const xml_node& node) {
  if (node.name != "project") return false;
  if (node.type == xml_start_tag) return true;
  return node.type == xml_empty_element && !node.raw.ends_with("/>");
}

}  // namespace

projectCollection::projectCollection() : numbers(user_number_format()) {}

outcome projectCollection::load_file(const std::string& file_name,
                                     const std::string& shown_name) {
  projects.clear();
  this->file_name = file_name;
  xml_tree document;
  std::string error;
  const int read = parse_file(file_name, document, document_options{}, error);
  if (read == 1) {
    return {result_project_not_opened,
            phrase(kPhraseCantOpenFile) + (shown_name.empty() ? file_name : shown_name)};
  }
  if (read != 0) return not_a_project();
  return take_projects(document);
}

outcome projectCollection::load_text(std::string_view text) {
  projects.clear();
  file_name.clear();
  xml_tree document;
  std::string error;
  if (parse_text(text, document, document_options{}, error) != 0) return not_a_project();
  return take_projects(document);
}

std::string projectCollection::phrase(int id) const {
  return language ? std::string(language->text(id)) : std::string();
}

outcome projectCollection::not_a_project() const {
  return {result_project_not_readable, phrase(kPhraseNotAProject)};
}

outcome projectCollection::take_projects(const xml_tree& document) {
  const xml_node* first = nullptr;
  for (const xml_node* node = document.first(); node; node = node->next()) {
    if ((node->type == xml_start_tag || node->type == xml_empty_element) &&
        node->name == "project") {
      first = node;
      break;
    }
  }
  if (!first) return not_a_project();
  for (const xml_node* node = first; node; node = node->next()) {
    if (!is_project_with_content(*node)) continue;
    auto project = std::make_unique<html_list_project>();
    reset_project(*project);
    read_project(*project, document, node);
    projects.push_back(std::move(project));
  }
  return {};
}

std::vector<std::string> project_file_lines(
    const std::vector<std::unique_ptr<html_list_project>>& projects) {
  std::vector<std::string> lines;
  for (const auto& project : projects) {
    lines.emplace_back("<project>\r\n");
    write_project(*project, lines);
    lines.emplace_back("</project>\r\n");
    lines.emplace_back("<!-- ******** -->\r\n");
  }
  return lines;
}

outcome projectCollection::save_file(const std::string& file_name) const {
  const outcome failed{result_write_failed, phrase(kPhraseCantSaveFile) + file_name};
  std::FILE* file = std::fopen(file_name.c_str(), "wb");
  if (!file) return failed;
  bool ok = true;
  for (const std::string& line : project_file_lines(projects)) {
    if (std::fwrite(line.data(), 1, line.size(), file) != line.size()) {
      ok = false;
      break;
    }
  }
  if (std::fclose(file) != 0) ok = false;
  return ok ? outcome{} : failed;
}

html_list_project* projectCollection::first_project() const {
  return projects.empty() ? nullptr : projects.front().get();
}

html_list_project& projectCollection::first_project_creating() {
  if (projects.empty()) {
    auto project = std::make_unique<html_list_project>();
    reset_project(*project);
    projects.push_back(std::move(project));
  }
  return *projects.front();
}

void projectCollection::fill_size_unit_names() {
  if (!language) return;
  size_unit_names.set(std::string("1"), qxval(language->text(kPhraseKilobytes)));
  size_unit_names.set(std::string("2"), qxval(language->text(kPhraseMegabytes)));
}

}  // namespace dirscribe
