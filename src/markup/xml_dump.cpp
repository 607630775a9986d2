#include "markup/xml_dump.h"

namespace dirscribe {

namespace {

void append_visible(std::string& out, const std::string& text) {
  static const char kHex[] = "0123456789abcdef";
  for (unsigned char c : text) {
    if (c < 32 || c == '\\') {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
}

}  // namespace

std::string xml_dump(const xml_tree& tree) {
  std::string out;
  const xml_node* node = tree.first();
  int depth = 0;
  while (node) {
    out.append(static_cast<size_t>(depth) * 2, ' ');
    out += std::to_string(node->type);
    out += node->closed ? "+" : "-";
    out += node->name;
    if (!node->attribute_list.empty()) {
      out += " {";
      for (const std::string& item : node->attribute_list) {
        append_visible(out, item);
        out += ",";
      }
      out += "}";
    } else if (node->attributes.count() > 0) {
      out += " {";
      for (const auto& [name, value] : node->attributes.entries()) {
        append_visible(out, name);
        out += "=";
        append_visible(out, value.to_text());
        out += ",";
      }
      out += "}";
    }
    out += " [";
    append_visible(out, node->raw);
    out += "]";
    if (!node->text.empty()) {
      out += " [";
      append_visible(out, node->text);
      out += "]";
    }
    out += "\n";
    // Walk without recursion so that deep documents cannot exhaust the stack.
    if (node->first_child()) {
      node = node->first_child();
      ++depth;
      continue;
    }
    while (node && !node->next()) {
      node = node->parent();
      --depth;
    }
    if (node) node = node->next();
  }
  return out;
}

}  // namespace dirscribe
