#include "core/value_list.h"

namespace dirscribe {

void value_list::append(tagged_value value) {
  items_.push_back(std::move(value));
  reset();
}

void value_list::prepend(tagged_value value) {
  items_.push_front(std::move(value));
  reset();
}

bool value_list::remove_first(tagged_value& out) {
  if (items_.empty()) return false;
  out = std::move(items_.front());
  items_.pop_front();
  reset();
  return true;
}

bool value_list::remove_last(tagged_value& out) {
  if (items_.empty()) return false;
  out = std::move(items_.back());
  items_.pop_back();
  reset();
  return true;
}

bool value_list::get(int i, tagged_value& out) const {
  if (i < 0 || i >= count()) return false;
  out = items_[static_cast<size_t>(i)];
  return true;
}

bool value_list::remove_at(int i) {
  if (i < 0 || i >= count()) return false;
  items_.erase(items_.begin() + i);
  return true;
}

tagged_value& value_list::at(int i) {
  if (i >= 0 && i < count()) return items_[static_cast<size_t>(i)];
  items_.emplace_back();
  return items_.back();
}

void value_list::clear() {
  items_.clear();
  cursor_ = 0;
  cursor_index_ = -1;
}

void value_list::take_over(value_list& other) {
  items_ = std::move(other.items_);
  other.clear();
  reset();
}

void value_list::reset() {
  cursor_ = forward_ ? 0 : count() - 1;
  cursor_index_ = 0;
}

bool value_list::next(tagged_value& out) {
  if (cursor_index_ < 0) reset();
  if (cursor_ < 0 || cursor_ >= count()) return false;
  out = items_[static_cast<size_t>(cursor_)];
  cursor_ += forward_ ? 1 : -1;
  ++cursor_index_;
  return true;
}

}  // namespace dirscribe
