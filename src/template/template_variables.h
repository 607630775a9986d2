// The template variables: the fixed table of 64 names that a directive's var
// may carry, the lookup from name to row, the directives each row admits, and
// the vocabulary checks the listing parser runs on every new directive.
//
// Rows 0 to 2 are the loop variables (files, folders, tree), usable only in
// for; rows 3 to 63 are value variables, usable in every echo variant and in
// if. The names are language phrases, so the lookup is built from a phrase
// table: rows 0 to 58 are phrases 30 to 88 (row + 30), the long-standing
// vocabulary; rows 59 on were added later, each with the next phrase id free
// when it came (kAddedVariableNames: 302 to 304, then 329 and 330).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/tagged_value.h"
#include "core/value_map.h"
#include "template/template_node.h"

namespace dirscribe {

class phrase_table;

constexpr int template_variable_count = 64;

// Rows with a meaning of their own to the parser and evaluator.
enum template_loop_row : int {
  template_files_loop = 0,
  template_folders_loop = 1,
  template_tree_loop = 2,
};

// What a value function reads: the current entry, the listing run (the
// project's settings and what the build worked out) and the state of the
// innermost loop. Defined in template_values.h.
struct template_value_context;

// Stores the variable's value in `result`; 0 on success, any other code ends
// the evaluation with that code.
using template_value_function = int (*)(const template_value_context& context,
                                        tagged_value& result);

struct template_variable {
  int name_phrase;
  bool loop;  // a loop variable: for only, no value function
  // Null for the loop rows; the value rows point at the functions of
  // template_values.h.
  template_value_function value;
};

// The row, or nullptr outside 0 to 63.
const template_variable* template_variable_row(int row);

class template_variables {
 public:
  // Builds the lookup from phrases 30 to 88 of `phrases`, in table order; when
  // two phrases carry the same text the later row wins. A missing or empty
  // phrase gives its row no name, so a directive without var never finds a row.
  void build(const phrase_table& phrases);
  // The same from the names themselves, row by row (row i is names[i]; rows
  // past the end of `names` get no name).
  void build_from_names(const std::vector<std::string>& names);

  // The row of an exact (already lower-cased) name, or -1.
  int find(std::string_view name) const;
  // Whether directive `type` may use the variable of `row`.
  static bool permits(int row, int type);
  // Whether an echo of `name` prints like echoe.
  static bool markup_safe(std::string_view name);
  // Whether `row` is a link that the link rules build (rel_url, url,
  // source_url, images_url): under url_escape 1 its names are already
  // markup-escaped, so echoe must print it as it stands.
  static bool is_link(int row);

 private:
  value_map rows_by_name_;
};

// The vocabulary checks for a directive node that has just been placed (echo
// to echoen, for, if, repeat; other types pass): lower-cases var, resolves it
// (repeat: reads its count), and enforces the nesting rules of for and
// repeat. Returns result_ok, result_unknown_variable,
// result_variable_not_permitted (not with this directive),
// result_for_inside_for, result_repeat_outside_for or
// result_repeat_in_tree_loop (outcome.h). On success an echo of a markup-safe name has
// become echoe, and if/echon/echoen without their meaningful attribute have
// lost the attribute map.
int template_check_directive(const template_variables& variables, template_node& node);

}  // namespace dirscribe
