// The template parser: a chain of three classes on the markup lexer.
//
//   pre_qxi  configures qxsgml so that QXI directives ("<!--#" ... "-->") are
//            the only markup it recognises and everything else is text;
//   qxi2     turns text runs and directives into qxi2_nodes and links them
//            into a template tree, checking that blocks pair up;
//   qxiDsc   adds the listing vocabulary: every echo, for, if and repeat is
//            resolved against the template variables and checked.
//
// Usage (the generation driver):
//   qxi2_tree tree;
//   qxiDsc parser(phrases, tree);
//   for each piece of the file: if (int r = parser.feed(piece)) -> error r
//   int r = parser.finish();                       // read_completely
//   if (qxi2_node* open = parser.first_unclosed()) // error 10002 for `open`
//   parser.error_text(code, node)                  // the user-visible text
#pragma once

#include <cstdint>
#include <string>

#include "markup/qxsgml.h"
#include "template/qxi2_builder.h"
#include "template/qxi2_node.h"
#include "template/template_variables.h"

namespace dirscribe {

class qxlang;

class pre_qxi : public qxsgml {
 public:
  // The fed pieces stay queued until the parser is destroyed, so this bounds
  // the whole template.
  static constexpr int64_t template_size_limit = 16777216;

  pre_qxi();
};

class qxi2 : public pre_qxi, protected qxi2_node_check {
 public:
  // What finish returns when the whole template was read.
  static constexpr int read_completely = 2;

  // `phrases` and `tree` are borrowed and must outlive the parser; `tree`
  // should be empty. The nodes stay in the tree, also after an error.
  qxi2(const qxlang& phrases, qxi2_tree& tree);

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
  qxi2_node* first_unclosed() const { return qxi2_first_unclosed(tree_); }

  // The user-visible text of `code` at the parser's current line and column
  // (the last character read); `node` names the open block for 10002.
  std::string error_text(int code, const qxi2_node* node = nullptr) const;

 protected:
  int text_hook() override;
  int markup_hook() override;
  // Accepts every node; qxiDsc checks the vocabulary here.
  int check_node(qxi2_node& node) override;

 private:
  int add_directive(const std::string& markup);

  const qxlang& phrases_;
  qxi2_tree& tree_;
  qxi2_builder builder_;
  int result_ = 0;  // sticky once nonzero
};

class qxiDsc : public qxi2 {
 public:
  // Builds the variable lookup from `phrases` once.
  qxiDsc(const qxlang& phrases, qxi2_tree& tree);

  const template_variables& variables() const { return variables_; }

 protected:
  int check_node(qxi2_node& node) override;

 private:
  template_variables variables_;
};

}  // namespace dirscribe
