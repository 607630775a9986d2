// The style catalog "templates.txt": the listing styles the user picks from.
// Each entry names a template file and a preview image in the program's
// "templates" folder, carries a display name and a description, and may hold
// a preset, a partial project whose keys are applied when the style is picked.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/outcome.h"
#include "markup/xml_node.h"

namespace dirscribe {

class phrase_table;
class user_data_folders;
struct html_list_project;

// One catalog entry.
struct style_entry {
  std::string file;         // template file name inside the "templates" folder
  std::string name;         // display name in the style list
  std::string description;  // shown under the style list
  std::string image_file;   // preview image inside the "templates" folder; empty for none
  // The entry's `project` element as the only top-level node, or empty.
  xml_tree preset;
};

// The catalog: entries in file order; the style list shows them position for
// position.
class template_catalog {
 public:
  template_catalog() = default;
  template_catalog(const template_catalog&) = delete;
  template_catalog& operator=(const template_catalog&) = delete;

  // Clears the catalog and reads every top-level `template` element of the
  // markup file `path`, in order; any other top-level node is skipped. Fails
  // with the reader's result_document_not_opened and its message; with
  // result_document_malformed and `path` + ": " + the reader's line, column
  // and error; or with result_catalog_without_template and `path` + ": " +
  // kPhraseNoTemplateElement when the file holds no template element; the
  // catalog is then empty. A
  // file with template elements always loads at least one entry.
  outcome load(const std::string& path);

  // Writes every entry to "templates.txt" in `folder` (the program folder, or
  // the user's folder of user_data_folders::write_folder), replacing the file
  // only once the whole catalog is written, so a failed save leaves the
  // previous file as it was. Fails with result_write_failed and
  // kPhraseCantSaveFile + the file's path.
  outcome save(const std::string& folder);

  // The first entry whose file equals the last "/"-separated component of
  // `template_path` (case-sensitive), or nullptr. `position`, when given,
  // receives its index.
  style_entry* find_by_file(std::string_view template_path, size_t* position = nullptr) const;

  // Copies `entry`'s template file inside `program_folder`/templates to the
  // first name the next-name rule gives that nothing in that folder takes,
  // appends an entry for it (name = `name_prefix` + the entry's name, the rest
  // copied, the preset deep-copied) and saves the catalog. Fails with
  // result_no_style (kPhraseNoStyleSelected) when `entry` is nullptr,
  // result_templates_folder_missing (kPhraseCantOpenFolder + the folder) when
  // the program folder or its templates folder is not a folder,
  // result_write_failed (kPhraseCantSaveFile + the file) when the copy fails
  // (the catalog is unchanged and no partial file is left), else as the save (on a failed save the
  // new entry stays in memory and the copied file stays in the folder). REQUIRES: `entry`, when
  // given, belongs to this catalog or outlives the call.
  outcome copy(const style_entry* entry, std::string_view name_prefix,
               const std::string& program_folder);
  // The same with the user-data rule: the template is read where
  // `folders` finds it, the copy (named so that it takes no name of either
  // folder) and the catalog go to its write folder, which is made when it is
  // the user's folder.
  outcome copy(const style_entry* entry, std::string_view name_prefix,
               const user_data_folders& folders);

  // Frees every entry.
  void clear() { entries.clear(); }

  std::vector<std::unique_ptr<style_entry>> entries;
  // Phrases for the failures' messages; borrowed, may be nullptr (the phrase
  // parts are then empty and a message holds only the names).
  const phrase_table* language = nullptr;
};

// The catalog file's text for `entries`, in the written form: per entry a
// separator comment, the template element with the four fields markup-escaped
// on lines of their own, and the preset written node by node.
std::string catalog_file_text(const std::vector<std::unique_ptr<style_entry>>& entries);

// Applies `entry`'s preset to `project` (only the keys the preset holds
// change), then points `format_file` at the entry's template:
// `program_folder` without trailing "/", "/templates/", the entry's file.
void apply_preset(const style_entry& entry, html_list_project& project,
                  std::string_view program_folder);
// The same, with `format_file` in the folder where `folders` finds the
// entry's template (the user's copy first when the program folder is not
// writable).
void apply_preset(const style_entry& entry, html_list_project& project,
                  const user_data_folders& folders);

// Picking a style: `project` starts afresh (every setting at its default,
// reset_project), then gets `entry`'s preset and template as apply_preset
// gives them with `folders`. The wizard and the command line pick styles
// through this one function, so a style lists the same from either.
void pick_style(const style_entry& entry, html_list_project& project,
                const user_data_folders& folders);

// The entry named `name`: the first whose name is exactly `name`, else the
// only one whose name equals it in any ASCII case; nullptr when there is none
// (or more than one differ from it only in case).
const style_entry* find_by_name(const template_catalog& catalog, std::string_view name);

// The next name in the copy sequence: split at the last "." into base and
// extension (no extension without a dot); a last base digit 0 to 8 is raised
// by one, otherwise (a 9, another character, an empty base) "0" is appended;
// the extension follows. style.html -> style0.html -> style1.html;
// style9.html -> style90.html.
std::string next_template_name(std::string_view file_name);

// A deep copy of `source` (types, names, texts, attributes; never the
// user-interface object slot).
void copy_document(const xml_tree& source, xml_tree& copy);

}  // namespace dirscribe
