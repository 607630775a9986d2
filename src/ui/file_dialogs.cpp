#include "ui/file_dialogs.h"
#include "ui/qt_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace dirscribe {

namespace {

// Paths and names travel as UTF-8 in the settings, and as the file system's
// bytes in the results, so that a result opens the very file chosen.
std::string to_path(const QString& path) { return QFile::encodeName(path).toStdString(); }

// The patterns of one filter, in the order written, each "*.*" as "*": from
// `text` separated by ";" (a pattern field) or by ";", "," and blanks too
// (the parenthesised end of a description, written as people write lists).
QStringList patterns_of(const QString& text, bool blanks_separate) {
  QString separated = text;
  if (blanks_separate) {
    separated.replace(QLatin1Char(' '), QLatin1Char(';'));
    separated.replace(QLatin1Char(','), QLatin1Char(';'));
  }
  QStringList patterns;
  for (const QString& piece : separated.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
    const QString pattern = piece.trimmed();
    if (pattern.isEmpty()) continue;
    patterns.append(pattern == QStringLiteral("*.*") ? QStringLiteral("*") : pattern);
  }
  return patterns;
}

// `description` without a parenthesised end that lists just `patterns`, in
// any order.
QString without_own_patterns(const QString& description, QStringList patterns) {
  if (!description.endsWith(QLatin1Char(')'))) return description;
  const qsizetype open = description.lastIndexOf(QLatin1Char('('));
  if (open < 0) return description;
  const QString inside = description.mid(open + 1, description.size() - open - 2);
  QStringList listed = patterns_of(inside, true);
  listed.sort();
  patterns.sort();
  if (listed != patterns) return description;
  return description.left(open).trimmed();
}

QString qt_initial_folder(const std::string& folder) {
  const std::optional<std::string> normalised = normalise_initial_folder(folder);
  return normalised ? QFile::decodeName(normalised->c_str()) : QString();
}

// Where the name starts in a full path: after its last "/".
size_t name_start(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? 0 : slash + 1;
}

// The folder part of a full path; the root for a file in the root.
std::string folder_of(const std::string& path) {
  const size_t start = name_start(path);
  if (start == 0) return std::string();
  return start == 1 ? std::string("/") : path.substr(0, start - 1);
}

}  // namespace

QStringList qt_name_filters(std::string_view filter_text) {
  QStringList fields = to_qt(filter_text).split(QLatin1Char('|'));
  // A text ending in "|" (or an empty one) leaves an empty last field.
  if (fields.last().isEmpty()) fields.removeLast();
  QStringList filters;
  for (qsizetype at = 0; at < fields.size(); at += 2) {
    const QStringList patterns =
        at + 1 < fields.size() ? patterns_of(fields[at + 1], false) : QStringList();
    if (patterns.isEmpty()) continue;
    const QString joined = patterns.join(QLatin1Char(' '));
    const QString description = without_own_patterns(fields[at].trimmed(), patterns);
    filters.append(description.isEmpty()
                       ? joined
                       : description + QStringLiteral(" (") + joined + QLatin1Char(')'));
  }
  return filters;
}

std::optional<std::string> normalise_initial_folder(std::string_view folder) {
  if (folder.empty()) return std::nullopt;
  size_t end = folder.size();
  while (end > 1 && folder[end - 1] == '/') --end;
  return std::string(folder.substr(0, end));
}

bool file_dialog::open(dialog_host& dialogs) { return run(dialogs, file_dialog_kind::open); }

bool file_dialog::save(dialog_host& dialogs) { return run(dialogs, file_dialog_kind::save); }

bool file_dialog::run(dialog_host& dialogs, file_dialog_kind kind) {
  result_path.clear();
  result_position = -1;
  selection.clear();
  const bool several = kind == file_dialog_kind::open && multi_selection;
  file_dialog_request request;
  request.kind = kind;
  request.title = to_qt(title);
  request.initial_folder = qt_initial_folder(initial_folder);
  request.initial_file = to_qt(initial_file);
  request.name_filters = qt_name_filters(filter_text);
  request.multi_selection = several;
  if (kind == file_dialog_kind::save) request.default_suffix = to_qt(default_extension);
  const file_dialog_answer given = dialogs.file_dialog(owner, request);
  if (!given.confirmed || given.paths.isEmpty()) return false;

  std::vector<std::string> paths;
  for (const QString& path : given.paths) paths.push_back(to_path(path));
  if (!several) {
    result_path = paths.front();
    result_position = static_cast<int>(name_start(result_path));
    return true;
  }
  // A multiple selection comes from one folder.
  const std::string folder = folder_of(paths.front());
  selection.push_back(folder);
  for (const std::string& path : paths) selection.push_back(path.substr(name_start(path)));
  if (paths.size() == 1) {
    // One file is still a usable path for a caller that reads just that.
    result_path = paths.front();
    result_position = static_cast<int>(name_start(result_path));
    return true;
  }
  result_path = folder;
  for (size_t name = 1; name < selection.size(); ++name) {
    result_path += '\0';
    result_path += selection[name];
  }
  result_position = static_cast<int>(folder.size()) + 1;
  return true;
}

bool folder_dialog::run(dialog_host& dialogs) {
  result_path.clear();
  file_dialog_request request;
  request.kind = file_dialog_kind::folder;
  request.title = to_qt(title);
  request.initial_folder = qt_initial_folder(initial_folder);
  const file_dialog_answer given = dialogs.file_dialog(owner, request);
  if (!given.confirmed || given.paths.isEmpty()) return false;
  const QFileInfo chosen(given.paths.front());
  if (!chosen.isDir()) return false;
  result_path = to_path(QDir::cleanPath(chosen.absoluteFilePath()));
  return true;
}

}  // namespace dirscribe
