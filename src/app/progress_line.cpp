#include "app/progress_line.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>

#include "app/messages.h"

namespace dirscribe {

namespace {

constexpr auto kInterval = std::chrono::milliseconds(100);

int terminal_width() {
  winsize size{};
  if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

// "1 folder", "2 folders", "0 folders".
std::string count_of(int64_t count, const char* singular, const char* plural) {
  return std::to_string(count) + " " + (count == 1 ? singular : plural);
}

}  // namespace

std::string progress_text(const std::string& message, int64_t folders, int64_t files, int width,
                          int64_t thumbnails) {
  std::string counts =
      count_of(folders, "folder", "folders") + ", " + count_of(files, "file", "files");
  if (thumbnails > 0) counts += ", " + count_of(thumbnails, "thumbnail", "thumbnails");
  counts += " | ";
  // A newline in a folder name would break the line, an escape sequence
  // would redraw the terminal: the names are shown as messages show them.
  std::string text = terminal_safe(message);
  const int room = width - 1 - static_cast<int>(counts.size());
  if (room <= 3) return counts.substr(0, width > 1 ? width - 1 : 0);
  if (static_cast<int>(text.size()) > room) {
    // Keep the end; step forward to a character start so no UTF-8 sequence
    // is cut in half.
    size_t from = text.size() - static_cast<size_t>(room - 3);
    while (from < text.size() && (static_cast<unsigned char>(text[from]) & 0xC0) == 0x80) ++from;
    text = "..." + text.substr(from);
  }
  return counts + text;
}

progress_line::progress_line(bool enabled) : enabled_(enabled) {}

progress_line::~progress_line() { clear(); }

void progress_line::show(const std::string& message, int64_t folders, int64_t files,
                         int64_t thumbnails) {
  if (!enabled_) return;
  const auto now = std::chrono::steady_clock::now();
  if (shown_ && now - last_ < kInterval) return;
  last_ = now;
  const std::string text = progress_text(message, folders, files, terminal_width(), thumbnails);
  std::fprintf(stderr, "\r%s\x1b[K", text.c_str());
  std::fflush(stderr);
  shown_ = true;
}

void progress_line::clear() {
  if (!shown_) return;
  std::fputs("\r\x1b[K", stderr);
  std::fflush(stderr);
  shown_ = false;
}

}  // namespace dirscribe
