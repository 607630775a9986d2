#include "markup/xml_reader.h"

#include <new>
#include <string>
#include <utility>

#include "core/byte_string.h"
#include "platform/regex_service.h"

namespace dirscribe {

namespace {

// A node, or nullptr when memory is exhausted (the reader then fails with 3
// instead of throwing).
std::unique_ptr<xml_node> new_node() {
  return std::unique_ptr<xml_node>(new (std::nothrow) xml_node);
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The part of a numeric reference between "&#" and ";": at most three
// characters counting the "x"; decimal values above 255 are refused.
bool decode_numeric(std::string_view inner, std::string& out) {
  if (inner.empty() || inner.size() > 3) return false;
  int value = 0;
  if (inner[0] == 'x' || inner[0] == 'X') {
    if (inner.size() < 2) return false;
    for (char c : inner.substr(1)) {
      const int digit = hex_digit(c);
      if (digit < 0) return false;
      value = value * 16 + digit;
    }
  } else {
    // A reference such as "&#1a;" is no decimal number: refuse it rather
    // than reading its leading digits.
    for (char c : inner) {
      if (c < '0' || c > '9') return false;
      value = value * 10 + (c - '0');
    }
    if (value > 255) return false;
  }
  out.assign(1, static_cast<char>(value));
  return true;
}

}  // namespace

xml_reader::xml_reader(xml_tree& tree) : tree_(tree) {
  enable_kinds(0x437);
  set_row(kind_start_tag, ">", false, false, false);
  set_row(kind_end_tag, ">", false, false, false);
  set_row(kind_empty_element, ">", false, false, false);
  set_row(kind_comment, "-->", false, false, false);
  set_row(kind_cdata, "]]>", false, false, false);
  set_size_limit(xml_size_limit);
}

void xml_reader::append_chunk(std::string chunk) {
  if (!normalise_line_ends_ || chunk.empty()) {
    markup_lexer::append_chunk(std::move(chunk));
    return;
  }
  // A CR LF pair split between two chunks is still one line end.
  size_t i = (pending_cr_ && chunk[0] == '\n') ? 1 : 0;
  pending_cr_ = false;
  if (i == 0 && chunk.find('\r') == std::string::npos) {
    markup_lexer::append_chunk(std::move(chunk));
    return;
  }
  std::string out;
  out.reserve(chunk.size());
  for (; i < chunk.size(); ++i) {
    if (chunk[i] != '\r') {
      out.push_back(chunk[i]);
      continue;
    }
    out.push_back('\n');
    if (i + 1 < chunk.size()) {
      if (chunk[i + 1] == '\n') ++i;
    } else {
      pending_cr_ = true;
    }
  }
  markup_lexer::append_chunk(std::move(out));
}

int xml_reader::end_hook() {
  const int result = markup_lexer::end_hook();
  if (result != 2) return result;
  return open_elements_ > 0 ? xml_unclosed_tag : 2;
}

namespace {

// The replace loop of regex_substitute over an expression compiled once:
// every match is handed to `decode` without `cut_start` leading and `cut_end`
// trailing characters; a refused match becomes "!". Stops at the first empty
// match, as the service does.
template <class Decode>
void substitute(const compiled_regex& regex, std::string& text, size_t cut_start, size_t cut_end,
                Decode decode) {
  std::string out;
  std::string replacement;
  bool matched = false;
  size_t offset = 0;
  size_t start = 0;
  size_t end = 0;
  while (offset < text.size() && regex.find(text, offset, start, end) && start != end) {
    out.append(text, offset, start - offset);
    std::string_view inner;
    if (cut_start + cut_end < end - start) {
      inner = std::string_view(text).substr(start + cut_start, end - start - cut_start - cut_end);
    }
    replacement.clear();
    if (decode(inner, replacement)) {
      out += replacement;
    } else {
      out += '!';
    }
    matched = true;
    offset = end;
  }
  if (!matched) return;
  out.append(text, offset, std::string::npos);
  text = std::move(out);
}

}  // namespace

void xml_reader::decode_entities(std::string& text) const {
  if (text.find('&') == std::string::npos) return;
  const bool folded = entity_names_folded();
  // The expressions are compiled at the first reference of a document, not
  // once per text.
  if (!patterns_compiled_ || patterns_folded_ != folded) {
    const int flags = folded ? regex_icase : regex_default;
    numeric_reference_.compile("&#x?[0-9a-fA-F]+;", flags);
    named_reference_.compile("&[a-zA-Z_:][a-zA-Z_:0-9\\.\\-]*;", flags);
    patterns_compiled_ = true;
    patterns_folded_ = folded;
  }
  // Each pass runs only when its pattern can match at all.
  if (text.find("&#") != std::string::npos) {
    substitute(numeric_reference_, text, 2, 1, decode_numeric);
    if (text.find('&') == std::string::npos) return;
  }
  substitute(named_reference_, text, 1, 1, [&](std::string_view name, std::string& out) {
    const tagged_value* value =
        folded ? entities().lookup(ascii_lower(name)) : entities().lookup(name);
    if (!value) return false;
    out = value->to_text();
    return true;
  });
}

void xml_reader::place(std::unique_ptr<xml_node> node) {
  xml_node* placed;
  if (!current_) {
    placed = tree_.append_top(std::move(node));
  } else if (placement_ == 1) {
    placed = tree_.append_child(current_, std::move(node));
  } else if (placement_ == 2 && current_->parent()) {
    placed = tree_.append_after_siblings(current_->parent(), std::move(node));
  } else {
    placed = tree_.append_after_siblings(current_, std::move(node));
  }
  current_ = placed;
}

int xml_reader::text_hook() {
  std::string& run = token();
  if (run.empty()) return 0;
  std::unique_ptr<xml_node> node = new_node();
  if (!node) return 3;
  node->type = xml_text;
  // Copied rather than moved: the token keeps its buffer for the next run.
  node->raw = run;
  node->text = run;
  decode_entities(node->text);
  node->closed = true;
  run.clear();
  place(std::move(node));
  placement_ = 3;
  return 0;
}

int xml_reader::markup_hook() {
  std::string& markup = token();
  std::unique_ptr<xml_node> node = new_node();
  if (!node) return 3;
  int type = kind();
  // The markup without its first and last character.
  const std::string_view inner = markup.size() >= 2
                                     ? std::string_view(markup).substr(1, markup.size() - 2)
                                     : std::string_view();
  if (type == kind_start_tag) {
    if (markup.size() >= 2 && markup[markup.size() - 2] == '/') type = xml_empty_element;
    attribute_options options;
    options.lower_case_names = lower_case_names_;
    options.as_list = true;
    parse_attributes(inner, options, attributes_);
    node->name = std::move(attributes_.element_name);
    std::vector<std::string>& list = attributes_.list;
    for (size_t i = 0; i + 1 < list.size(); i += 2) {
      decode_entities(list[i + 1]);
      if (attributes_as_map_) {
        node->attributes.set(std::move(list[i]), tagged_value(std::move(list[i + 1])));
      } else {
        node->attributes.set(list[i], tagged_value(list[i + 1]));
      }
    }
    if (!attributes_as_map_) node->attribute_list = std::move(list);
  } else if (type == kind_end_tag) {
    attribute_options options;
    options.lower_case_names = lower_case_names_;
    options.name_only = true;
    parse_attributes(inner, options, attributes_);
    node->name = std::move(attributes_.element_name);
  } else if (type == kind_cdata) {
    if (markup.size() >= 12) node->text = markup.substr(9, markup.size() - 12);
    type = xml_text;
  }
  node->type = type;
  node->raw = markup;  // the token keeps its buffer for the next markup
  markup.clear();
  node->closed = type != xml_start_tag && type != xml_end_tag;
  if (type != xml_end_tag) {
    if (type == xml_start_tag) ++open_elements_;
    place(std::move(node));
    placement_ = type == xml_start_tag ? 1 : 3;
    return 0;
  }

  xml_node* current = current_;
  if (!current) return xml_misplaced_end_tag;
  if (current->type == xml_start_tag && !current->closed && current->name == node->name) {
    // <a></a>: the element had no content.
    current->type = xml_empty_element;
    current->closed = true;
    --open_elements_;
    placement_ = 3;
    return 0;
  }
  for (xml_node* ancestor = current->parent(); ancestor; ancestor = ancestor->parent()) {
    if (ancestor->closed) {
      current_ = ancestor;
      placement_ = 3;
      continue;
    }
    if (ancestor->name == node->name) {
      ancestor->closed = true;
      --open_elements_;
      node->closed = true;
    }
    break;
  }
  if (!node->closed) return xml_misplaced_end_tag;
  place(std::move(node));
  placement_ = 2;
  return 0;
}

std::string xml_reader::error_text(int code) const {
  std::string text =
      "Line: " + std::to_string(line()) + ", column: " + std::to_string(column()) + "\r\nError: ";
  switch (code) {
    case 1:
      text += "size exceeded.\r\n";
      break;
    case 3:
      text += "unknown error.\r\n";
      break;
    case xml_misplaced_end_tag:
      text += "misplaced end tag.\r\n";
      break;
    case xml_unclosed_tag:
      text += "unclosed tag.\r\n";
      break;
    default:
      break;
  }
  return text;
}

}  // namespace dirscribe
