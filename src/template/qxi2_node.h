// qxi2_node: one node of a parsed listing template, and the table of QXI
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

#include "core/qxe_tree.h"
#include "core/qxhash.h"

namespace dirscribe {

// Directive types; the numbers are the node kinds used by parser, checks and
// evaluator alike.
enum qxi2_type : int {
  qxi2_text = 1,
  qxi2_echo = 2,
  qxi2_echoe = 3,
  qxi2_echou = 4,
  qxi2_echol = 5,
  qxi2_echon = 6,
  qxi2_echoen = 7,
  qxi2_for = 8,
  qxi2_endfor = 9,
  qxi2_if = 10,
  qxi2_else = 11,
  qxi2_endif = 12,
  qxi2_repeat = 13,
  qxi2_elserepeat = 14,
  qxi2_endrepeat = 15,
};

constexpr int qxi2_first_directive = qxi2_echo;
constexpr int qxi2_last_directive = qxi2_endrepeat;

enum class qxi2_role { text, simple, opens, middle, closes };

// Where the node after this one goes.
enum class qxi2_placement {
  inside,  // as the last child of this node
  after,   // after this node, as the last of its siblings
};

struct qxi2_directive {
  int type;
  const char* name;  // lower case; empty for text
  qxi2_role role;
  int block;   // type of the opening directive of the block; 0 for text and simple ones
  int middle;  // type of the block's middle directive for if and repeat blocks; else 0
  qxi2_placement next_placement;
  // The attribute that earns the node its attribute map ("size", "re"), or
  // nullptr when the directive keeps no attributes.
  const char* kept_attribute;
};

// The table row of `type`, or nullptr when type is outside 1 to 15.
const qxi2_directive* qxi2_directive_of(int type);

// The directive type of a lower-case name (types 2 to 15 only), or 0.
int qxi2_type_of_name(std::string_view name);

struct qxi2_node : qxe_node<qxi2_node> {
  int type = qxi2_text;
  std::string var;   // the var attribute; empty when absent
  std::string text;  // literal text of a type-1 node
  bool closed = false;
  // Echo variants, for and if: the row of the variable table. repeat: the
  // repeat count.
  int index = 0;
  // Owned attribute map, only for echon/echoen (size) and if (re).
  std::unique_ptr<qxhash> attributes;
};

using qxi2_tree = qxe_tree<qxi2_node>;

// The first node in document order whose closed flag is clear, or nullptr.
qxi2_node* qxi2_first_unclosed(const qxi2_tree& tree);

// Canonical dump of a template tree: one line per node in document order,
// indented two blanks per level. Text nodes print as text "..." with
// C-style escapes for control bytes, quotes and backslashes; directives as
// their name, var, index, attributes in ascending order and "open" when the
// closed flag is clear. Used as the oracle of parser tests.
std::string qxi2_dump(const qxi2_tree& tree);

}  // namespace dirscribe
