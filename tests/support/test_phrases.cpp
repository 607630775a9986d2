#include "support/test_phrases.h"

#include <memory>

#include "markup/document_reader.h"
#include "markup/xml_node.h"
#include "services/phrase_ids.h"
#include "services/phrase_table.h"

namespace dirscribe {

const std::vector<std::string>& english_variable_names() {
  static const std::vector<std::string> names = {
      "files",          "folders",       "tree",          "row",
      "total_rows",     "odd",           "total_files",   "total_folders",
      "total_size",     "level_files",   "level_folders", "level_size",
      "tree_files",     "tree_folders",  "tree_size",     "is_item",
      "folder_start",   "folder_end",    "descends",      "is_folder",
      "base_name",      "ext",           "name",          "modified",
      "modified_date",  "modified_time", "size",          "rel_path",
      "rel_url",        "full_path",     "url",           "size_unit",
      "download_56k",   "download_1m",   "type",          "icon",
      "has_subfolders", "attributes",    "created",       "accessed",
      "spare1",         "spare2",        "is_link",       "md5",
      "sha1",           "title",         "folder_name",   "source_path",
      "source_url",     "max_depth",     "images_url",    "show_folders",
      "show_files",     "show_summary",  "sort_by",       "sort_descending",
      "ftp_host",       "now",           "level",         "page_name",
      "listing_title",  "rel_folder",    "sha256",        "thumbnail_url"};
  return names;
}

outcome load_test_phrases(phrase_table& table, const std::map<int, std::string>& phrases) {
  xml_tree document;
  auto element = [&document](xml_node* parent, const std::string& name) {
    auto node = std::make_unique<xml_node>();
    node->type = xml_start_tag;
    node->closed = true;
    node->name = name;
    return document.append_child(parent, std::move(node));
  };
  xml_node* langs = element(nullptr, "langs");
  xml_node* lang = element(langs, "lang");
  lang->attributes.set(std::string("short"), tagged_value("t"));
  lang->attributes.set(std::string("full"), tagged_value("Test"));
  for (const auto& [id, text] : phrases) {
    // Appended rather than "_" + text, which GCC 12 at -O3 wrongly warns of.
    std::string name = "_";
    name += std::to_string(id);
    xml_node* phrase = element(lang, name);
    auto run = std::make_unique<xml_node>();
    run->type = xml_text;
    run->closed = true;
    run->raw = text;
    run->text = text;
    document.append_child(phrase, std::move(run));
  }
  return table.load(document);
}

std::map<int, std::string> test_template_phrases() {
  std::map<int, std::string> phrases = {{5, "Line "},      {6, " col "},       {7, ": "},
                                        {8, "[no block]"}, {9, "[tag]"},       {10, "[open] "},
                                        {11, "[unknown]"}, {12, "[not here]"}, {13, "[for in for]"},
                                        {14, "[repeat]"}};
  for (size_t row = 0; row < english_variable_names().size(); ++row) {
    const size_t first_added = 59;
    const int id =
        row < first_added ? 30 + static_cast<int>(row) : kAddedVariableNames[row - first_added];
    phrases[id] = english_variable_names()[row];
  }
  return phrases;
}

outcome load_english_phrases(phrase_table& table) {
  xml_tree document;
  const outcome read = parse_file(std::string(DIRSCRIBE_SOURCE_DIR) + "data/sources/langs-en.xml",
                                  document, document_options());
  if (!read.ok()) return read;
  return table.load(document);
}

std::string english::plain_template_error(const std::string& path, int line, int column,
                                          const std::string& detail) {
  std::string text = path + ": " + kTemplateError +
                     "Error occurred while processing QXI directive. Line # " +
                     std::to_string(line) + " Col # " + std::to_string(column);
  return detail.empty() ? text : text + " " + detail;
}

}  // namespace dirscribe
