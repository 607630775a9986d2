// Texts crossing between the engine (UTF-8 bytes) and Qt. The GUI is built
// without Qt's implicit conversions, so every crossing goes through here.
#pragma once

#include <QString>
#include <string_view>

namespace dirscribe {

// `text`, read as UTF-8.
inline QString to_qt(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace dirscribe
