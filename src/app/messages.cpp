#include "app/messages.h"

#include <array>
#include <cstdio>

namespace dirscribe {

namespace {

// The tags the phrases use for a message box's rich text, and what each
// becomes in plain text.
struct tag_text {
  std::string_view tag;
  std::string_view plain;
};
constexpr std::array<tag_text, 7> kTags = {{
    {"<b>", ""},
    {"</b>", ""},
    {"<i>", ""},
    {"</i>", ""},
    {"<br>", " "},
    {"<br/>", " "},
    {"<br />", " "},
}};

}  // namespace

std::string plain_text(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  // A line break becomes a blank unless one is there already, and a blank
  // right after it is not doubled.
  bool after_break = false;
  const auto line_break = [&] {
    if (!out.empty() && out.back() != ' ') out += ' ';
    after_break = true;
  };
  for (size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      line_break();
      ++i;
      continue;
    }
    const tag_text* tag = nullptr;
    if (c == '<') {
      for (const tag_text& known : kTags) {
        if (text.substr(i, known.tag.size()) == known.tag) tag = &known;
      }
    }
    if (tag) {
      if (!tag->plain.empty()) line_break();
      i += tag->tag.size();
      continue;
    }
    if (!(c == ' ' && after_break && !out.empty() && out.back() == ' ')) out += c;
    after_break = after_break && c == ' ';
    ++i;
  }
  // A break at the end leaves no blank behind; the text's own blanks stay.
  if (after_break && !out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

void show_message(std::string_view text) {
  std::string line(kProgramTitle);
  line += ": ";
  line += plain_text(text);
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

}  // namespace dirscribe
