#include "ui/property_setter.h"

#include <QMetaEnum>
#include <QMetaProperty>
#include <QVariant>
#include <charconv>
#include <cstdint>
#include <limits>

#include "ui/name_tables.h"
#include "ui/qt_text.h"
#include "ui/sub_objects.h"
#include "ui/text_case.h"

namespace dirscribe {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The whole of `text` as a signed decimal; nullopt when anything else is in it.
std::optional<int64_t> whole_decimal(std::string_view text) {
  int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// The range an integer property of type `type` can hold.
bool fits(QMetaType type, int64_t value) {
  switch (type.id()) {
    case QMetaType::LongLong:
      return true;
    case QMetaType::ULongLong:
      return value >= 0;
    case QMetaType::UInt:
      return value >= 0 && value <= std::numeric_limits<uint32_t>::max();
    case QMetaType::Short:
      return value >= std::numeric_limits<int16_t>::min() &&
             value <= std::numeric_limits<int16_t>::max();
    case QMetaType::UShort:
      return value >= 0 && value <= std::numeric_limits<uint16_t>::max();
    case QMetaType::Char:
    case QMetaType::SChar:
      return value >= -128 && value <= 127;
    case QMetaType::UChar:
      return value >= 0 && value <= 255;
    default:
      return value >= std::numeric_limits<int32_t>::min() &&
             value <= std::numeric_limits<int32_t>::max();
  }
}

bool is_integer(QMetaType type) {
  switch (type.id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Long:
    case QMetaType::ULong:
      return true;
    default:
      return false;
  }
}

bool set_integer(QObject* object, const QMetaProperty& property, std::string_view head,
                 std::string_view value) {
  if (value.empty()) return false;
  int64_t number = 0;
  if (is_digit(value.front())) {
    const auto parsed = whole_decimal(value);
    if (!parsed || !fits(property.metaType(), *parsed)) return false;
    number = *parsed;
  } else {
    // Only these three take names; so negative numbers come only by name.
    const auto named = named_integer(head, value);
    if (!named) return false;
    number = *named;
  }
  QVariant variant(static_cast<qlonglong>(number));
  if (!variant.convert(property.metaType())) return false;
  return property.write(object, variant);
}

bool set_enumeration(QObject* object, const QMetaProperty& property, std::string_view value) {
  const QMetaEnum enumeration = property.enumerator();
  const QByteArray key(value.data(), static_cast<qsizetype>(value.size()));
  bool ok = false;
  const int number = enumeration.isFlag() ? enumeration.keysToValue(key.constData(), &ok)
                                          : enumeration.keyToValue(key.constData(), &ok);
  // Qt reads a number as a key too; the description names members only.
  if (!ok || value.empty() || is_digit(value.front()) || value.front() == '-') return false;
  return property.write(object, number);
}

bool set_boolean(QObject* object, const QMetaProperty& property, std::string_view value) {
  if (value != "true" && value != "false") return false;
  return property.write(object, value == "true");
}

bool set_real(QObject* object, const QMetaProperty& property, std::string_view value) {
  if (value.empty()) return false;
  double number = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
  if (error != std::errc() || end != value.data() + value.size()) return false;
  QVariant variant(number);
  if (!variant.convert(property.metaType())) return false;
  return property.write(object, variant);
}

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool load_hex_bitmap(picture_object& picture, std::string_view value) {
  std::string digits;
  for (const char c : value) {
    if (hex_value(c) >= 0) digits += c;
  }
  if (digits.size() % 2 != 0) return false;
  QByteArray bytes;
  bytes.reserve(static_cast<qsizetype>(digits.size() / 2));
  for (size_t i = 0; i < digits.size(); i += 2) {
    bytes.append(static_cast<char>(hex_value(digits[i]) * 16 + hex_value(digits[i + 1])));
  }
  return picture.load_bmp(bytes);
}

// `name` as it is when absolute or when there is no folder, else inside
// `folder`.
std::string in_folder(std::string_view folder, std::string_view name) {
  if (folder.empty() || name.empty() || name.front() == '/') return std::string(name);
  std::string path(folder);
  if (path.back() != '/') path += '/';
  return path.append(name);
}

bool set_sub_object(QObject* object, const QMetaProperty& property, std::string_view rest,
                    bool has_rest, std::string_view value, std::string_view picture_folder) {
  QObject* sub = property.read(object).value<QObject*>();
  if (sub == nullptr || !has_rest) return false;
  if (same_ignoring_case(rest, "Strings")) {
    if (auto* list = qobject_cast<string_list_object*>(sub)) {
      for (const std::string& item : string_list_tokens(value)) {
        list->append(to_qt(item));
      }
      return true;
    }
  }
  if (auto* picture = qobject_cast<picture_object*>(sub)) {
    if (same_ignoring_case(rest, "Data")) return load_hex_bitmap(*picture, value);
    if (same_ignoring_case(rest, "File")) {
      return picture->load_file(to_qt(in_folder(picture_folder, value)));
    }
  }
  return set_property(sub, rest, value, picture_folder);
}

// The first token of one line, appended to `items` when there is one.
void take_first_token(std::string_view line, std::vector<std::string>& items) {
  size_t pos = 0;
  while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
  if (pos >= line.size()) return;
  const char quote = line[pos];
  if (quote != '"' && quote != '\'') {
    size_t end = pos;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t') ++end;
    items.emplace_back(line.substr(pos, end - pos));
    return;
  }
  std::string token;
  for (size_t i = pos + 1; i < line.size(); ++i) {
    if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == quote) {
      token += quote;
      ++i;
    } else if (line[i] == quote) {
      break;
    } else {
      token += line[i];
    }
  }
  items.push_back(std::move(token));
}

}  // namespace

