#include "ui/shell_open.h"

#include <QFile>

namespace dirscribe {

QUrl local_file_url(const std::string& path) {
  return QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(path)));
}

}  // namespace dirscribe
