// The two lower layers of the markup lexer: the input queue (text_lexer) and the
// line and column counter (unicode_lexer). markup_lexer (markup_lexer.h) builds the
// markup scanner on top of them.
//
// Input arrives in chunks that stay queued until their owner removes them, so a
// token may straddle any number of chunks. Every operation is a virtual hook a
// user of the lexer may replace; a replacement normally calls the base version.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

namespace dirscribe {

class text_lexer {
 public:
  // next_char results besides the bytes 0 to 255.
  static constexpr int input_exhausted = -2;  // more input may follow
  static constexpr int input_ended = -1;      // queue used up and end of input set
  static constexpr int64_t default_size_limit = 65536;

  text_lexer() = default;
  text_lexer(const text_lexer&) = delete;
  text_lexer& operator=(const text_lexer&) = delete;
  virtual ~text_lexer() = default;

  // Queues `chunk` behind the chunks already queued.
  virtual void append_chunk(std::string chunk);
  // Removes the first queued chunk when the read position has moved past it;
  // returns false (and does nothing) otherwise.
  virtual bool remove_first_chunk();
  // The next byte (0 to 255), input_exhausted or input_ended.
  virtual int next_char();
  // The next read starts again at the first queued chunk; clears end of input.
  virtual void reset_read_position();
  // What scan returns besides a hook's own error codes.
  static constexpr int scan_needs_more = 0;
  static constexpr int scan_too_long = 1;  // the queued chunks exceed the size limit
  static constexpr int scan_complete = 2;

  // Runs the lexer over the queued input: scan_needs_more, scan_complete when
  // the input is complete, any other value is an error code.
  virtual int scan() = 0;
  // Called by scan when the input has ended; the result becomes scan's result.
  virtual int end_hook();

  // Set by the feeder after the last chunk.
  void set_end_of_input(bool ended) { end_of_input_ = ended; }
  bool end_of_input() const { return end_of_input_; }

  // scan fails with 1 once the queued chunks hold more than this many bytes.
  void set_size_limit(int64_t bytes) { size_limit_ = bytes; }
  int64_t size_limit() const { return size_limit_; }
  // Total bytes of the chunks still queued.
  int64_t queued_bytes() const { return queued_bytes_; }
  // Number of queued chunks the read position has moved past.
  int chunks_read_completely() const { return static_cast<int>(chunk_); }
  int chunk_count() const { return static_cast<int>(input_.size()); }

 protected:
  // The inline read used by the layers above; next_char wraps it.
  int read_byte() {
    while (chunk_ < input_.size()) {
      const std::string& current = input_[chunk_];
      if (index_ < current.size()) {
        const int c = static_cast<unsigned char>(current[index_++]);
        if (index_ == current.size()) {
          ++chunk_;
          index_ = 0;
        }
        return c;
      }
      ++chunk_;  // an empty chunk
      index_ = 0;
    }
    return end_of_input_ ? input_ended : input_exhausted;
  }

  // Reads on from the read position while the bytes are not marked in `stop`
  // (256 entries) and appends them to `out` (when given), moving the read
  // position exactly as that many read_byte calls would. Stops before a
  // marked byte or at the end of the queued input. Returns the bytes read.
  size_t read_run(const bool* stop, std::string* out);

 private:
  std::deque<std::string> input_;
  size_t chunk_ = 0;  // index of the chunk being read; chunks before it are read
  size_t index_ = 0;  // index of the next byte in that chunk
  int64_t queued_bytes_ = 0;
  int64_t size_limit_ = default_size_limit;
  bool end_of_input_ = false;
};

// Counts lines and columns while bytes are read: an LF adds one to the line
// and sets the column to 0; every other byte adds one to the column. So after
// a byte is read, (line, column) is its position with a 1-based column.
class unicode_lexer : public text_lexer {
 public:
  int next_char() override {
    const int c = read_byte();
    count(c);
    return c;
  }

  // Like text_lexer::read_run; `stop` must mark LF so that a run stays on one line.
  size_t read_run(const bool* stop, std::string* out) {
    const size_t count = text_lexer::read_run(stop, out);
    column_ += static_cast<int>(count);
    return count;
  }

  int line() const { return line_; }
  int column() const { return column_; }

 protected:
  void count(int c) {
    if (c < 0) return;
    if (c == '\n') {
      ++line_;
      column_ = 0;
    } else {
      ++column_;
    }
  }

 private:
  int line_ = 1;
  int column_ = 0;
};

}  // namespace dirscribe
