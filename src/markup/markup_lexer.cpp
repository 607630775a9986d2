#include "markup/markup_lexer.h"

#include <utility>

#include "core/byte_string.h"

namespace dirscribe {

namespace {

bool is_letter(int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_name_start(int c) { return is_letter(c) || c == '_' || c == ':'; }
bool is_name_char(int c) {
  return is_name_start(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}
bool is_blank(int c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Declarations told apart after "<!", as bits of the candidate set.
struct declaration_spelling {
  int bit;
  std::string_view spelling;
  int kind;
};
constexpr int candidate_comment = 1;
constexpr int candidate_cdata = 2;
constexpr int candidate_doctype = 4;
constexpr int candidate_element = 8;
constexpr int candidate_entity = 16;
constexpr int candidate_attlist = 32;
constexpr declaration_spelling kSpellings[] = {
    {candidate_comment, "<!--", kind_comment},
    {candidate_cdata, "<![CDATA[", kind_cdata},
    {candidate_doctype, "<!DOCTYPE", kind_doctype},
    {candidate_element, "<!ELEMENT", kind_element_decl},
    {candidate_entity, "<!ENTITY", kind_entity},
    {candidate_attlist, "<!ATTLIST", kind_attlist},
};

// Bytes that end a bulk read: everything the scan step treats specially.
struct run_stops {
  bool stop[256] = {};
  constexpr run_stops() {
    for (unsigned char c : {'<', '>', '"', '\'', '\\', '\n'}) stop[c] = true;
  }
};
constexpr run_stops kRunStops;

}  // namespace

void parse_attributes(std::string_view text, const attribute_options& options,
                      markup_attributes& out) {
  out.element_name.clear();
  out.map.clear();
  out.list.clear();
  bool have_element = false;
  bool have_pending = false;
  std::string pending;
  auto record = [&](std::string name, std::string value) {
    if (options.as_list) {
      out.list.push_back(std::move(name));
      out.list.push_back(std::move(value));
    } else {
      out.map.set(std::move(name), tagged_value(std::move(value)));
    }
  };
  // Reads a quoted part starting at the quote; returns its content.
  auto read_quoted = [&](size_t& i) {
    std::string value;
    const char quote = text[i++];
    while (i < text.size() && text[i] != quote) {
      if (options.backslash && text[i] == '\\' && i + 1 < text.size()) {
        value.push_back(text[i + 1]);
        i += 2;
        continue;
      }
      value.push_back(text[i++]);
    }
    if (i < text.size()) ++i;  // the closing quote
    return value;
  };

  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    const unsigned char c = text[i];
    if (is_name_start(c)) {
      const size_t start = i;
      while (i < n && is_name_char(static_cast<unsigned char>(text[i]))) ++i;
      std::string name(text.substr(start, i - start));
      if (options.lower_case_names) {
        for (char& letter : name) {
          if (letter >= 'A' && letter <= 'Z') letter = static_cast<char>(letter - 'A' + 'a');
        }
      }
      if (!have_element) {
        out.element_name = std::move(name);
        have_element = true;
        if (options.name_only) return;
      } else {
        if (have_pending) record(std::move(pending), std::string());
        pending = std::move(name);
        have_pending = true;
      }
      continue;
    }
    if (c == '=' && have_pending) {
      ++i;
      while (i < n && is_blank(static_cast<unsigned char>(text[i]))) ++i;
      std::string value;
      if (i < n && (text[i] == '"' || text[i] == '\'')) {
        value = read_quoted(i);
      } else {
        const size_t start = i;
        while (i < n && !is_blank(static_cast<unsigned char>(text[i]))) ++i;
        value.assign(text.substr(start, i - start));
      }
      record(std::move(pending), std::move(value));
      have_pending = false;
      continue;
    }
    if (c == '"' || c == '\'') {
      read_quoted(i);  // a quoted part where no value is expected
      continue;
    }
    ++i;  // blanks end names; anything else fits nowhere
  }
  if (have_pending) record(std::move(pending), std::string());
}

markup_lexer::markup_lexer() {
  // end delimiter, quote-aware, nested, backslash
  set_row(0, "#>", false, false, false);
  set_row(kind_start_tag, "#>", true, true, false);
  set_row(kind_end_tag, "#>", false, false, false);
  set_row(kind_empty_element, "/>", true, true, false);
  set_row(kind_declaration, "#>", false, true, false);
  set_row(kind_comment, "#>", true, true, false);
  set_row(kind_cdata, "]]>", false, false, false);
  set_row(kind_doctype, "#>", false, true, false);
  set_row(kind_element_decl, "#>", false, false, false);
  set_row(kind_attlist, "#>", false, false, false);
  set_row(kind_entity, "#>", false, false, false);
  set_row(kind_processing, "?>", true, false, true);
  set_row(kind_percent, "%>", true, false, true);
  set_row(kind_hash, "#>", true, false, true);
  set_row(kind_directive, "-->", true, false, true);
  set_row(kind_other, "#>", false, true, false);
  entities_.set(std::string("amp"), tagged_value("&"));
  entities_.set(std::string("lt"), tagged_value("<"));
  entities_.set(std::string("gt"), tagged_value(">"));
  entities_.set(std::string("apos"), tagged_value("'"));
  entities_.set(std::string("quot"), tagged_value("\""));
}

markup_lexer::~markup_lexer() = default;

void markup_lexer::enable_kinds(uint32_t kinds) {
  for (int kind = 1; kind < kind_count; ++kind) enabled_[kind] = (kinds >> (kind - 1)) & 1;
}

bool markup_lexer::kind_enabled(int kind) const {
  return kind >= 0 && kind < kind_count && enabled_[kind];
}

void markup_lexer::set_row(int kind, std::string_view end_delimiter, bool quote_aware, bool nested,
                           bool backslash) {
  if (kind < 0 || kind >= kind_count) return;
  tag_description& row = table_[kind];
  row.end_delimiter.assign(end_delimiter);
  row.quote_aware = quote_aware;
  row.nested = nested;
  row.backslash = backslash;
}

int markup_lexer::text_hook() { return 0; }
int markup_lexer::markup_hook() { return 0; }

int markup_lexer::end_hook() {
  reset_read_position();
  // An unfinished markup is delivered as text, enclosing markups first.
  if (!saved_.empty()) {
    std::string all;
    for (const auto& state : saved_) all += state->token;
    all += token_;
    token_ = std::move(all);
    saved_.clear();
  }
  in_markup_ = false;
  detecting_ = false;
  in_single_quotes_ = false;
  in_double_quotes_ = false;
  escape_pending_ = false;
  const int result = text_hook();
  token_.clear();
  return result != 0 ? result : 2;
}

void markup_lexer::start_markup() {
  if (in_markup_) {
    auto state = std::make_unique<parser_state>();
    state->token = std::move(token_);
    state->in_single_quotes = in_single_quotes_;
    state->in_double_quotes = in_double_quotes_;
    state->escape_pending = escape_pending_;
    state->in_markup = in_markup_;
    state->kind = kind_;
    state->detecting = detecting_;
    state->candidates = candidates_;
    saved_.push_back(std::move(state));
  }
  token_.assign(1, '<');
  in_markup_ = true;
  kind_ = kind_other;
  detecting_ = true;
  candidates_ = 0;
  in_single_quotes_ = false;
  in_double_quotes_ = false;
  escape_pending_ = false;
  current_.end_delimiter.assign(1, '>');
  current_.quote_aware = false;
  current_.nested = false;
  current_.backslash = false;
}

void markup_lexer::load_row(int kind) {
  if (detecting_ || kind < 0 || kind >= kind_count) {
    current_.end_delimiter.assign(1, '>');
    current_.quote_aware = current_.nested = current_.backslash = false;
    return;
  }
  current_ = table_[kind];
}

void markup_lexer::restore_state() {
  std::unique_ptr<parser_state> state = std::move(saved_.back());
  saved_.pop_back();
  token_ = std::move(state->token);
  in_single_quotes_ = state->in_single_quotes;
  in_double_quotes_ = state->in_double_quotes;
  escape_pending_ = state->escape_pending;
  in_markup_ = state->in_markup;
  kind_ = state->kind;
  detecting_ = state->detecting;
  candidates_ = state->candidates;
  load_row(kind_);
}

void markup_lexer::settle_kind() {
  detecting_ = false;
  if (kind_enabled(kind_)) {
    load_row(kind_);
    return;
  }
  if (saved_.empty()) {
    // With keep text on the characters read so far simply continue as text.
    in_markup_ = false;
    if (!keep_text_) token_.clear();
    return;
  }
  // A nested markup of a disabled kind goes back into the enclosing one.
  std::string read = std::move(token_);
  restore_state();
  token_ += read;
}

void markup_lexer::detect_kind() {
  const size_t n = token_.size();
  if (n < 2) return;  // just the "<"
  const int c = static_cast<unsigned char>(token_.back());
  if (n == 2) {
    if (is_name_start(c)) {
      kind_ = kind_start_tag;
    } else if (c == '/') {
      kind_ = kind_end_tag;
    } else if (c == '?') {
      kind_ = kind_processing;
    } else if (c == '%') {
      kind_ = kind_percent;
    } else if (c == '#') {
      kind_ = kind_hash;
    } else if (c == '!') {
      kind_ = kind_declaration;
      return;  // detection goes on
    } else {
      kind_ = kind_other;
    }
    settle_kind();
    return;
  }
  if (n == 3) {
    switch (c) {
      case '-':
        candidates_ = candidate_comment;
        return;
      case 'D':
        candidates_ = candidate_doctype;
        return;
      case 'E':
        candidates_ = candidate_element | candidate_entity;
        return;
      case 'A':
        candidates_ = candidate_attlist;
        return;
      case '[':
        candidates_ = candidate_cdata;
        return;
      default:
        settle_kind();
        return;  // kind 4
    }
  }
  if (n >= 4 && n <= 9) {
    bool fits = false;
    int completed = 0;
    for (const declaration_spelling& spelling : kSpellings) {
      if (!(candidates_ & spelling.bit) || spelling.spelling.size() < n) continue;
      if (static_cast<unsigned char>(spelling.spelling[n - 1]) != c) continue;
      fits = true;
      if (spelling.spelling.size() == n) completed = spelling.kind;
    }
    if (completed == kind_comment) {
      kind_ = kind_comment;  // "<!--": a "#" may still follow
      return;
    }
    if (completed != 0) {
      kind_ = completed;
      settle_kind();
      return;
    }
    if (fits) return;
    if (kind_ == kind_comment && n == 5 && c == '#') kind_ = kind_directive;
    settle_kind();
    return;
  }
  settle_kind();
}

void markup_lexer::take_quote(char quote, bool& open, bool other_open) {
  if (in_markup_) {
    if (!other_open) open = !open;
    token_.push_back(quote);
  } else if (keep_text_) {
    token_.push_back(quote);
  }
}

int markup_lexer::scan() {
  if (queued_bytes() > size_limit()) return scan_too_long;
  for (;;) {
    const int c = next_char();
    if (c == input_exhausted) return scan_needs_more;
    if (c == input_ended) return end_hook();
    if (escape_pending_) {
      escape_pending_ = false;
      token_.push_back(static_cast<char>(c));
      continue;
    }
    switch (c) {
      case '<':
        if (!in_markup_) {
          const int result = keep_text_ ? text_hook() : 0;
          start_markup();
          if (result != 0) return result;
        } else if (current_.nested) {
          start_markup();
        } else {
          token_.push_back('<');
        }
        break;
      case '"':
        take_quote('"', in_double_quotes_, in_single_quotes_);
        break;
      case '\'':
        take_quote('\'', in_single_quotes_, in_double_quotes_);
        break;
      case '>': {
        if (in_markup_ || keep_text_) token_.push_back('>');
        if (!in_markup_) break;
        const bool quoted = in_single_quotes_ || in_double_quotes_;
        const std::string& end = current_.end_delimiter;
        if ((quoted && current_.quote_aware) || token_.size() <= end.size() ||
            token_.compare(token_.size() - end.size(), end.size(), end) != 0) {
          break;
        }
        const int result = markup_hook();
        if (saved_.empty()) {
          in_markup_ = false;
          escape_pending_ = false;
          detecting_ = false;
          token_.clear();
        } else {
          restore_state();
        }
        if (result != 0) return result;
        break;
      }
      case '\\':
        if (in_markup_) {
          if (current_.backslash && (in_single_quotes_ || in_double_quotes_)) {
            escape_pending_ = true;
          }
          token_.push_back('\\');
        } else if (keep_text_) {
          token_.push_back('\\');
        }
        break;
      default:
        if (in_markup_ || keep_text_) token_.push_back(static_cast<char>(c));
        // The bytes up to the next special one change nothing but the token.
        if (bulk_reads_ && !detecting_) {
          read_run(kRunStops.stop, (in_markup_ || keep_text_) ? &token_ : nullptr);
        }
        break;
    }
    if (in_markup_ && detecting_) detect_kind();
  }
}

}  // namespace dirscribe
