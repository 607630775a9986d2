// value_list: the program's list of values (its string list), with a cursor that
// walks forward or backward. Indexing past the end appends.
#pragma once

#include <deque>

#include "core/tagged_value.h"

namespace dirscribe {

class value_list {
 public:
  explicit value_list(bool forward = true) : forward_(forward) {}

  void append(tagged_value value);   // resets the cursor
  void prepend(tagged_value value);  // resets the cursor
  // Hand out the first/last value; false (and `out` untouched) when empty.
  // Both reset the cursor.
  bool remove_first(tagged_value& out);
  bool remove_last(tagged_value& out);
  // Copy of the value at i; false when i is out of range.
  bool get(int i, tagged_value& out) const;
  // Removes the value at i; false when out of range. The cursor is not reset.
  bool remove_at(int i);
  // The stored value at 0 <= i < count; for any other i a new value (integer
  // 0) is appended and returned.
  tagged_value& at(int i);

  int count() const { return static_cast<int>(items_.size()); }
  void clear();
  // Takes over the whole content of `other`, leaving it empty.
  void take_over(value_list& other);

  // Iteration: reset puts the cursor at the head (forward) or tail (backward);
  // next copies the cursor's value out and moves on; false past the end.
  void reset();
  bool next(tagged_value& out);
  int cursor_index() const { return cursor_index_; }

 private:
  bool forward_;
  std::deque<tagged_value> items_;
  int cursor_ = 0;         // position of the next value to hand out
  int cursor_index_ = -1;  // values handed out since the last reset; -1 before any
};

}  // namespace dirscribe
