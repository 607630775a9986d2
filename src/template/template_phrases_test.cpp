#include <gtest/gtest.h>

#include "services/phrase_table.h"
#include "support/test_phrases.h"
#include "template/template_tree_builder.h"

namespace dirscribe {
namespace {

TEST(TemplateErrorText, ComposesPositionAndDetail) {
  phrase_table phrases;
  ASSERT_EQ(load_test_phrases(phrases, test_template_phrases()), 0);
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
      {1, nullptr, "Line 3 col 14: "},
      {3, nullptr, "Line 3 col 14: "},
      {10000, nullptr, "Line 3 col 14: [no block]"},
      {10001, nullptr, "Line 3 col 14: [tag]"},
      {10002, &open_if, "Line 3 col 14: [open] <!--#if var=\"odd\" -->"},
      {10002, &open_else, "Line 3 col 14: [open] <!--#else var=\"\" -->"},
      {10002, nullptr, "Line 3 col 14: [open] "},
      {10022, nullptr, "Line 3 col 14: [unknown]"},
      {10023, nullptr, "Line 3 col 14: [not here]"},
      {10024, nullptr, "Line 3 col 14: [for in for]"},
      {10025, nullptr, "Line 3 col 14: [repeat]"},
      {10026, nullptr, "Line 3 col 14: [repeat]"},
      {20000, nullptr, "Line 3 col 14: "},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(template_error_text(phrases, c.code, c.node, 3, 14), c.text) << c.code;
  }
}

}  // namespace
}  // namespace dirscribe
