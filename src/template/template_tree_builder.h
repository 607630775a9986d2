// template_tree_builder: links text runs and directives into a template tree while
// checking that blocks pair up. It knows nothing of the lexer: the parser
// (template_parser.h) hands it each finished text run and each finished directive, split
// into name and attributes, and it can be driven directly in tests.
#pragma once

#include <string>
#include <string_view>

#include "core/value_map.h"
#include "template/template_node.h"

namespace dirscribe {

// Result codes of template parsing.
enum parse_result : int {
  parse_more = 0,               // the parser wants more text
  parse_too_long = 1,           // the template exceeds the size limit
  parse_complete = 2,           // the template was read completely
  parse_out_of_memory = 3,      // memory exhausted while creating a node
  parse_misplaced_end = 10000,  // closing or middle directive without its open block
  parse_unknown_error = 10001,  // never reported by the parser; has a detail phrase
  parse_unclosed_block = 10002,
  parse_unknown_variable = 10022,
  parse_variable_not_permitted = 10023,
  parse_nested_for = 10024,
  parse_repeat_outside_for = 10025,
  parse_repeat_in_tree_loop = 10026,
};

class phrase_table;

// The user-visible description of a parse result: phrase 5, the line, phrase
// 6, the column, phrase 7 and the detail phrase of the code (8 for 10000, 9 for
// 10001, 10 for 10002, 11 to 14 for 10022 to 10026; none for other codes).
// For 10002 with a node, the detail is followed by the node's directive
// rebuilt as <!--#name var="value" -->.
std::string template_error_text(const phrase_table& phrases, int code, const template_node* node,
                                int line, int column);

// Runs right after a simple or opening directive has been placed; a nonzero
// result stops parsing with that code (the node stays in the tree).
class template_node_check {
 public:
  virtual ~template_node_check() = default;
  virtual int check_node(template_node& node) = 0;
};

class template_tree_builder {
 public:
  // `tree` (borrowed, expected empty) receives the nodes; `check` (borrowed,
  // may be null) runs after every simple and opening directive.
  template_tree_builder(template_tree& tree, template_node_check* check)
      : tree_(tree), check_(check) {}
  template_tree_builder(const template_tree_builder&) = delete;
  template_tree_builder& operator=(const template_tree_builder&) = delete;

  // A finished text run. Empty runs are ignored. Returns 0.
  int add_text(std::string_view run);

  // A finished directive: `name` and `attributes` as split from its inner text
  // (names lower-case), `markup` the whole directive from "<!--#" to "-->",
  // which becomes a text node when the name is no directive. Returns 0, 10000
  // for a closing or middle directive without its open block, or the check's
  // nonzero result.
  int add_directive(std::string_view name, value_map attributes, std::string_view markup);

  // The node placed last, or nullptr before the first.
  template_node* current() const { return current_; }

 private:
  template_node* place(std::unique_ptr<template_node> node);
  // 0 when `node` (a type of the open block) closes it, 10000 when not.
  static int closes(template_node* node, int block, int middle, bool& matched);
  int place_closing(const directive_info& directive, std::unique_ptr<template_node> node);

  template_tree& tree_;
  template_node_check* check_;
  template_node* current_ = nullptr;
  directive_placement mode_ = directive_placement::after;
};

}  // namespace dirscribe
