#include "core/qxhash.h"

namespace dirscribe {

void qxhash::set(const qxval& key, const qxval& value) { set(key.to_text(), value); }

void qxhash::set(std::string key, qxval value) {
  auto found = entries_.find(key);
  if (found != entries_.end()) {
    found->second = std::move(value);
    return;
  }
  entries_.emplace(std::move(key), std::move(value));
  iteration_.clear();
  iteration_pos_ = 0;
}

bool qxhash::get(std::string_view key, qxval& out) const {
  const qxval* found = lookup(key);
  out = found ? *found : qxval();
  return found != nullptr;
}

qxval* qxhash::lookup(std::string_view key) {
  auto found = entries_.find(key);
  return found == entries_.end() ? nullptr : &found->second;
}

const qxval* qxhash::lookup(std::string_view key) const {
  auto found = entries_.find(key);
  return found == entries_.end() ? nullptr : &found->second;
}

void qxhash::remove(std::string_view key) {
  iteration_.clear();
  iteration_pos_ = 0;
  auto found = entries_.find(key);
  if (found != entries_.end()) entries_.erase(found);
}

void qxhash::clear() {
  entries_.clear();
  iteration_.clear();
  iteration_pos_ = 0;
}

void qxhash::begin() {
  if (entries_.empty()) return;
  iteration_.clear();
  iteration_pos_ = 0;
  for (auto it = entries_.cbegin(); it != entries_.cend(); ++it) iteration_.push_back(it);
}

bool qxhash::next(qxval& key, qxval& value) {
  if (entries_.empty() || iteration_pos_ >= iteration_.size()) {
    key = qxval();
    value = qxval();
    return false;
  }
  const auto entry = iteration_[iteration_pos_++];
  key = qxval(entry->first);
  value = entry->second;
  return true;
}

}  // namespace dirscribe
