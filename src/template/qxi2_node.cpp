#include "template/qxi2_node.h"

#include <cstdio>

namespace dirscribe {

namespace {

using role = qxi2_role;
using place = qxi2_placement;

constexpr qxi2_directive kDirectives[] = {
    {qxi2_text, "", role::text, 0, 0, place::after, nullptr},
    {qxi2_echo, "echo", role::simple, 0, 0, place::after, nullptr},
    {qxi2_echoe, "echoe", role::simple, 0, 0, place::after, nullptr},
    {qxi2_echou, "echou", role::simple, 0, 0, place::after, nullptr},
    {qxi2_echol, "echol", role::simple, 0, 0, place::after, nullptr},
    {qxi2_echon, "echon", role::simple, 0, 0, place::after, "size"},
    {qxi2_echoen, "echoen", role::simple, 0, 0, place::after, "size"},
    {qxi2_for, "for", role::opens, qxi2_for, 0, place::inside, nullptr},
    {qxi2_endfor, "endfor", role::closes, qxi2_for, 0, place::after, nullptr},
    {qxi2_if, "if", role::opens, qxi2_if, qxi2_else, place::inside, "re"},
    {qxi2_else, "else", role::middle, qxi2_if, qxi2_else, place::inside, nullptr},
    {qxi2_endif, "endif", role::closes, qxi2_if, qxi2_else, place::after, nullptr},
    {qxi2_repeat, "repeat", role::opens, qxi2_repeat, qxi2_elserepeat, place::inside, nullptr},
    {qxi2_elserepeat, "elserepeat", role::middle, qxi2_repeat, qxi2_elserepeat, place::inside,
     nullptr},
    {qxi2_endrepeat, "endrepeat", role::closes, qxi2_repeat, qxi2_elserepeat, place::after,
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

const qxi2_directive* qxi2_directive_of(int type) {
  if (type < qxi2_text || type > qxi2_last_directive) return nullptr;
  return &kDirectives[type - qxi2_text];
}

int qxi2_type_of_name(std::string_view name) {
  for (int type = qxi2_first_directive; type <= qxi2_last_directive; ++type) {
    if (name == kDirectives[type - qxi2_text].name) return type;
  }
  return 0;
}

qxi2_node* qxi2_first_unclosed(const qxi2_tree& tree) {
  for (qxi2_node* node = tree.first(); node; node = node->next_in_document_order()) {
    if (!node->closed) return node;
  }
  return nullptr;
}

std::string qxi2_dump(const qxi2_tree& tree) {
  std::string out;
  for (qxi2_node* node = tree.first(); node; node = node->next_in_document_order()) {
    for (qxi2_node* up = node->parent(); up; up = up->parent()) out += "  ";
    const qxi2_directive* directive = qxi2_directive_of(node->type);
    if (node->type == qxi2_text) {
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
