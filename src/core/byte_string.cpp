#include "core/byte_string.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace dirscribe {

int compare_bytes(std::string_view a, std::string_view b) {
  if (a.empty() || b.empty()) return static_cast<int>(a.size()) - static_cast<int>(b.size());
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  const int c = std::memcmp(a.data(), b.data(), n);  // memcmp compares as unsigned char
  if (c != 0) {
    for (size_t i = 0; i < n; ++i) {
      if (a[i] != b[i]) {
        return static_cast<int>(static_cast<unsigned char>(a[i])) -
               static_cast<int>(static_cast<unsigned char>(b[i]));
      }
    }
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

namespace {

void append_numeric_reference(std::string& out, unsigned value, bool three_digits) {
  char digits[16];
  const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  const size_t length = static_cast<size_t>(end - digits);
  out += "&#";
  if (three_digits && length < 3) out.append(3 - length, '0');
  out.append(digits, length);
  out += ';';
}

// Appends the escape of an ASCII byte; returns false when the byte needs none.
bool append_named_entity(std::string& out, char c) {
  switch (c) {
    case '"':
      out += "&quot;";
      return true;
    case '&':
      out += "&amp;";
      return true;
    case '<':
      out += "&lt;";
      return true;
    case '>':
      out += "&gt;";
      return true;
    default:
      return false;
  }
}

bool needs_escape(std::string_view text) {
  for (char c : text) {
    if (c == '"' || c == '&' || c == '<' || c == '>' || static_cast<unsigned char>(c) >= 128) {
      return true;
    }
  }
  return false;
}

// Length of the valid UTF-8 sequence starting at text[i] and its code point,
// or 0 when the bytes there are not a valid (shortest-form, non-surrogate)
// sequence.
size_t utf8_sequence(std::string_view text, size_t i, unsigned& code_point) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  size_t length;
  unsigned cp;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    cp = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    cp = lead & 0x07;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    const unsigned char c = byte(i + k);
    if ((c & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (c & 0x3F);
  }
  if ((length == 3 && cp < 0x800) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
      (cp >= 0xD800 && cp <= 0xDFFF)) {
    return 0;
  }
  code_point = cp;
  return length;
}

}  // namespace

bool is_valid_utf8(std::string_view text) {
  unsigned code_point = 0;
  for (size_t i = 0; i < text.size();) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      ++i;
      continue;
    }
    const size_t length = utf8_sequence(text, i, code_point);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

size_t utf8_sequence_length(std::string_view text, size_t at) {
  if (static_cast<unsigned char>(text[at]) < 0x80) return 1;
  unsigned code_point = 0;
  return utf8_sequence(text, at, code_point);
}

std::string replace_invalid_utf8(std::string_view text, char replacement) {
  std::string out;
  out.reserve(text.size());
  unsigned code_point = 0;
  for (size_t i = 0; i < text.size();) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      out += text[i++];
      continue;
    }
    const size_t length = utf8_sequence(text, i, code_point);
    if (length == 0) {
      out += replacement;
      ++i;
    } else {
      out.append(text.substr(i, length));
      i += length;
    }
  }
  return out;
}

std::string markup_escape(std::string_view text) {
  if (!needs_escape(text)) return std::string(text);
  std::string out;
  out.reserve(text.size() + text.size() / 4 + 8);
  for (char c : text) {
    if (append_named_entity(out, c)) continue;
    if (static_cast<unsigned char>(c) >= 128) {
      append_numeric_reference(out, static_cast<unsigned char>(c), true);
    } else {
      out += c;
    }
  }
  return out;
}

std::string html_escape(std::string_view text) {
  std::string out;
  append_html_escape(out, text);
  return out;
}

