// The parts of the template library that read the phrase table: the names of
// the template variables and the parser's error texts.
#include "services/phrase_ids.h"
#include "services/qxlang.h"
#include "template/qxi2_builder.h"
#include "template/template_variables.h"

namespace dirscribe {

namespace {

int detail_phrase(int code) {
  switch (code) {
    case qxi2_misplaced_end:
      return kPhraseDirectiveWithoutBlock;
    case qxi2_unknown_error:
      return kPhraseTagNotClosed;
    case qxi2_unclosed_block:
      return kPhraseBlockNotClosed;
    case qxi2_unknown_variable:
      return kPhraseUnknownVariable;
    case qxi2_variable_not_permitted:
      return kPhraseVariableNotAllowedHere;
    case qxi2_nested_for:
      return kPhraseForInsideFor;
    case qxi2_repeat_outside_for:
      return kPhraseRepeatOutsideFor;
    case qxi2_repeat_in_tree_loop:
      return kPhraseRepeatNeedsFilesOrFolders;
    default:
      return -1;
  }
}

}  // namespace

void template_variables::build(const qxlang& phrases) {
  std::vector<std::string> names;
  for (int row = 0; row < template_variable_count; ++row) {
    names.emplace_back(phrases.text(template_variable_row(row)->name_phrase));
  }
  build_from_names(names);
}

std::string qxi2_error_text(const qxlang& phrases, int code, const qxi2_node* node, int line,
                            int column) {
  std::string text(phrases.text(kPhraseDirectiveErrorLine));
  text += std::to_string(line);
  text += phrases.text(kPhraseDirectiveErrorColumn);
  text += std::to_string(column);
  text += phrases.text(kPhraseDirectiveErrorDetail);
  int detail = detail_phrase(code);
  if (detail < 0) return text;
  text += phrases.text(detail);
  if (code == qxi2_unclosed_block && node) {
    const qxi2_directive* directive = qxi2_directive_of(node->type);
    text += "<!--#";
    text += directive ? directive->name : "";
    text += " var=\"";
    text += node->var;
    text += "\" -->";
  }
  return text;
}

}  // namespace dirscribe
