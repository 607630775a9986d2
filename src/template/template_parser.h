// The template parser: a chain of three classes on the markup lexer.
//
//   template_markup_reader  configures markup_lexer so that template directives ("<!--#" ... "-->")
//   are
//            the only markup it recognises and everything else is text;
//   template_structure_parser     turns text runs and directives into template nodes and links them
//            into a template tree, checking that blocks pair up;
//   template_parser   adds the listing vocabulary: every echo, for, if and repeat is
//            resolved against the template variables and checked.
//
// Usage (the generation driver):
//   template_tree tree;
//   template_parser parser(phrases, tree);
//   for each piece of the file: if (int r = parser.feed(piece)) -> error r
//   int r = parser.finish();                       // read_completely
//   if (template_node* open = parser.first_unclosed()) // error 10002 for `open`
//   parser.error_text(code, node)                  // the user-visible text
#pragma once

#include <cstdint>
#include <string>

#include "markup/markup_lexer.h"
#include "template/template_node.h"
#include "template/template_tree_builder.h"
#include "template/template_variables.h"

namespace dirscribe {

class phrase_table;

class template_markup_reader : public markup_lexer {
 public:
  // The fed pieces stay queued until the parser is destroyed, so this bounds
  // the whole template.
  static constexpr int64_t template_size_limit = 16777216;

  template_markup_reader();
};

class template_structure_parser : public template_markup_reader, protected template_node_check {
 public:
  // What finish returns when the whole template was read.
  static constexpr int read_completely = 2;

  // `phrases` and `tree` are borrowed and must outlive the parser; `tree`
  // should be empty. The nodes stay in the tree, also after an error.
  template_structure_parser(const phrase_table& phrases, template_tree& tree);

  // Queues the next piece of template text and parses what it can; an
  // incomplete directive or text run waits for the next piece. Returns 0 when
  // more text is wanted, otherwise an error code (1 too long, 10000 misplaced
  // block directive, 10022 to 10026 from the checks). Once a call has failed
  // or finish has run, later calls change nothing and return that result.
  int feed(std::string piece);
  // Marks the end of input and parses the rest; text still held (even an
  // unfinished directive) becomes a final text node. Returns 2 when the
  // template was read completely, otherwise the error code.
  int finish();

  // The first node in document order whose block was never closed, or
  // nullptr. Meaningful after finish returned 2.
  template_node* first_unclosed() const { return first_unclosed_block(tree_); }

  // The user-visible text of `code` at the parser's current line and column
  // (the last character read); `node` names the open block for 10002.
  std::string error_text(int code, const template_node* node = nullptr) const;

 protected:
  int text_hook() override;
  int markup_hook() override;
  // Accepts every node; template_parser checks the vocabulary here.
  int check_node(template_node& node) override;

 private:
  int add_directive(const std::string& markup);

  const phrase_table& phrases_;
  template_tree& tree_;
  template_tree_builder builder_;
  int result_ = 0;  // sticky once nonzero
};

class template_parser : public template_structure_parser {
 public:
  // Builds the variable lookup from `phrases` once.
  template_parser(const phrase_table& phrases, template_tree& tree);

  const template_variables& variables() const { return variables_; }

 protected:
  int check_node(template_node& node) override;

 private:
  template_variables variables_;
};

}  // namespace dirscribe
