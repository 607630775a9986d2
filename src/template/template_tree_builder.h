// template_tree_builder: links text runs and directives into a template tree while
// checking that blocks pair up. It knows nothing of the lexer: the parser
// (template_parser.h) hands it each finished text run and each finished directive, split
// into name and attributes, and it can be driven directly in tests.
#pragma once

#include <string>
#include <string_view>

#include "core/outcome.h"
#include "core/value_map.h"
#include "template/template_node.h"
#include "template/template_variables.h"

namespace dirscribe {

class phrase_table;

// The user-visible description of a parse failure: kPhraseDirectiveErrorLine,
// the line, kPhraseDirectiveErrorColumn, the column, kPhraseDirectiveErrorDetail
// and the detail phrase of the code (result_directive_without_block,
// result_tag_not_closed, result_block_not_closed and result_unknown_variable
// to result_repeat_in_tree_loop have one; other codes none). For
// result_block_not_closed with a node, the detail is followed by the node's
// directive rebuilt as <!--#name var="value" -->.
std::string template_error_text(const phrase_table& phrases, int code, const template_node* node,
                                int line, int column);

class template_tree_builder {
 public:
  // `tree` (borrowed, expected empty) receives the nodes. With `vocabulary`
  // (borrowed, may be null) every simple and opening directive is checked by
  // template_check_directive right after it is placed; a failed check stops
  // with its code and the node stays in the tree.
  template_tree_builder(template_tree& tree, const template_variables* vocabulary)
      : tree_(tree), vocabulary_(vocabulary) {}
  template_tree_builder(const template_tree_builder&) = delete;
  template_tree_builder& operator=(const template_tree_builder&) = delete;

  // A finished text run. Empty runs are ignored. Returns result_ok.
  int add_text(std::string_view run);

  // A finished directive: `name` and `attributes` as split from its inner text
  // (names lower-case), `markup` the whole directive from "<!--#" to "-->",
  // which becomes a text node when the name is no directive. Returns
  // result_ok, result_directive_without_block for a closing or middle
  // directive without its open block, or the vocabulary check's failure.
  int add_directive(std::string_view name, value_map attributes, std::string_view markup);

  // The node placed last, or nullptr before the first.
  template_node* current() const { return current_; }

 private:
  template_node* place(std::unique_ptr<template_node> node);
  // result_ok when `node` (a type of the open block) closes it,
  // result_directive_without_block when not.
  static int closes(template_node* node, int block, int middle, bool& matched);
  int place_closing(const directive_info& directive, std::unique_ptr<template_node> node);

  template_tree& tree_;
  const template_variables* vocabulary_;
  template_node* current_ = nullptr;
  directive_placement mode_ = directive_placement::after;
};

}  // namespace dirscribe
