#include "app/messages.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "core/byte_string.h"

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

std::string terminal_safe(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  const auto hex_escape = [](std::string& out, unsigned char byte) {
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0xf];
  };
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0x80) {
      // C1 controls are U+0080 to U+009F: 0xC2 then 0x80 to 0x9F. A byte
      // that is not part of valid UTF-8 is escaped too: a terminal that
      // reads 8-bit controls would take 0x9B for CSI.
      const size_t length = utf8_sequence_length(text, i);
      const bool c1 = length == 2 && byte == 0xc2 && static_cast<unsigned char>(text[i + 1]) < 0xa0;
      if (length == 0 || c1) {
        for (size_t end = i + std::max<size_t>(length, 1); i < end; ++i) {
          hex_escape(out, static_cast<unsigned char>(text[i]));
        }
        --i;
        continue;
      }
      out.append(text.substr(i, length));
      i += length - 1;
      continue;
    }
    if (byte == '\t' || (byte >= 0x20 && byte < 0x7f)) {
      out += static_cast<char>(byte);
      continue;
    }
    switch (byte) {
      case 0x1b:
        out += "\\e";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        hex_escape(out, byte);
    }
  }
  return out;
}

std::string message_line(std::string_view text) {
  std::string line(kProgramTitle);
  line += ": ";
  // Escaped first: a line break inside a quoted name is shown as one, and
  // only the phrases' own markup is turned into blanks.
  line += plain_text(terminal_safe(text));
  line += '\n';
  return line;
}

void show_message(std::string_view text) {
  const std::string line = message_line(text);
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

}  // namespace dirscribe
