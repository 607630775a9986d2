#include "template/template_catalog.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "core/byte_string.h"
#include "engine/html_list_project.h"
#include "engine/link_rules.h"
#include "files/file_path.h"
#include "markup/document_reader.h"
#include "platform/file_system.h"
#include "platform/replacing_file.h"
#include "platform/user_data.h"
#include "services/phrase_ids.h"
#include "services/phrase_table.h"

namespace dirscribe {

namespace {

constexpr std::string_view kCatalogFileName = "templates.txt";
constexpr std::string_view kTemplatesFolder = "templates";

std::string phrase(const phrase_table* language, int id) {
  return language ? std::string(language->text(id)) : std::string();
}

bool is_template_element(const xml_node& node) {
  return (node.type == xml_start_tag || node.type == xml_empty_element) && node.name == "template";
}

// Reads one detached template element (the only top-level node of `tree`).
std::unique_ptr<style_entry> read_entry(xml_tree& tree) {
  auto entry = std::make_unique<style_entry>();
  const xml_node* element = tree.first();
  xml_text_of(tree, "file", element, entry->file);
  xml_text_of(tree, "name", element, entry->name);
  xml_text_of(tree, "description", element, entry->description);
  xml_text_of(tree, "image_file", element, entry->image_file);
  if (xml_node* project = xml_find(tree, "project", element)) {
    entry->preset.append_top(tree.detach(project));
  }
  return entry;
}

void append_field(std::string& out, std::string_view name, std::string_view value) {
  out += '<';
  out += name;
  out += '>';
  out += markup_escape(value);
  out += "</";
  out += name;
  out += ">\r\n";
}

// Copies `from` to `to`, which must not exist yet. A failed copy removes what
// it created.
bool copy_to_new_file(const std::string& from, const std::string& to) {
  std::FILE* in = std::fopen(from.c_str(), "rb");
  if (!in) return false;
  std::FILE* out = std::fopen(to.c_str(), "wbx");  // exclusive: never overwrites
  if (!out) {
    std::fclose(in);
    return false;
  }
  bool ok = true;
  char buffer[65536];
  for (;;) {
    const size_t read = std::fread(buffer, 1, sizeof buffer, in);
    if (read > 0 && std::fwrite(buffer, 1, read, out) != read) {
      ok = false;
      break;
    }
    if (read < sizeof buffer) {
      if (std::ferror(in)) ok = false;
      break;
    }
  }
  std::fclose(in);
  if (std::fclose(out) != 0) ok = false;
  if (!ok) std::remove(to.c_str());
  return ok;
}

bool is_folder(const std::string& path) {
  file_status status;
  return path_status(path, status) && status.is_folder;
}

}  // namespace

outcome template_catalog::load(const std::string& path) {
  clear();
  xml_tree document;
  const outcome read = parse_file(path, document, document_options{});
  // The reader's own text names the file it cannot open; a markup error
  // names it here, with where in the file it lies.
  if (read.is(result_document_not_opened)) return read;
  if (!read.ok()) return {read.code(), path + ": " + error_text_line(read.message())};
  xml_node* node = document.first();
  while (node && !is_template_element(*node)) node = node->next();
  if (!node) {
    return {result_catalog_without_template,
            path + ": " + phrase(language, kPhraseNoTemplateElement)};
  }
  while (node) {
    xml_node* following = node->next();
    if (is_template_element(*node)) {
      xml_tree element;
      element.append_top(document.detach(node));
      entries.push_back(read_entry(element));
    }
    node = following;
  }
  return {};
}

std::string catalog_file_text(const std::vector<std::unique_ptr<style_entry>>& entries) {
  std::string out;
  std::vector<std::string> preset_lines;
  for (const auto& entry : entries) {
    out += "\r\n<!-- *************** -->\r\n<template>\r\n";
    append_field(out, "file", entry->file);
    append_field(out, "name", entry->name);
    append_field(out, "description", entry->description);
    append_field(out, "image_file", entry->image_file);
    if (!entry->preset.empty()) {
      // The serialised nodes are joined as they are: text nodes carry the
      // preset's own line ends, and a line end added after every node would
      // become part of each value on the next load.
      xml_serialise(entry->preset, preset_lines);
      for (const std::string& line : preset_lines) out += line;
      out += "\r\n";
    }
    out += "</template>\r\n";
  }
  return out;
}

outcome template_catalog::save(const std::string& folder) {
  const std::string path = join_path(folder, kCatalogFileName);
  if (!replace_file(path, catalog_file_text(entries))) {
    const int error = errno;
    return {result_write_failed,
            phrase(language, kPhraseCantSaveFile) + path + ": " + std::strerror(error)};
  }
  return {};
}

style_entry* template_catalog::find_by_file(std::string_view template_path,
                                            size_t* position) const {
  const size_t slash = template_path.rfind('/');
  const std::string_view file =
      slash == std::string_view::npos ? template_path : template_path.substr(slash + 1);
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i]->file == file) {
      if (position) *position = i;
      return entries[i].get();
    }
  }
  return nullptr;
}

