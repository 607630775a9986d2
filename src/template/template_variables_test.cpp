#include "template/template_variables.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "services/phrase_ids.h"
#include "services/phrase_table.h"
#include "support/test_phrases.h"
#include "template/template_test_support.h"
#include "template/template_tree_builder.h"

namespace dirscribe {
namespace {

const std::vector<std::string>& kEnglishNames = english_variable_names();

TEST(TemplateVariables, TableHasSixtyFourRowsInPhraseOrder) {
  ASSERT_EQ(kEnglishNames.size(), 64u);
  const int described = kPhraseLastVariableName - kPhraseFirstVariableName + 1;
  for (int row = 0; row < template_variable_count; ++row) {
    const template_variable* variable = template_variable_row(row);
    ASSERT_NE(variable, nullptr);
    const int phrase =
        row < described ? kPhraseFirstVariableName + row : kAddedVariableNames[row - described];
    EXPECT_EQ(variable->name_phrase, phrase) << row;
    EXPECT_EQ(variable->loop, row < 3) << row;
  }
  EXPECT_EQ(template_variable_row(-1), nullptr);
  EXPECT_EQ(template_variable_row(64), nullptr);
}

TEST(TemplateVariables, LookupFindsEveryName) {
  template_variables variables;
  variables.build_from_names(kEnglishNames);
  for (int row = 0; row < template_variable_count; ++row) {
    EXPECT_EQ(variables.find(kEnglishNames[row]), row) << kEnglishNames[row];
  }
  EXPECT_EQ(variables.find("NAME"), -1);  // exact: var is lower-cased before
  EXPECT_EQ(variables.find(""), -1);
  EXPECT_EQ(variables.find("nosuch"), -1);
}

TEST(TemplateVariables, BuildsLookupFromPhraseTable) {
  phrase_table phrases;
  ASSERT_TRUE(load_test_phrases(phrases, test_template_phrases()).ok());
  template_variables variables;
  variables.build(phrases);
  for (int row = 0; row < template_variable_count; ++row) {
    EXPECT_EQ(variables.find(kEnglishNames[row]), row) << kEnglishNames[row];
  }
  // A table without the names: nothing resolves, not even an absent var.
  phrase_table empty;
  variables.build(empty);
  EXPECT_EQ(variables.find(""), -1);
  EXPECT_EQ(variables.find("name"), -1);
}

TEST(TemplateVariables, LaterRowWinsAndEmptyNamesAreSkipped) {
  std::vector<std::string> names(62);
  names[4] = "twice";
  names[9] = "twice";
  names[0] = "files";
  template_variables variables;
  variables.build_from_names(names);
  EXPECT_EQ(variables.find("twice"), 9);
  EXPECT_EQ(variables.find("files"), 0);
  EXPECT_EQ(variables.find(""), -1);
}

TEST(TemplateVariables, PermittedDirectives) {
  for (int row = 0; row < template_variable_count; ++row) {
    for (int type = node_echo; type <= node_endrepeat; ++type) {
      bool value_use = (type >= node_echo && type <= node_echoen) || type == node_if;
      bool expected = row < 3 ? type == node_for : value_use;
      EXPECT_EQ(template_variables::permits(row, type), expected) << row << " " << type;
    }
  }
  EXPECT_FALSE(template_variables::permits(template_variable_count, node_echo));
}

TEST(TemplateVariables, MarkupSafeNames) {
  for (const char* name : {"media_html_all", "media_html_files", "media_html_folders",
                           "name_html_all", "name_html_files", "name_html_folders",
                           "rel_path_html_all", "rel_path_html_files", "rel_path_html_folders"}) {
    EXPECT_TRUE(template_variables::markup_safe(name)) << name;
  }
  for (const std::string& name : kEnglishNames) {
    EXPECT_FALSE(template_variables::markup_safe(name)) << name;
  }
}

TEST(TemplateVariables, VocabularyChecks) {
  template_variables variables;
  variables.build_from_names(kEnglishNames);
  struct {
    std::vector<std::string> steps;
    int result;
    int failed_at;
  } cases[] = {
      {{"#echo var=name", "#echoe var=SIZE", "#if var=Odd", "#endif"}, result_ok, -1},
      {{"#for var=Files", "#echon var=name", "#endfor", "#for var=tree", "#endfor"}, result_ok, -1},
      {{"#echo var=nosuch"}, result_unknown_variable, 0},
      {{"#echo"}, result_unknown_variable, 0},
      {{"#if"}, result_unknown_variable, 0},
      {{"#for"}, result_unknown_variable, 0},
      {{"#echo var=files"}, result_variable_not_permitted, 0},
      {{"#if var=tree"}, result_variable_not_permitted, 0},
      {{"#echol var=folders"}, result_variable_not_permitted, 0},
      {{"#for var=name"}, result_variable_not_permitted, 0},
      {{"#for var=files", "#for var=files"}, result_for_inside_for, 1},
      {{"#for var=files", "#if var=odd", "#else", "#for var=tree"}, result_for_inside_for, 3},
      {{"#repeat var=3"}, result_repeat_outside_for, 0},
      {{"#if var=odd", "#repeat var=3"}, result_repeat_outside_for, 1},
      {{"#for var=tree", "#repeat var=3"}, result_repeat_in_tree_loop, 1},
      {{"#for var=tree", "#if var=odd", "#repeat var=3"}, result_repeat_in_tree_loop, 2},
      {{"#for var=folders", "#if var=odd", "#repeat var=3", "#endrepeat", "#endif", "#endfor"},
       result_ok,
       -1},
      // else and the closing directives are not checked.
      {{"#if var=odd", "#else var=nosuch", "#endif var=nosuch"}, result_ok, -1},
  };
  for (const auto& c : cases) {
    std::string joined;
    for (const auto& s : c.steps) joined += s + " | ";
    template_tree tree;
    int failed_at = -1;
    EXPECT_EQ(build_from_steps(tree, c.steps, &variables, &failed_at), c.result) << joined;
    EXPECT_EQ(failed_at, c.failed_at) << joined;
  }
}

TEST(TemplateVariables, ChecksResolveAndRewriteNodes) {
  std::vector<std::string> names = kEnglishNames;
  names[22] = "name_html_all";  // a language whose name variable is markup-safe
  template_variables variables;
  variables.build_from_names(names);
  template_tree tree;
  int failed_at = -1;
  ASSERT_EQ(
      build_from_steps(tree,
                       {"#echo var=NAME_html_all", "#echou var=name_html_all",
                        "#echon var=Ext size=4 x=1", "#echoen var=ext x=1", "#if var=odd re=^a",
                        "#endif", "#if var=odd x=1", "#endif", "#for var=FOLDERS", "#repeat var=4x",
                        "#endrepeat", "#repeat var=x", "#endrepeat", "#endfor"},
                       &variables, &failed_at),
      result_ok);
  EXPECT_EQ(dump_template_tree(tree),
            "echoe var=\"name_html_all\" index=22\n"
            "echou var=\"name_html_all\" index=22\n"
            "echon var=\"ext\" index=21 {size=\"4\" var=\"Ext\" x=\"1\"}\n"
            "echoen var=\"ext\" index=21\n"
            "if var=\"odd\" index=5 {re=\"^a\" var=\"odd\"}\n"
            "endif var=\"\" index=0\n"
            "if var=\"odd\" index=5\n"
            "endif var=\"\" index=0\n"
            "for var=\"folders\" index=1\n"
            "  repeat var=\"4x\" index=4\n"
            "  endrepeat var=\"\" index=0\n"
            "  repeat var=\"x\" index=0\n"
            "  endrepeat var=\"\" index=0\n"
            "endfor var=\"\" index=0\n");
}

}  // namespace
}  // namespace dirscribe
