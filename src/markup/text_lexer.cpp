#include "markup/text_lexer.h"

#include <utility>

namespace dirscribe {

void text_lexer::append_chunk(std::string chunk) {
  queued_bytes_ += static_cast<int64_t>(chunk.size());
  input_.push_back(std::move(chunk));
}

bool text_lexer::remove_first_chunk() {
  if (chunk_ == 0 || input_.empty()) return false;
  queued_bytes_ -= static_cast<int64_t>(input_.front().size());
  input_.pop_front();
  --chunk_;
  return true;
}

size_t text_lexer::read_run(const bool* stop, std::string* out) {
  size_t total = 0;
  while (chunk_ < input_.size()) {
    const std::string& current = input_[chunk_];
    const size_t begin = index_;
    size_t end = begin;
    while (end < current.size() && !stop[static_cast<unsigned char>(current[end])]) ++end;
    if (out) out->append(current, begin, end - begin);
    total += end - begin;
    if (end < current.size()) {
      index_ = end;
      return total;
    }
    ++chunk_;
    index_ = 0;
  }
  return total;
}

int text_lexer::next_char() { return read_byte(); }

void text_lexer::reset_read_position() {
  chunk_ = 0;
  index_ = 0;
  end_of_input_ = false;
}

int text_lexer::end_hook() {
  reset_read_position();
  return scan_complete;
}

}  // namespace dirscribe
