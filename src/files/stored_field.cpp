#include "files/stored_field.h"

#include "core/byte_string.h"

namespace dirscribe {

int64_t stored_int64(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  uint64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + static_cast<uint64_t>(text[i] - '0');
  }
  return static_cast<int64_t>(negative ? ~value + 1 : value);
}

void assign_stored(std::string& field, std::string text) { field = std::move(text); }
void assign_stored(int32_t& field, const std::string& text) { field = text_to_int(text); }
void assign_stored(uint32_t& field, const std::string& text) {
  field = static_cast<uint32_t>(text_to_int(text));
}
void assign_stored(bool& field, const std::string& text) { field = text_to_int(text) != 0; }
void assign_stored(unix_time& field, const std::string& text) { field = stored_int64(text); }

tagged_value stored_value(const std::string& field) { return tagged_value(field); }
tagged_value stored_value(int32_t field) { return tagged_value(field); }
tagged_value stored_value(uint32_t field) { return tagged_value(static_cast<int32_t>(field)); }
tagged_value stored_value(bool field) { return tagged_value(static_cast<int32_t>(field ? 1 : 0)); }
tagged_value stored_value(unix_time field) { return tagged_value(std::to_string(field)); }

bool is_stored_number(std::string_view text) {
  const auto is_space = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  size_t i = 0;
  while (i < text.size() && is_space(text[i])) ++i;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  const size_t digits = i;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  if (i == digits) return false;
  while (i < text.size() && is_space(text[i])) ++i;
  return i == text.size();
}

}  // namespace dirscribe
