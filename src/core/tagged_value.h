// tagged_value: the tagged value that carries attributes, phrases, template variable
// values and project keys. A new value is the integer 0. Copies are deep.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dirscribe {

class tagged_value {
 public:
  // Type tags; the numbers are part of the program's conventions.
  enum class kind : int16_t { string = 2, boolean = 5, integer = 11, real = 23, pointer = 101 };

  tagged_value() = default;
  tagged_value(int32_t value)
      : kind_(kind::integer), integer_(value) {}                       // NOLINT: implicit by design
  tagged_value(bool value) : kind_(kind::boolean), boolean_(value) {}  // NOLINT
  tagged_value(double value) : kind_(kind::real), real_(value) {}      // NOLINT
  tagged_value(std::string value) : kind_(kind::string), text_(std::move(value)) {}    // NOLINT
  tagged_value(std::string_view value) : kind_(kind::string), text_(value) {}          // NOLINT
  tagged_value(const char* value) : kind_(kind::string), text_(value ? value : "") {}  // NOLINT
  // A pointer value never owns what it points at.
  static tagged_value from_pointer(const void* pointer);

  kind type() const { return kind_; }
  bool is_string() const { return kind_ == kind::string; }

  // Conversions. to_text: integer "%d", boolean "0"/"1", pointer "0x%x", real by
  // real_to_text. to_int: decimal reading of text (text_to_int), truncation of
  // reals. to_bool: non-zero number, or a text whose integer reading is non-zero.
  std::string to_text() const;
  int32_t to_int() const;
  bool to_bool() const;
  double to_real() const;
  const void* to_pointer() const { return kind_ == kind::pointer ? pointer_ : nullptr; }
  // First character: '1'/'0' for a boolean, the first byte of a text (0 when
  // empty), otherwise the first character of the text form.
  char first_char() const;

  // The text of a string value (empty for other kinds); no conversion.
  const std::string& text() const { return text_; }
  // Hands the text buffer over and leaves this value the integer 0.
  std::string take_text();
  // Makes this an empty text value and gives its text to be written in
  // place: the memory of an earlier text is used again, so a value that is
  // filled for every entry of a listing allocates only when it grows.
  std::string& text_to_fill() {
    kind_ = kind::string;
    text_.clear();
    return text_;
  }

  // Converts in place to the given kind.
  void convert_to(kind target);

  bool operator==(const tagged_value& other) const;

 private:
  kind kind_ = kind::integer;
  union {
    int32_t integer_ = 0;
    bool boolean_;
    double real_;
    const void* pointer_;
  };
  std::string text_;
};

}  // namespace dirscribe
