#include "engine/extension_table.h"

#include "core/byte_string.h"
#include "engine/project_context.h"
#include "files/file_node.h"
#include "markup/document_reader.h"
#include "services/phrase_ids.h"
#include "services/phrase_table.h"

namespace dirscribe {

namespace {

std::string phrase(const project_context& collection, int id) {
  return collection.language ? std::string(collection.language->text(id)) : std::string();
}

// An entry: a self-closing element named "_" + digit + anything.
bool is_table_entry(const xml_node& node) {
  return node.type == xml_empty_element && node.raw.ends_with("/>") && node.name.size() >= 2 &&
         node.name[0] == '_' && node.name[1] >= '0' && node.name[1] <= '9';
}

// Walks the subtree of `section` (taken out of `document` so the walk stays
// inside it) and stores every entry's icon and type under its name.
void read_section(xml_tree& document, xml_node* section, value_map& icons, value_map& types) {
  xml_tree own;
  own.append_top(document.detach(section));
  for (const xml_node* node = own.first(); node; node = node->next_in_document_order()) {
    if (!is_table_entry(*node)) continue;
    const tagged_value* name = node->attribute("name");
    if (!name) continue;
    const tagged_value* icon = node->attribute("icon");
    const tagged_value* type = node->attribute("type");
    icons.set(*name, icon ? *icon : tagged_value(0));
    types.set(*name, type ? *type : tagged_value(0));
  }
}

// The major kind ("image" of "image/png") of the registered content type of
// an entry's extension, or empty.
std::string registered_kind(const file_node& entry, const project_context& collection) {
  std::string content_type;
  if (!collection.mime_types.content_type(entry.ext, content_type)) return {};
  return content_type.substr(0, content_type.find('/'));
}

}  // namespace

outcome load_extension_table(const std::string& file_name, project_context& collection) {
  collection.kind_type_map.clear();
  collection.extension_type_map.clear();
  collection.kind_icon_map.clear();
  collection.extension_icon_map.clear();
  xml_tree document;
  const outcome read = parse_file(file_name, document, document_options{});
  if (read.is(result_document_not_opened)) {
    return {result_document_not_opened, phrase(collection, kPhraseCantOpenFile) + file_name};
  }
  // Every failure names the file, and a markup error where it lies.
  const std::string in_file = file_name + ": ";
  if (!read.ok()) {
    return {result_document_malformed, in_file + phrase(collection, kPhraseExtensionTableError) +
                                           error_text_line(read.message())};
  }
  xml_node* extensions = xml_find(document, "/ext/extensions");
  if (!extensions) {
    return {result_document_malformed, in_file + phrase(collection, kPhraseExtensionListMissing)};
  }
  read_section(document, extensions, collection.extension_icon_map, collection.extension_type_map);
  xml_node* types = xml_find(document, "/ext/types");
  if (!types)
    return {result_document_malformed, in_file + phrase(collection, kPhraseTypeListMissing)};
  read_section(document, types, collection.kind_icon_map, collection.kind_type_map);
  return {};
}

std::string entry_type_text(const file_node& entry, const project_context& collection,
                            int32_t shell_mode) {
  if (shell_mode & shell_mode_system_types) {
    std::string description;
    if (!entry.is_folder && !entry.ext.empty() &&
        collection.mime_types.type_description(entry.ext, description)) {
      return description;
    }
    if (entry.is_folder) return phrase(collection, kPhraseFolderType);
    if (!entry.ext.empty()) return entry.ext + phrase(collection, kPhraseFileTypeSuffix);
    return phrase(collection, kPhraseFileType);
  }
  tagged_value found;
  if (entry.is_folder) {
    if (collection.kind_type_map.get("folder", found)) return found.to_text();
    return phrase(collection, kPhraseFolderType);
  }
  if (collection.extension_type_map.get(ascii_lower(entry.ext), found)) return found.to_text();
  const std::string kind = registered_kind(entry, collection);
  if (!kind.empty() && collection.kind_type_map.get(kind, found)) return found.to_text();
  if (collection.kind_type_map.get("other", found)) return found.to_text();
  return phrase(collection, kPhraseFileType);
}

tagged_value entry_icon(const file_node& entry, const project_context& collection) {
  tagged_value found;
  if (entry.is_folder) {
    collection.kind_icon_map.get("folder", found);
    return found;
  }
  if (collection.extension_icon_map.get(ascii_lower(entry.ext), found)) return found;
  const std::string kind = registered_kind(entry, collection);
  if (!kind.empty() && collection.kind_icon_map.get(kind, found)) return found;
  collection.kind_icon_map.get("other", found);
  return found;
}

}  // namespace dirscribe
