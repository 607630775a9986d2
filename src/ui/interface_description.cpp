#include "ui/interface_description.h"

#include "markup/resource_document.h"
#include "services/phrase_table.h"

namespace dirscribe {

outcome load_interface_description(const std::string& resource_file, phrase_table& phrases,
                                   xml_tree& ui_tree) {
  xml_tree resources;
  if (outcome read = load_resource_document(resource_file, resources); !read.ok()) {
    return {result_document_not_opened, read.message()};
  }
  // Phrases that do not load leave their texts empty; the windows are built
  // all the same.
  static_cast<void>(phrases.load(resources));
  xml_node* description = xml_find(resources, "/TvostraDSC");
  if (description == nullptr) {
    return {1, "The interface description is missing from " + resource_file};
  }
  ui_tree.clear();
  ui_tree.append_top(resources.detach(description));
  return {};
}

}  // namespace dirscribe
