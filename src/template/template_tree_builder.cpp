#include "template/template_tree_builder.h"

#include <utility>

#include "core/byte_string.h"

namespace dirscribe {

template_node* template_tree_builder::place(std::unique_ptr<template_node> node) {
  if (!current_) {
    current_ = tree_.append_top(std::move(node));
  } else if (mode_ == directive_placement::inside) {
    current_ = tree_.append_child(current_, std::move(node));
  } else {
    current_ = tree_.append_after_siblings(current_, std::move(node));
  }
  return current_;
}

int template_tree_builder::add_text(std::string_view run) {
  if (run.empty()) return result_ok;
  auto node = std::make_unique<template_node>();
  node->type = node_text;
  node->text = std::string(run);
  node->closed = true;
  place(std::move(node));
  mode_ = directive_placement::after;
  return result_ok;
}

int template_tree_builder::closes(template_node* node, int block, int middle, bool& matched) {
  matched = false;
  if (node->type == block) {
    node->closed = true;
    matched = true;
  } else if (middle != 0 && node->type == middle) {
    node->closed = true;
    template_node* opening = node->prev();
    if (!opening || opening->type != block) return result_directive_without_block;
    opening->closed = true;
    matched = true;
  }
  return result_ok;
}

int template_tree_builder::place_closing(const directive_info& directive,
                                         std::unique_ptr<template_node> node) {
  // Only the current node and its parent are looked at, so a closing
  // directive can close nothing but the innermost open block.
  int middle = directive.role == directive_role::closes ? directive.middle : 0;
  template_node* anchor = current_;
  if (!anchor) return result_directive_without_block;
  bool matched = false;
  if (int result = closes(anchor, directive.block, middle, matched)) return result;
  if (!matched) {
    anchor = anchor->parent();
    if (!anchor) return result_directive_without_block;
    if (int result = closes(anchor, directive.block, middle, matched)) return result;
    if (!matched) return result_directive_without_block;
  }
  // Closing directives are born closed; a middle one stays open until the
  // closing directive of its block arrives.
  node->closed = directive.role == directive_role::closes;
  current_ = tree_.append_after_siblings(anchor, std::move(node));
  mode_ = directive.next_placement;
  return result_ok;
}

int template_tree_builder::add_directive(std::string_view name, value_map attributes,
                                         std::string_view markup) {
  int type = directive_type_of_name(ascii_lower(name));
  if (type == 0) return add_text(markup);
  const directive_info& directive = *directive_info_of(type);

  auto node = std::make_unique<template_node>();
  node->type = type;
  if (const tagged_value* var = attributes.lookup("var")) node->var = var->to_text();
  if (directive.kept_attribute)
    node->attributes = std::make_unique<value_map>(std::move(attributes));

  if (directive.role == directive_role::middle || directive.role == directive_role::closes) {
    return place_closing(directive, std::move(node));
  }
  node->closed = directive.role == directive_role::simple;
  template_node* placed = place(std::move(node));
  mode_ = directive.next_placement;
  return vocabulary_ ? template_check_directive(*vocabulary_, *placed) : result_ok;
}

}  // namespace dirscribe
