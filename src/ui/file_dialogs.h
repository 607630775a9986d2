// The system's file dialogs as the wizard uses them: open or save a file,
// choose a folder. Settings and results are plain UTF-8 texts, so that callers
// keep their paths as the engine does; Qt's types stay inside.
//
// Every dialog is shown by the dialog_host the caller passes, so that tests
// answer it in place of the user and never block.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/dialog_host.h"

class QWidget;

namespace dirscribe {

// Turns a filter text of description|pattern pairs, separated and possibly
// ended by "|" ("Projects (*.txt)|*.txt|All files (*)|*|"), into Qt's name
// filters, one per pair: "description (patterns)", the pair's patterns
// separated by blanks where the text separates them by ";", and "*.*" written
// "*" (Qt's "*.*" needs a dot in the name). A description that already ends
// with the pair's patterns in parentheses is not given them twice. A pair
// without a pattern is left out: it would match nothing.
QStringList qt_name_filters(std::string_view filter_text);

// The initial folder as the dialogs are given it: without trailing "/"s,
// except that the root stays "/"; no folder (Qt's choice) for an empty text.
std::optional<std::string> normalise_initial_folder(std::string_view folder);

// Asks for a file to open or a file name to save to.
//
// Fill in the settings, then call open() or save(). After a confirmed dialog
// the results describe the choice; after a cancel or a failure they are
// cleared (result_position -1).
struct file_dialog {
  // Settings.
  // Description|pattern pairs (see qt_name_filters); empty: every file.
  std::string filter_text;
  std::string title;
  std::string initial_file;    // a name, or a path
  std::string initial_folder;  // see normalise_initial_folder
  // Without a dot; added to a name typed for saving that has no extension.
  std::string default_extension;
  QWidget* owner = nullptr;  // borrowed; the dialog is modal over it
  // Lets open() return several files of one folder.
  bool multi_selection = false;

  // Results.
  // One file: its full path. Several (open with multi_selection): the
  // folder, then each name, separated by NUL characters ("/d\0a.txt\0b.txt").
  std::string result_path;
  // Where the (first) file name starts in result_path; -1 after a cancel.
  int result_position = -1;
  // With multi_selection: the folder, then the chosen names ({"/d", "a.txt",
  // "b.txt"}), also for a single file; otherwise empty.
  std::vector<std::string> selection;

  // Shows the open dialog through `dialogs`: only existing files can be
  // chosen. Returns true when the user confirmed.
  bool open(dialog_host& dialogs);
  // Shows the save dialog through `dialogs`; it asks before replacing an
  // existing file. multi_selection does not apply. Returns true when the user
  // confirmed.
  bool save(dialog_host& dialogs);

 private:
  bool run(dialog_host& dialogs, file_dialog_kind kind);
};

// Asks for a folder.
struct folder_dialog {
  // Settings.
  std::string initial_folder;  // see normalise_initial_folder
  std::string title;
  QWidget* owner = nullptr;  // borrowed; the dialog is modal over it

  // Result: the chosen folder's absolute path, without a trailing "/"
  // (except the root); empty after a cancel or a failure.
  std::string result_path;

  // Shows the dialog through `dialogs`. Returns true when a folder was chosen
  // and it exists as a folder; false after a cancel or when the choice is no
  // folder.
  bool run(dialog_host& dialogs);
};

}  // namespace dirscribe
