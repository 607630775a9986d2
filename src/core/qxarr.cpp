#include "core/qxarr.h"

namespace dirscribe {

void qxarr::append(qxval value) {
  items_.push_back(std::move(value));
  reset();
}

void qxarr::prepend(qxval value) {
  items_.push_front(std::move(value));
  reset();
}

bool qxarr::remove_first(qxval& out) {
  if (items_.empty()) return false;
  out = std::move(items_.front());
  items_.pop_front();
  reset();
  return true;
}

bool qxarr::remove_last(qxval& out) {
  if (items_.empty()) return false;
  out = std::move(items_.back());
  items_.pop_back();
  reset();
  return true;
}

bool qxarr::get(int i, qxval& out) const {
  if (i < 0 || i >= count()) return false;
  out = items_[static_cast<size_t>(i)];
  return true;
}

bool qxarr::remove_at(int i) {
  if (i < 0 || i >= count()) return false;
  items_.erase(items_.begin() + i);
  return true;
}

qxval& qxarr::at(int i) {
  if (i >= 0 && i < count()) return items_[static_cast<size_t>(i)];
  items_.emplace_back();
  return items_.back();
}

void qxarr::clear() {
  items_.clear();
  cursor_ = 0;
  cursor_index_ = -1;
}

void qxarr::take_over(qxarr& other) {
  items_ = std::move(other.items_);
  other.clear();
  reset();
}

void qxarr::reset() {
  cursor_ = forward_ ? 0 : count() - 1;
  cursor_index_ = 0;
}

bool qxarr::next(qxval& out) {
  if (cursor_index_ < 0) reset();
  if (cursor_ < 0 || cursor_ >= count()) return false;
  out = items_[static_cast<size_t>(cursor_)];
  cursor_ += forward_ ? 1 : -1;
  ++cursor_index_;
  return true;
}

}  // namespace dirscribe
