// Byte-string helpers. Dirscribe's byte string is std::string: bytes are never
// re-encoded, the length is the byte count and any byte (also NUL) may occur.
// These functions add the orderings, escapes and token rules the program
// relies on.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dirscribe {

// Ordering used by every map: bytes compared as unsigned values up to the
// shorter length; equal prefixes (or an empty side) order by length.
// Returns <0, 0 or >0.
int compare_bytes(std::string_view a, std::string_view b);

// Strict weak ordering with compare_bytes, usable as a std::map comparator.
struct bytes_less {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return compare_bytes(a, b) < 0; }
};

// True when every byte of `text` belongs to a valid (shortest-form,
// non-surrogate) UTF-8 sequence.
bool is_valid_utf8(std::string_view text);

// Length of the valid UTF-8 sequence that starts at `text[at]` (1 for an
// ASCII byte), or 0 when the bytes there are not one.
size_t utf8_sequence_length(std::string_view text, size_t at);

// `text` with every byte that is not part of a valid UTF-8 sequence replaced
// by `replacement`, one for one; valid sequences stay as they are.
std::string replace_invalid_utf8(std::string_view text, char replacement);

// Byte-exact markup escape for files the program reads back (projects, the
// filter block, the catalog, phrases): " & < > become &quot; &amp; &lt; &gt;,
// every byte >= 128 becomes a three-digit numeric reference (&#233;). Any byte
// sequence round-trips through the document reader.
std::string markup_escape(std::string_view text);

// Markup escape for HTML output: like markup_escape, but a valid UTF-8
// sequence becomes one numeric reference of its code point ("é" -> &#233;,
// "中" -> &#20013;); a byte that is not part of a valid sequence becomes its
// three-digit byte reference.
std::string html_escape(std::string_view text);
// html_escape appended to `out`, without a temporary.
void append_html_escape(std::string& out, std::string_view text);

// Replaces every occurrence of `from` (non-empty) by `to`, left to right,
// non-overlapping. Returns the number of replacements.
int replace_all(std::string& text, std::string_view from, std::string_view to);

// Reads one token starting at `pos`: skips blanks and tabs; a token in double
// or single quotes runs to the matching quote (quotes not included), otherwise
// to the next blank. `pos` ends after the token (and its closing quote).
std::string read_token(std::string_view text, size_t& pos);

// Decimal reading as the program does it everywhere: leading white space
// skipped, optional sign, digits up to the first other byte; no digits give 0.
// Overflow wraps around in 32 bits, so "4294967295" reads as -1.
int32_t text_to_int(std::string_view text);

// The leading part of the text read as a decimal floating-point number, 0 when
// there is none. Never depends on the user's locale.
double text_to_real(std::string_view text);

// Text form of a real: "0" when the magnitude is below 1e-10 or above 1e18;
// otherwise "%.3f" above 100000 and "%.8f" else, with trailing zeros and then a
// trailing decimal point removed (2.5, 3, 123456.5).
std::string real_to_text(double value);

// Lower- and upper-case ASCII letters only; other bytes stay.
std::string ascii_lower(std::string_view text);
std::string ascii_upper(std::string_view text);

}  // namespace dirscribe
