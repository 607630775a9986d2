#include "template/template_node.h"

#include <cstdio>

namespace dirscribe {

namespace {

using role = directive_role;
using place = directive_placement;

constexpr directive_info kDirectives[] = {
    {node_text, "", role::text, 0, 0, place::after, nullptr},
    {node_echo, "echo", role::simple, 0, 0, place::after, nullptr},
    {node_echoe, "echoe", role::simple, 0, 0, place::after, nullptr},
    {node_echou, "echou", role::simple, 0, 0, place::after, nullptr},
    {node_echol, "echol", role::simple, 0, 0, place::after, nullptr},
    {node_echon, "echon", role::simple, 0, 0, place::after, "size"},
    {node_echoen, "echoen", role::simple, 0, 0, place::after, "size"},
    {node_for, "for", role::opens, node_for, 0, place::inside, nullptr},
    {node_endfor, "endfor", role::closes, node_for, 0, place::after, nullptr},
    {node_if, "if", role::opens, node_if, node_else, place::inside, "re"},
    {node_else, "else", role::middle, node_if, node_else, place::inside, nullptr},
    {node_endif, "endif", role::closes, node_if, node_else, place::after, nullptr},
    {node_repeat, "repeat", role::opens, node_repeat, node_elserepeat, place::inside, nullptr},
    {node_elserepeat, "elserepeat", role::middle, node_repeat, node_elserepeat, place::inside,
     nullptr},
    {node_endrepeat, "endrepeat", role::closes, node_repeat, node_elserepeat, place::after,
     nullptr},
};

void append_escaped(std::string& out, std::string_view text) {
  for (unsigned char c : text) {
    switch (c) {
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        if (c < 0x20 || c == 0x7f) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\x%02x", c);
          out += buffer;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
}

}  // namespace

const directive_info* directive_info_of(int type) {
  if (type < node_text || type > last_directive_type) return nullptr;
  return &kDirectives[type - node_text];
}

int directive_type_of_name(std::string_view name) {
  for (int type = first_directive_type; type <= last_directive_type; ++type) {
    if (name == kDirectives[type - node_text].name) return type;
  }
  return 0;
}

template_node* first_unclosed_block(const template_tree& tree) {
  for (template_node* node = tree.first(); node; node = node->next_in_document_order()) {
    if (!node->closed) return node;
  }
  return nullptr;
}

std::string dump_template_tree(const template_tree& tree) {
  std::string out;
  for (template_node* node = tree.first(); node; node = node->next_in_document_order()) {
    for (template_node* up = node->parent(); up; up = up->parent()) out += "  ";
    const directive_info* directive = directive_info_of(node->type);
    if (node->type == node_text) {
      out += "text \"";
      append_escaped(out, node->text);
      out += '"';
    } else {
      out += directive ? directive->name : "type" + std::to_string(node->type);
      out += " var=\"";
      append_escaped(out, node->var);
      out += "\" index=" + std::to_string(node->index);
      if (node->attributes) {
        out += " {";
        bool first = true;
        for (const auto& [name, value] : node->attributes->entries()) {
          if (!first) out += ' ';
          first = false;
          out += name + "=\"";
          append_escaped(out, value.to_text());
          out += '"';
        }
        out += '}';
      }
    }
    if (!node->closed) out += " open";
    out += '\n';
  }
  return out;
}

}  // namespace dirscribe
