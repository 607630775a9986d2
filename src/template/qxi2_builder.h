// qxi2_builder: links text runs and directives into a template tree while
// checking that blocks pair up. It knows nothing of the lexer: the parser
// (qxi2.h) hands it each finished text run and each finished directive, split
// into name and attributes, and it can be driven directly in tests.
#pragma once

#include <string>
#include <string_view>

#include "core/qxhash.h"
#include "template/qxi2_node.h"

namespace dirscribe {

// Result codes of template parsing.
enum qxi2_result : int {
  qxi2_more = 0,               // the parser wants more text
  qxi2_too_long = 1,           // the template exceeds the size limit
  qxi2_complete = 2,           // the template was read completely
  qxi2_out_of_memory = 3,      // memory exhausted while creating a node
  qxi2_misplaced_end = 10000,  // closing or middle directive without its open block
  qxi2_unknown_error = 10001,  // never reported by the parser; has a detail phrase
  qxi2_unclosed_block = 10002,
  qxi2_unknown_variable = 10022,
  qxi2_variable_not_permitted = 10023,
  qxi2_nested_for = 10024,
  qxi2_repeat_outside_for = 10025,
  qxi2_repeat_in_tree_loop = 10026,
};

class qxlang;

// The user-visible description of a parse result: phrase 5, the line, phrase
// 6, the column, phrase 7 and the detail phrase of the code (8 for 10000, 9 for
// 10001, 10 for 10002, 11 to 14 for 10022 to 10026; none for other codes).
// For 10002 with a node, the detail is followed by the node's directive
// rebuilt as <!--#name var="value" -->.
std::string qxi2_error_text(const qxlang& phrases, int code, const qxi2_node* node, int line,
                            int column);

// Runs right after a simple or opening directive has been placed; a nonzero
// result stops parsing with that code (the node stays in the tree).
class qxi2_node_check {
 public:
  virtual ~qxi2_node_check() = default;
  virtual int check_node(qxi2_node& node) = 0;
};

class qxi2_builder {
 public:
  // `tree` (borrowed, expected empty) receives the nodes; `check` (borrowed,
  // may be null) runs after every simple and opening directive.
  qxi2_builder(qxi2_tree& tree, qxi2_node_check* check) : tree_(tree), check_(check) {}
  qxi2_builder(const qxi2_builder&) = delete;
  qxi2_builder& operator=(const qxi2_builder&) = delete;

  // A finished text run. Empty runs are ignored. Returns 0.
  int add_text(std::string_view run);

  // A finished directive: `name` and `attributes` as split from its inner text
  // (names lower-case), `markup` the whole directive from "<!--#" to "-->",
  // which becomes a text node when the name is no directive. Returns 0, 10000
  // for a closing or middle directive without its open block, or the check's
  // nonzero result.
  int add_directive(std::string_view name, qxhash attributes, std::string_view markup);

  // The node placed last, or nullptr before the first.
  qxi2_node* current() const { return current_; }

 private:
  qxi2_node* place(std::unique_ptr<qxi2_node> node);
  // 0 when `node` (a type of the open block) closes it, 10000 when not.
  static int closes(qxi2_node* node, int block, int middle, bool& matched);
  int place_closing(const qxi2_directive& directive, std::unique_ptr<qxi2_node> node);

  qxi2_tree& tree_;
  qxi2_node_check* check_;
  qxi2_node* current_ = nullptr;
  qxi2_placement mode_ = qxi2_placement::after;
};

}  // namespace dirscribe
