#include "core/value_map.h"

namespace dirscribe {

void value_map::set(const tagged_value& key, const tagged_value& value) {
  set(key.to_text(), value);
}

void value_map::set(std::string key, tagged_value value) {
  auto found = entries_.find(key);
  if (found != entries_.end()) {
    found->second = std::move(value);
    return;
  }
  entries_.emplace(std::move(key), std::move(value));
  iteration_.clear();
  iteration_pos_ = 0;
}

bool value_map::get(std::string_view key, tagged_value& out) const {
  const tagged_value* found = lookup(key);
  out = found ? *found : tagged_value();
  return found != nullptr;
}

tagged_value* value_map::lookup(std::string_view key) {
  auto found = entries_.find(key);
  return found == entries_.end() ? nullptr : &found->second;
}

const tagged_value* value_map::lookup(std::string_view key) const {
  auto found = entries_.find(key);
  return found == entries_.end() ? nullptr : &found->second;
}

void value_map::remove(std::string_view key) {
  iteration_.clear();
  iteration_pos_ = 0;
  auto found = entries_.find(key);
  if (found != entries_.end()) entries_.erase(found);
}

void value_map::clear() {
  entries_.clear();
  iteration_.clear();
  iteration_pos_ = 0;
}

void value_map::begin() {
  if (entries_.empty()) return;
  iteration_.clear();
  iteration_pos_ = 0;
  for (auto it = entries_.cbegin(); it != entries_.cend(); ++it) iteration_.push_back(it);
}

bool value_map::next(tagged_value& key, tagged_value& value) {
  if (entries_.empty() || iteration_pos_ >= iteration_.size()) {
    key = tagged_value();
    value = tagged_value();
    return false;
  }
  const auto entry = iteration_[iteration_pos_++];
  key = tagged_value(entry->first);
  value = entry->second;
  return true;
}

}  // namespace dirscribe
