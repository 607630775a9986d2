#include "markup/xml_node.h"

#include "core/byte_string.h"

namespace dirscribe {

xml_node* xml_find(const xml_tree& tree, std::string_view path, const xml_node* start) {
  const xml_node* current = start;
  size_t pos = 0;
  if (!path.empty() && path[0] == '/') {
    pos = 1;
    current = nullptr;
  }
  for (;;) {
    const size_t slash = path.find('/', pos);
    const bool last = slash == std::string_view::npos;
    const std::string_view component =
        path.substr(pos, last ? std::string_view::npos : slash - pos);
    if (!component.empty()) {
      const xml_node* candidate = current ? current->first_child() : tree.first();
      while (candidate &&
             !((candidate->type == xml_start_tag || candidate->type == xml_empty_element) &&
               candidate->name == component)) {
        candidate = candidate->next();
      }
      if (!candidate) return nullptr;
      current = candidate;
    }
    // An empty component is skipped while characters remain; at the end it
    // ends the search where it stands.
    if (last) return const_cast<xml_node*>(current);
    pos = slash + 1;
  }
}

int xml_text_of(const xml_tree& tree, std::string_view path, const xml_node* start,
                std::string& out) {
  out.clear();
  const xml_node* node = xml_find(tree, path, start);
  if (!node) return 1;
  const xml_node* child = node->first_child();
  if (child && (child->type == xml_text || child->type == xml_untyped)) out = child->text;
  return 0;
}

void xml_serialise(const xml_tree& tree, std::vector<std::string>& lines) {
  lines.clear();
  for (const xml_node* node = tree.first(); node; node = node->next_in_document_order()) {
    std::string line;
    switch (node->type) {
      case xml_start_tag:
      case xml_empty_element:
        line = "<" + node->name;
        for (const auto& [name, value] : node->attributes.entries()) {
          line += " " + name + "=\"" + markup_escape(value.to_text()) + "\"";
        }
        if (node->type == xml_empty_element) line += " /";
        line += ">";
        break;
      case xml_end_tag:
        line = "</" + node->name + ">";
        break;
      case 6:
      case xml_processing_instruction:
      case xml_text:
        line = node->raw;
        break;
      default:
        break;
    }
    lines.push_back(std::move(line));
  }
}

std::string xml_element_line(std::string_view name, const tagged_value& value) {
  std::string line = "<";
  line += name;
  line += ">";
  line += markup_escape(value.to_text());
  line += "</";
  line += name;
  line += ">\r\n";
  return line;
}

}  // namespace dirscribe
