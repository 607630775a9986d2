#include "core/tagged_value.h"

#include <cinttypes>
#include <cstdio>

#include "core/byte_string.h"

namespace dirscribe {

tagged_value tagged_value::from_pointer(const void* pointer) {
  tagged_value value;
  value.kind_ = kind::pointer;
  value.pointer_ = pointer;
  return value;
}

std::string tagged_value::to_text() const {
  switch (kind_) {
    case kind::string:
      return text_;
    case kind::boolean:
      return boolean_ ? "1" : "0";
    case kind::integer:
      return std::to_string(integer_);
    case kind::real:
      return real_to_text(real_);
    case kind::pointer: {
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, "0x%" PRIxPTR, reinterpret_cast<uintptr_t>(pointer_));
      return buffer;
    }
  }
  return {};
}

int32_t tagged_value::to_int() const {
  switch (kind_) {
    case kind::string:
      return text_to_int(text_);
    case kind::boolean:
      return boolean_ ? 1 : 0;
    case kind::integer:
      return integer_;
    case kind::real:
      if (!(real_ > -2147483649.0 && real_ < 2147483648.0)) return 0;
      return static_cast<int32_t>(real_);
    case kind::pointer:
      return static_cast<int32_t>(reinterpret_cast<uintptr_t>(pointer_));
  }
  return 0;
}

bool tagged_value::to_bool() const {
  switch (kind_) {
    case kind::string:
      return text_to_int(text_) != 0;
    case kind::boolean:
      return boolean_;
    case kind::integer:
      return integer_ != 0;
    case kind::real:
      return real_ != 0;
    case kind::pointer:
      return pointer_ != nullptr;
  }
  return false;
}

double tagged_value::to_real() const {
  switch (kind_) {
    case kind::string:
      return text_to_real(text_);
    case kind::boolean:
      return boolean_ ? 1 : 0;
    case kind::integer:
      return integer_;
    case kind::real:
      return real_;
    case kind::pointer:
      return 0;
  }
  return 0;
}

char tagged_value::first_char() const {
  if (kind_ == kind::boolean) return boolean_ ? '1' : '0';
  if (kind_ == kind::string) return text_.empty() ? '\0' : text_[0];
  const std::string text = to_text();
  return text.empty() ? '\0' : text[0];
}

std::string tagged_value::take_text() {
  std::string out = std::move(text_);
  text_.clear();
  kind_ = kind::integer;
  integer_ = 0;
  return out;
}

void tagged_value::convert_to(kind target) {
  if (target == kind_) return;
  switch (target) {
    case kind::string:
      text_ = to_text();
      break;
    case kind::boolean: {
      const bool value = to_bool();
      boolean_ = value;
      break;
    }
    case kind::integer: {
      const int32_t value = to_int();
      integer_ = value;
      break;
    }
    case kind::real: {
      const double value = to_real();
      real_ = value;
      break;
    }
    case kind::pointer:
      pointer_ = nullptr;
      break;
  }
  kind_ = target;
}

bool tagged_value::operator==(const tagged_value& other) const {
  if (kind_ != other.kind_) return false;
  switch (kind_) {
    case kind::string:
      return text_ == other.text_;
    case kind::boolean:
      return boolean_ == other.boolean_;
    case kind::integer:
      return integer_ == other.integer_;
    case kind::real:
      return real_ == other.real_;
    case kind::pointer:
      return pointer_ == other.pointer_;
  }
  return false;
}

}  // namespace dirscribe
