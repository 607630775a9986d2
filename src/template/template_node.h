// template_node: one node of a parsed listing template, and the table of template
// directives that the parser recognises.
//
// A template is ordinary text with directives of the form
//   <!--#name attribute="value" ... -->
// Text becomes type-1 nodes; each directive becomes a node of its type. The
// body of a block is the child list of its opening node; a middle directive
// (else, elserepeat) and the closing directive follow the opening node as its
// next siblings, so "if A else B endif" is the sibling chain if, else, endif
// with A under if and B under else.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "core/owning_tree.h"
#include "core/value_map.h"

namespace dirscribe {

// Directive types; the numbers are the node kinds used by parser, checks and
// evaluator alike.
enum template_node_type : int {
  node_text = 1,
  node_echo = 2,
  node_echoe = 3,
  node_echou = 4,
  node_echol = 5,
  node_echon = 6,
  node_echoen = 7,
  node_for = 8,
  node_endfor = 9,
  node_if = 10,
  node_else = 11,
  node_endif = 12,
  node_repeat = 13,
  node_elserepeat = 14,
  node_endrepeat = 15,
};

constexpr int first_directive_type = node_echo;
constexpr int last_directive_type = node_endrepeat;

enum class directive_role { text, simple, opens, middle, closes };

// Where the node after this one goes.
enum class directive_placement {
  inside,  // as the last child of this node
  after,   // after this node, as the last of its siblings
};

struct directive_info {
  int type;
  const char* name;  // lower case; empty for text
  directive_role role;
  int block;   // type of the opening directive of the block; 0 for text and simple ones
  int middle;  // type of the block's middle directive for if and repeat blocks; else 0
  directive_placement next_placement;
  // The attribute that earns the node its attribute map ("size", "re"), or
  // nullptr when the directive keeps no attributes.
  const char* kept_attribute;
};

// The table row of `type`, or nullptr when type is outside 1 to 15.
const directive_info* directive_info_of(int type);

// The directive type of a lower-case name (types 2 to 15 only), or 0.
int directive_type_of_name(std::string_view name);

struct template_node : tree_node<template_node> {
  int type = node_text;
  std::string var;   // the var attribute; empty when absent
  std::string text;  // literal text of a type-1 node
  bool closed = false;
  // Echo variants, for and if: the row of the variable table. repeat: the
  // repeat count.
  int index = 0;
  // Owned attribute map, only for echon/echoen (size) and if (re).
  std::unique_ptr<value_map> attributes;
};

using template_tree = owning_tree<template_node>;

// The first node in document order whose closed flag is clear, or nullptr.
template_node* first_unclosed_block(const template_tree& tree);

// Canonical dump of a template tree: one line per node in document order,
// indented two blanks per level. Text nodes print as text "..." with
// C-style escapes for control bytes, quotes and backslashes; directives as
// their name, var, index, attributes in ascending order and "open" when the
// closed flag is clear. Used as the oracle of parser tests.
std::string dump_template_tree(const template_tree& tree);

}  // namespace dirscribe