outcome template_catalog::copy(const style_entry* entry, std::string_view name_prefix,
                               const std::string& program_folder) {
  return copy(entry, name_prefix, user_data_folders(program_folder, {}, true));
}

outcome template_catalog::copy(const style_entry* entry, std::string_view name_prefix,
                               const user_data_folders& folders) {
  if (!entry) return {result_no_style, phrase(language, kPhraseNoStyleSelected)};
  // The copy goes into templates/ beside the catalog that will list it; the
  // user's own folder is made when it is the first thing written there.
  if (!folders.program_writable()) folders.make_write_folder(kTemplatesFolder);
  const std::string& catalog_folder = folders.write_folder();
  const std::string folder = join_path(catalog_folder, kTemplatesFolder);
  for (const std::string& needed : {catalog_folder, folder}) {
    if (!is_folder(needed)) {
      return {result_templates_folder_missing, phrase(language, kPhraseCantOpenFolder) + needed};
    }
  }
  // A name taken in either folder is passed over, so that the copy never
  // hides a template of the program folder.
  const std::string program_templates = join_path(folders.program_folder(), kTemplatesFolder);
  std::string new_file = entry->file;
  file_status status;
  do {
    new_file = next_template_name(new_file);
  } while (path_status(join_path(folder, new_file), status) ||
           path_status(join_path(program_templates, new_file), status));
  const std::string target = join_path(folder, new_file);
  const std::string source = folders.read_path(std::string(kTemplatesFolder) + "/" + entry->file);
  if (!copy_to_new_file(source, target)) {
    return {result_write_failed, phrase(language, kPhraseCantSaveFile) + target};
  }
  auto copied = std::make_unique<style_entry>();
  copied->file = new_file;
  copied->name = std::string(name_prefix) + entry->name;
  copied->description = entry->description;
  copied->image_file = entry->image_file;
  copy_document(entry->preset, copied->preset);
  entries.push_back(std::move(copied));
  return save(catalog_folder);
}

void apply_preset(const style_entry& entry, html_list_project& project,
                  const user_data_folders& folders) {
  const std::string found = folders.read_path(std::string(kTemplatesFolder) + "/" + entry.file);
  const bool own = !folders.user_folder().empty() && found.starts_with(folders.user_folder());
  apply_preset(entry, project, own ? folders.user_folder() : folders.program_folder());
}

void apply_preset(const style_entry& entry, html_list_project& project,
                  std::string_view program_folder) {
  if (const xml_node* element = xml_find(entry.preset, "/project")) {
    read_project(project, entry.preset, element);
  }
  // The program folder is written without its trailing "/" (the root stays
  // "/"), so a folder given as "/opt/x//" still gives "/opt/x/templates/...".
  const std::string folder =
      program_folder.empty() ? std::string() : normalise_folder_path(program_folder);
  project.settings.format_file = join_path(join_path(folder, kTemplatesFolder), entry.file);
}

void pick_style(const style_entry& entry, html_list_project& project,
                const user_data_folders& folders) {
  reset_project(project);
  apply_preset(entry, project, folders);
}

const style_entry* find_by_name(const template_catalog& catalog, std::string_view name) {
  const style_entry* found = nullptr;
  int in_any_case = 0;
  const std::string lowered = ascii_lower(name);
  for (const auto& entry : catalog.entries) {
    if (entry->name == name) return entry.get();
    if (ascii_lower(entry->name) == lowered) {
      found = entry.get();
      ++in_any_case;
    }
  }
  return in_any_case == 1 ? found : nullptr;
}

std::string next_template_name(std::string_view file_name) {
  const size_t dot = file_name.rfind('.');
  std::string base(file_name.substr(0, dot));
  const std::string_view extension =
      dot == std::string_view::npos ? std::string_view() : file_name.substr(dot);
  if (!base.empty() && base.back() >= '0' && base.back() <= '8') {
    ++base.back();
  } else {
    base += '0';
  }
  base += extension;
  return base;
}

void copy_document(const xml_tree& source, xml_tree& copy) {
  copy.clear();
  // Parents come before their children in document order, so each copied
  // parent is known when its first child is reached.
  std::unordered_map<const xml_node*, xml_node*> copies;
  for (const xml_node* node = source.first(); node; node = node->next_in_document_order()) {
    auto twin = std::make_unique<xml_node>();
    twin->type = node->type;
    twin->name = node->name;
    twin->raw = node->raw;
    twin->text = node->text;
    twin->closed = node->closed;
    for (const auto& [name, value] : node->attributes.entries()) twin->attributes.set(name, value);
    twin->attribute_list = node->attribute_list;
    xml_node* parent = node->parent() ? copies[node->parent()] : nullptr;
    copies[node] = copy.append_child(parent, std::move(twin));
  }
}

}  // namespace dirscribe
