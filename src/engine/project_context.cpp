#include "engine/project_context.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include <algorithm>
#include <cstdio>
#include <map>

#include "engine/link_rules.h"
#include "files/file_format.h"
#include "files/file_path.h"
#include "markup/document_reader.h"
#include "platform/file_system.h"
#include "platform/replacing_file.h"
#include "services/phrase_ids.h"
#include "services/phrase_table.h"

namespace dirscribe {

namespace {

// Counts in warnings, grouped the same way whatever the user's locale.
const number_format kCountFormat{0, 3, ".", ",", 1};

bool is_project(const xml_node& node) {
  return (node.type == xml_start_tag || node.type == xml_empty_element) && node.name == "project";
}

// A `project` element with content: a start tag, or `<project></project>`,
// which the reader turns into an empty element but is not the self-closing form.
bool is_project_with_content(const xml_node& node) {
  if (node.name != "project") return false;
  if (node.type == xml_start_tag) return true;
  return node.type == xml_empty_element && !node.raw.ends_with("/>");
}

}  // namespace

project_context::project_context() : numbers(user_number_format()) {}

outcome project_context::load_file(const std::string& file_name, const std::string& shown_name) {
  projects.clear();
  warnings.clear();
  this->file_name = file_name;
  xml_tree document;
  const outcome read = parse_file(file_name, document, document_options{});
  if (read.is(result_document_not_opened)) {
    return {result_project_not_opened,
            phrase(kPhraseCantOpenFile) + (shown_name.empty() ? file_name : shown_name)};
  }
  if (!read.ok()) return not_a_project(error_text_line(read.message()));
  return take_projects(document);
}

outcome project_context::load_text(std::string_view text) {
  projects.clear();
  warnings.clear();
  file_name.clear();
  xml_tree document;
  if (!parse_text(text, document, document_options{}).ok()) return not_a_project();
  return take_projects(document);
}

std::vector<std::string> project_context::lookup_paths(const std::string& name) const {
  if (name.empty() || name.front() == '/') return {name};
  std::vector<std::string> paths;
  if (const size_t slash = file_name.rfind('/'); slash != std::string::npos) {
    paths.push_back(join_path(file_name.substr(0, slash + 1), name));
  }
  if (!program_folder.empty()) {
    const std::string in_program = join_path(program_folder, name);
    if (std::find(paths.begin(), paths.end(), in_program) == paths.end()) {
      paths.push_back(in_program);
    }
  }
  if (paths.empty()) paths.push_back(name);
  return paths;
}

std::string project_context::resolve(const std::string& name) const {
  const std::vector<std::string> paths = lookup_paths(name);
  file_status status;
  for (const std::string& path : paths) {
    if (path_status(path, status)) return path;
  }
  return paths.front();
}

std::string project_context::resolve_in_project_folder(const std::string& name) const {
  if (name.empty() || name.front() == '/') return name;
  if (file_name.empty()) return resolve(name);
  // A project file named without a folder lies in the current folder, and so
  // does the name.
  const size_t slash = file_name.rfind('/');
  if (slash == std::string::npos) return name;
  return join_path(file_name.substr(0, slash + 1), name);
}

std::string name_with_places_tried(const std::string& name, const std::vector<std::string>& tried) {
  if (tried.empty() || (tried.size() == 1 && tried.front() == name)) return name;
  std::string text = name + " (tried ";
  for (size_t i = 0; i < tried.size(); ++i) {
    if (i > 0) text += ", ";
    text += tried[i];
  }
  return text + ")";
}

std::string project_context::phrase(int id) const {
  return language ? std::string(language->text(id)) : std::string();
}

outcome project_context::not_a_project(std::string_view detail) const {
  std::string text = phrase(kPhraseNotAProject);
  if (!file_name.empty()) text.insert(0, file_name + ": ");
  if (!detail.empty()) text.append(" ").append(detail);
  return {result_project_not_readable, std::move(text)};
}

outcome project_context::take_projects(const xml_tree& document) {
  const xml_node* first = nullptr;
  for (const xml_node* node = document.first(); node; node = node->next()) {
    if (is_project(*node)) {
      first = node;
      break;
    }
  }
  if (!first) return not_a_project("It holds no <project> element.");
  size_t count = 0;
  for (const xml_node* node = first; node; node = node->next()) {
    if (is_project(*node)) ++count;
  }
  if (count > kMaxProjects) {
    return {result_project_not_readable, (file_name.empty() ? std::string() : file_name + ": ") +
                                             "It holds " + std::to_string(count) +
                                             " projects; a project file holds at most " +
                                             std::to_string(kMaxProjects) + "."};
  }
  // One warning per key and file, however often the mistake repeats: a file
  // that repeats an unknown key a million times must not print a million
  // lines. The first place it occurs is named, and how often it came back.
  struct repeated_problem {
    size_t warning = 0;  // its line in `warnings`
    uint64_t more = 0;   // occurrences after the first
  };
  std::map<std::string, repeated_problem, std::less<>> seen;
  for (const xml_node* node = first; node; node = node->next()) {
    if (!is_project_with_content(*node)) continue;
    auto project = std::make_unique<html_list_project>();
    reset_project(*project);
    read_project(*project, document, node);
    projects.push_back(std::move(project));
    for (const project_key_problem& problem : check_project(*node)) {
      const std::string identity =
          std::to_string(problem.kind) + (problem.in_filter ? "f" : "p") + ":" + problem.key;
      const auto [found, added] =
          seen.try_emplace(identity, repeated_problem{warnings.size(), problem.repeats});
      if (!added) {
        found->second.more += 1 + problem.repeats;
        continue;
      }
      std::string line = file_name.empty() ? std::string() : file_name + ": ";
      line += "project " + std::to_string(projects.size()) + ": " + describe(problem);
      warnings.push_back(std::move(line));
    }
  }
  for (const auto& [identity, problem] : seen) {
    if (problem.more == 0) continue;
    warnings[problem.warning] += " (repeated " +
                                 group_digits(static_cast<int64_t>(problem.more), kCountFormat) +
                                 (problem.more == 1 ? " more time)" : " more times)");
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

outcome project_context::save_file(const std::string& file_name,
                                   const protected_files* inputs) const {
  const std::string failed = phrase(kPhraseCantSaveFile) + file_name;
  struct stat status {};
  if (::lstat(file_name.c_str(), &status) == 0) {
    if (S_ISLNK(status.st_mode)) {
      return {result_write_failed, failed + ": it is a symbolic link, never written through"};
    }
    if (!S_ISREG(status.st_mode)) {
      return {result_write_failed, failed + ": it is not a regular file"};
    }
    if (inputs && inputs->contains(status.st_dev, status.st_ino)) {
      return {result_write_failed, failed + ": the listing reads it"};
    }
  }
  std::string text;
  for (const std::string& line : project_file_lines(projects)) text += line;
  // Whole or not at all, and never through a link or into a FIFO.
  if (replace_file(file_name, text)) return {};
  return {result_write_failed, failed + ": " + std::strerror(errno)};
}

html_list_project* project_context::first_project() const {
  return projects.empty() ? nullptr : projects.front().get();
}

html_list_project& project_context::first_project_creating() {
  if (projects.empty()) {
    auto project = std::make_unique<html_list_project>();
    reset_project(*project);
    projects.push_back(std::move(project));
  }
  return *projects.front();
}

void project_context::fill_size_unit_names() {
  if (!language) return;
  size_unit_names.set(std::string("1"), tagged_value(language->text(kPhraseKilobytes)));
  size_unit_names.set(std::string("2"), tagged_value(language->text(kPhraseMegabytes)));
}

}  // namespace dirscribe
