#include "template/template_parser.h"

#include <string_view>
#include <utility>

namespace dirscribe {

namespace {

constexpr std::string_view kDirectiveStart = "<!--#";
constexpr std::string_view kDirectiveEnd = "-->";

}  // namespace

template_markup_reader::template_markup_reader() {
  enable_kinds(1u << (kind_directive - 1));
  // Quotes do not shield the end string and a backslash is an ordinary
  // character. A "<" inside a directive is an ordinary character as well:
  // with nested markup on, a stray "<>" inside a quoted value would be cut
  // out of the directive and printed in front of it.
  set_row(kind_directive, kDirectiveEnd, false, false, false);
  set_keep_text(true);
  set_size_limit(template_size_limit);
}

template_structure_parser::template_structure_parser(const phrase_table& phrases,
                                                     template_tree& tree)
    : phrases_(phrases), tree_(tree), builder_(tree, this) {}

int template_structure_parser::feed(std::string piece) {
  if (result_ != 0) return result_;
  append_chunk(std::move(piece));
  result_ = scan();
  return result_;
}

int template_structure_parser::finish() {
  if (result_ != 0) return result_;
  set_end_of_input(true);
  result_ = scan();
  return result_;
}

std::string template_structure_parser::error_text(int code, const template_node* node) const {
  return template_error_text(phrases_, code, node, line(), column());
}

int template_structure_parser::text_hook() { return builder_.add_text(token()); }

int template_structure_parser::markup_hook() {
  // A ">" that ends a markup while its kind was still being detected ("<>",
  // "<!>", "<!-->") arrives here as well; it is text like any other markup.
  if (kind() != kind_directive || token().size() < kDirectiveStart.size() + kDirectiveEnd.size()) {
    return builder_.add_text(token());
  }
  return add_directive(token());
}

int template_structure_parser::add_directive(const std::string& markup) {
  std::string_view inner(markup);
  inner.remove_prefix(kDirectiveStart.size());
  inner.remove_suffix(kDirectiveEnd.size());
  attribute_options options;
  options.lower_case_names = true;
  options.backslash = true;
  markup_attributes parsed;
  parse_attributes(inner, options, parsed);
  return builder_.add_directive(parsed.element_name, std::move(parsed.map), markup);
}

int template_structure_parser::check_node(template_node&) { return 0; }

template_parser::template_parser(const phrase_table& phrases, template_tree& tree)
    : template_structure_parser(phrases, tree) {
  variables_.build(phrases);
}

int template_parser::check_node(template_node& node) {
  return template_check_directive(variables_, node);
}

}  // namespace dirscribe
