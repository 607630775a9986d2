// template_parser: reads listing template text into a template tree.
//
// It is the markup lexer set up so that template directives ("<!--#" ...
// "-->") are the only markup it recognises and everything else is text. Each
// finished text run and directive goes to a template_tree_builder, which
// links the nodes and checks that blocks pair up; with the listing
// vocabulary on (the default), every echo, for, if and repeat is also
// resolved against the template variables and checked.
//
// Usage (the generation driver):
//   template_tree tree;
//   template_parser parser(phrases, tree);
//   for each piece of the file:
//     if (outcome fed = parser.feed(piece); !fed.ok()) return fed;
//   if (outcome done = parser.finish(); !done.ok()) return done;
//   // tree now holds the whole template, every block closed.
#pragma once

#include <cstdint>
#include <string>

#include "core/outcome.h"
#include "markup/markup_lexer.h"
#include "template/template_node.h"
#include "template/template_tree_builder.h"
#include "template/template_variables.h"

namespace dirscribe {

class phrase_table;

class template_parser : private markup_lexer {
 public:
  // The fed pieces stay queued until the parser is destroyed, so this bounds
  // the whole template.
  static constexpr int64_t template_size_limit = 16777216;

  // Whether directives are checked against the template variables. Only
  // tests of the block structure turn it off; a build always checks.
  enum class vocabulary { checked, unchecked };

  // `phrases` and `tree` are borrowed and must outlive the parser; `tree`
  // should be empty. The nodes stay in the tree, also after a failure. With
  // the vocabulary checked, the variable lookup is built from `phrases` once.
  template_parser(const phrase_table& phrases, template_tree& tree,
                  vocabulary checks = vocabulary::checked);
  template_parser(const template_parser&) = delete;
  template_parser& operator=(const template_parser&) = delete;

  // Queues the next piece of template text and parses what it can; an
  // incomplete directive or text run waits for the next piece. Succeeds when
  // more text is wanted; fails with result_template_too_long,
  // result_directive_without_block or one of the vocabulary codes
  // (result_unknown_variable to result_repeat_in_tree_loop), the message
  // being the error text at the line and column reached. Once a call has
  // failed or finish has run, later calls change nothing and return that
  // outcome again.
  outcome feed(std::string piece);

  // Marks the end of input and parses the rest; text still held (even an
  // unfinished directive) becomes a final text node. Succeeds when the whole
  // template was read and every block is closed; fails as feed does, or with
  // result_block_not_closed and a message naming the first block left open.
  outcome finish();

  // The variable lookup (empty with the vocabulary unchecked).
  const template_variables& variables() const { return variables_; }

 private:
  int text_hook() override;
  int markup_hook() override;
  int add_directive(const std::string& markup);
  // The failure `code` with its error text at the current line and column;
  // `node` names the open block for result_block_not_closed.
  outcome failure(int code, const template_node* node = nullptr) const;

  const phrase_table& phrases_;
  template_tree& tree_;
  template_variables variables_;
  template_tree_builder builder_;
  outcome result_;  // sticky once failed
  bool finished_ = false;
};

}  // namespace dirscribe