namespace {

#if !defined(__SSE2__)
// The bytes html_escape replaces: four markup characters and all of 128-255.
constexpr struct html_special_table {
  bool marks[256] = {};
  constexpr html_special_table() {
    marks[static_cast<unsigned char>('"')] = true;
    marks[static_cast<unsigned char>('&')] = true;
    marks[static_cast<unsigned char>('<')] = true;
    marks[static_cast<unsigned char>('>')] = true;
    for (int byte = 128; byte < 256; ++byte) marks[byte] = true;
  }
  bool operator[](unsigned char byte) const { return marks[byte]; }
} kHtmlSpecial;
#endif

// Where the first byte at or after `from` that html_escape replaces lies,
// or text.size() when there is none. Names and texts are mostly plain and
// this runs for every printed one, so sixteen bytes are looked at in one
// step where the processor can.
size_t next_html_special(std::string_view text, size_t from) {
#if defined(__SSE2__)
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i ampersand = _mm_set1_epi8('&');
  const __m128i less = _mm_set1_epi8('<');
  const __m128i greater = _mm_set1_epi8('>');
  while (from < text.size()) {
    const size_t left = text.size() - from;
    __m128i chunk;
    if (left >= 16) {
      chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + from));
    } else {
      // The tail, padded with zero bytes, which need no escape.
      alignas(16) char padded[16] = {};
      std::memcpy(padded, text.data() + from, left);
      chunk = _mm_load_si128(reinterpret_cast<const __m128i*>(padded));
    }
    const __m128i markup =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(chunk, quote), _mm_cmpeq_epi8(chunk, ampersand)),
                     _mm_or_si128(_mm_cmpeq_epi8(chunk, less), _mm_cmpeq_epi8(chunk, greater)));
    // A byte's top bit: a markup character found, or a byte of 128-255.
    const int found = _mm_movemask_epi8(_mm_or_si128(markup, chunk));
    if (found != 0) return from + static_cast<size_t>(__builtin_ctz(found));
    from += 16;
  }
  return text.size();
#else
  while (from < text.size() && !kHtmlSpecial[static_cast<unsigned char>(text[from])]) ++from;
  return from;
#endif
}

}  // namespace

void append_html_escape(std::string& out, std::string_view text) {
  // Runs that need no escape are copied whole.
  size_t plain = 0;
  for (size_t i = next_html_special(text, 0); i < text.size(); i = next_html_special(text, i)) {
    out.append(text.data() + plain, i - plain);
    const char c = text[i];
    if (static_cast<unsigned char>(c) < 128) {
      append_named_entity(out, c);
      ++i;
    } else {
      unsigned code_point = 0;
      const size_t length = utf8_sequence(text, i, code_point);
      if (length == 0) {
        append_numeric_reference(out, static_cast<unsigned char>(c), true);
        ++i;
      } else {
        append_numeric_reference(out, code_point, false);
        i += length;
      }
    }
    plain = i;
  }
  out.append(text.data() + plain, text.size() - plain);
}

int replace_all(std::string& text, std::string_view from, std::string_view to) {
  if (from.empty()) return 0;
  size_t pos = text.find(from);
  if (pos == std::string::npos) return 0;
  std::string out;
  out.reserve(text.size());
  size_t start = 0;
  int count = 0;
  while (pos != std::string::npos) {
    out.append(text, start, pos - start);
    out.append(to);
    start = pos + from.size();
    ++count;
    pos = text.find(from, start);
  }
  out.append(text, start, std::string::npos);
  text = std::move(out);
  return count;
}

std::string read_token(std::string_view text, size_t& pos) {
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  if (pos >= text.size()) return {};
  const char first = text[pos];
  if (first == '"' || first == '\'') {
    const size_t end = text.find(first, pos + 1);
    std::string token(text.substr(
        pos + 1, end == std::string_view::npos ? std::string_view::npos : end - pos - 1));
    pos = end == std::string_view::npos ? text.size() : end + 1;
    return token;
  }
  const size_t end = text.find(' ', pos);
  std::string token(
      text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos));
  pos = end == std::string_view::npos ? text.size() : end;
  return token;
}

namespace {
bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
}  // namespace

int32_t text_to_int(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && is_space(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  uint32_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10u + static_cast<uint32_t>(text[i] - '0');
  }
  if (negative) value = 0u - value;
  return static_cast<int32_t>(value);
}

double text_to_real(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && is_space(text[i])) ++i;
  if (i < text.size() && text[i] == '+') ++i;
  double value = 0;
  const auto result = std::from_chars(text.data() + i, text.data() + text.size(), value);
  if (result.ec != std::errc()) return 0;
  return value;
}

std::string real_to_text(double value) {
  const double magnitude = std::fabs(value);
  if (magnitude < 1e-10 || magnitude > 1e18 || std::isnan(value)) return "0";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, magnitude > 100000 ? "%.3f" : "%.8f", value);
  std::string text(buffer);
  if (text.find('.') != std::string::npos) {
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
  }
  return text;
}

std::string ascii_lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::string ascii_upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

}  // namespace dirscribe