std::vector<std::string> string_list_tokens(std::string_view value) {
  const auto is_trimmed = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  while (!value.empty() && is_trimmed(value.front())) value.remove_prefix(1);
  while (!value.empty() && is_trimmed(value.back())) value.remove_suffix(1);
  if (!value.empty() && value.back() == ')') value.remove_suffix(1);
  if (!value.empty() && value.front() == '(') value.remove_prefix(1);
  std::vector<std::string> items;
  while (true) {
    const size_t end = value.find('\n');
    std::string_view line = value.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    take_first_token(line, items);
    if (end == std::string_view::npos) break;
    value.remove_prefix(end + 1);
  }
  return items;
}

bool set_property(QObject* object, std::string_view name, std::string_view value,
                  std::string_view picture_folder) {
  if (object == nullptr) return false;
  const size_t dot = name.find('.');
  const std::string_view head = name.substr(0, dot);
  const bool has_rest = dot != std::string_view::npos;
  const std::string_view rest = has_rest ? name.substr(dot + 1) : std::string_view();

  const QMetaObject* meta = object->metaObject();
  const int index = meta->indexOfProperty(std::string(head).c_str());
  if (index < 0) return false;
  const QMetaProperty property = meta->property(index);
  const QMetaType type = property.metaType();

  if (type.flags().testFlag(QMetaType::PointerToQObject)) {
    return set_sub_object(object, property, rest, has_rest, value, picture_folder);
  }
  if (!property.isWritable()) return false;
  if (property.isEnumType()) return set_enumeration(object, property, value);
  if (type.id() == QMetaType::Bool) return set_boolean(object, property, value);
  if (is_integer(type)) return set_integer(object, property, head, value);
  if (type.id() == QMetaType::Double || type.id() == QMetaType::Float) {
    return set_real(object, property, value);
  }
  const QString text = to_qt(value);
  if (type.id() == QMetaType::QString) return property.write(object, text);
  if (type.id() == QMetaType::QVariant) return property.write(object, QVariant(text));
  return false;
}

}  // namespace dirscribe
