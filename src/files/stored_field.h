// How the fields of a project file are read from and written as text, shared
// by the project's keys and the filter block's, so that both store numbers
// the same way.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "core/tagged_value.h"
#include "files/file_node.h"

namespace dirscribe {

// Signed decimal as the project file stores it: leading white space skipped,
// optional sign, digits up to the first other byte (none gives 0); overflow
// wraps in 64 bits. Times are 64 bits wide; a file written with 32-bit times
// reads unchanged.
int64_t stored_int64(std::string_view text);

// A field from its stored text: numbers as text_to_int reads them ("true"
// gives 0, " 7x" gives 7), booleans as a number not 0, the unsigned words
// wrapped from the signed value, times 64 bits wide.
void assign_stored(std::string& field, std::string text);
void assign_stored(int32_t& field, const std::string& text);
void assign_stored(uint32_t& field, const std::string& text);
void assign_stored(bool& field, const std::string& text);
void assign_stored(unix_time& field, const std::string& text);

// A field as it is stored: booleans as 0 and 1, the unsigned words as signed
// numbers, times as their decimal text.
tagged_value stored_value(const std::string& field);
tagged_value stored_value(int32_t field);
tagged_value stored_value(uint32_t field);
tagged_value stored_value(bool field);
tagged_value stored_value(unix_time field);

// True when `text` is a number as a project file should hold one: an optional
// sign and at least one decimal digit, with white space allowed around them.
// The reader takes anything ("true" as 0, "7x" as 7); this tells a value the
// user meant from one that was read by accident.
bool is_stored_number(std::string_view text);

// One key of a stored block, with whether its value is a number (every field
// but a text is).
struct stored_key {
  const char* name;
  bool number;
};

// The stored_key of a key whose field has the type `Field`.
template <class Field>
stored_key key_of(const char* name, const Field&) {
  return {name, !std::is_same_v<Field, std::string>};
}

}  // namespace dirscribe
