// The parts of the template library that read the phrase table: the names of
// the template variables and the parser's error texts.
#include "core/outcome.h"
#include "services/phrase_ids.h"
#include "services/phrase_table.h"
#include "template/template_tree_builder.h"
#include "template/template_variables.h"

namespace dirscribe {

namespace {

int detail_phrase(int code) {
  switch (code) {
    case result_directive_without_block:
      return kPhraseDirectiveWithoutBlock;
    case result_tag_not_closed:
      return kPhraseTagNotClosed;
    case result_block_not_closed:
      return kPhraseBlockNotClosed;
    case result_unknown_variable:
      return kPhraseUnknownVariable;
    case result_variable_not_permitted:
      return kPhraseVariableNotAllowedHere;
    case result_for_inside_for:
      return kPhraseForInsideFor;
    case result_repeat_outside_for:
      return kPhraseRepeatOutsideFor;
    case result_repeat_in_tree_loop:
      return kPhraseRepeatNeedsFilesOrFolders;
    default:
      return -1;
  }
}

}  // namespace

void template_variables::build(const phrase_table& phrases) {
  std::vector<std::string> names;
  for (int row = 0; row < template_variable_count; ++row) {
    names.emplace_back(phrases.text(template_variable_row(row)->name_phrase));
  }
  build_from_names(names);
}

std::string template_error_text(const phrase_table& phrases, int code, const template_node* node,
                                int line, int column) {
  std::string text(phrases.text(kPhraseDirectiveErrorLine));
  text += std::to_string(line);
  text += phrases.text(kPhraseDirectiveErrorColumn);
  text += std::to_string(column);
  text += phrases.text(kPhraseDirectiveErrorDetail);
  int detail = detail_phrase(code);
  if (detail < 0) return text;
  text += phrases.text(detail);
  if (code == result_block_not_closed && node) {
    const directive_info* directive = directive_info_of(node->type);
    text += "<!--#";
    text += directive ? directive->name : "";
    text += " var=\"";
    text += node->var;
    text += "\" -->";
  }
  return text;
}

}  // namespace dirscribe
