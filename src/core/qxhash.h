// qxhash: the ordered map keyed by text. Keys are stored in their text form and
// iterated in ascending qx_compare order. Inserting a new key or removing one
// ends an iteration in progress (the next step reports the end).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/qxchar.h"
#include "core/qxval.h"

namespace dirscribe {

class qxhash {
 public:
  using map_type = std::map<std::string, qxval, qx_less>;

  // Stores a copy of `value` under the text form of `key`. Replacing an
  // existing key keeps the count and the iteration; a new key empties the
  // iteration list.
  void set(const qxval& key, const qxval& value);
  void set(std::string key, qxval value);
  // A copy of the value: true, or false with `out` set to the integer 0.
  bool get(std::string_view key, qxval& out) const;
  // The stored value itself, or nullptr.
  qxval* lookup(std::string_view key);
  const qxval* lookup(std::string_view key) const;
  bool contains(std::string_view key) const { return lookup(key) != nullptr; }
  // Removes the key (nothing when absent) and empties the iteration list.
  void remove(std::string_view key);

  int count() const { return static_cast<int>(entries_.size()); }
  void clear();

  // Iteration in ascending key order: begin fills the iteration list (when the
  // map is not empty); next hands out the first entry on it, or false (with
  // both outs the integer 0) when the list or the map is empty.
  void begin();
  bool next(qxval& key, qxval& value);

  // Read access in ascending key order for callers that need no cursor.
  const map_type& entries() const { return entries_; }

 private:
  map_type entries_;
  std::vector<map_type::const_iterator> iteration_;
  size_t iteration_pos_ = 0;
};

}  // namespace dirscribe
