#include <gtest/gtest.h>

#include "services/phrase_table.h"
#include "support/test_phrases.h"
#include "template/template_tree_builder.h"

namespace dirscribe {
namespace {

TEST(TemplateErrorText, ComposesPositionAndDetail) {
  phrase_table phrases;
  ASSERT_TRUE(load_test_phrases(phrases, test_template_phrases()).ok());
  template_node open_if;
  open_if.type = node_if;
  open_if.var = "odd";
  template_node open_else;
  open_else.type = node_else;
  struct {
    int code;
    const template_node* node;
    const char* text;
  } cases[] = {
      {result_template_too_long, nullptr, "Line 3 col 14: "},
      {result_out_of_memory, nullptr, "Line 3 col 14: "},
      {result_directive_without_block, nullptr, "Line 3 col 14: [no block]"},
      {result_tag_not_closed, nullptr, "Line 3 col 14: [tag]"},
      {result_block_not_closed, &open_if, "Line 3 col 14: [open] <!--#if var=\"odd\" -->"},
      {result_block_not_closed, &open_else, "Line 3 col 14: [open] <!--#else var=\"\" -->"},
      {result_block_not_closed, nullptr, "Line 3 col 14: [open] "},
      {result_unknown_variable, nullptr, "Line 3 col 14: [unknown]"},
      {result_variable_not_permitted, nullptr, "Line 3 col 14: [not here]"},
      {result_for_inside_for, nullptr, "Line 3 col 14: [for in for]"},
      {result_repeat_outside_for, nullptr, "Line 3 col 14: [repeat]"},
      {result_repeat_in_tree_loop, nullptr, "Line 3 col 14: [repeat]"},
      {result_template_not_opened, nullptr, "Line 3 col 14: "},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(template_error_text(phrases, c.code, c.node, 3, 14), c.text) << c.code;
  }
}

}  // namespace
}  // namespace dirscribe
