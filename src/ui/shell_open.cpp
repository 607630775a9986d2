#include "ui/shell_open.h"

#include <QDesktopServices>
#include <QFile>

namespace dirscribe {

namespace {

shell_open_answer& installed_answer() {
  static shell_open_answer answer;
  return answer;
}

}  // namespace

bool open_with_desktop(const QUrl& url) {
  if (installed_answer()) return installed_answer()(url);
  return QDesktopServices::openUrl(url);
}

QUrl local_file_url(const std::string& path) {
  return QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(path)));
}

void set_shell_open_answer(shell_open_answer answer) { installed_answer() = std::move(answer); }

}  // namespace dirscribe
