// value_map: the ordered map keyed by text. Keys are stored in their text form and
// iterated in ascending compare_bytes order. Inserting a new key or removing one
// ends an iteration in progress (the next step reports the end).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/byte_string.h"
#include "core/tagged_value.h"

namespace dirscribe {

class value_map {
 public:
  using map_type = std::map<std::string, tagged_value, bytes_less>;

  // Stores a copy of `value` under the text form of `key`. Replacing an
  // existing key keeps the count and the iteration; a new key empties the
  // iteration list.
  void set(const tagged_value& key, const tagged_value& value);
  void set(std::string key, tagged_value value);
  // A copy of the value: true, or false with `out` set to the integer 0.
  bool get(std::string_view key, tagged_value& out) const;
  // The stored value itself, or nullptr.
  tagged_value* lookup(std::string_view key);
  const tagged_value* lookup(std::string_view key) const;
  bool contains(std::string_view key) const { return lookup(key) != nullptr; }
  // Removes the key (nothing when absent) and empties the iteration list.
  void remove(std::string_view key);

  int count() const { return static_cast<int>(entries_.size()); }
  void clear();

  // Iteration in ascending key order: begin fills the iteration list (when the
  // map is not empty); next hands out the first entry on it, or false (with
  // both outs the integer 0) when the list or the map is empty.
  void begin();
  bool next(tagged_value& key, tagged_value& value);

  // Read access in ascending key order for callers that need no cursor.
  const map_type& entries() const { return entries_; }

 private:
  map_type entries_;
  std::vector<map_type::const_iterator> iteration_;
  size_t iteration_pos_ = 0;
};

}  // namespace dirscribe
