// The wizard's main window: one listing project edited page by page on the
// controls the interface description lays out, the style catalog, and a
// build (run by a build_runner) with progress and Stop.
#pragma once

#include <QPointer>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/outcome.h"
#include "engine/project_context.h"
#include "markup/xml_node.h"
#include "platform/user_data.h"
#include "services/program_settings.h"
#include "template/template_catalog.h"

class QAbstractButton;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QProgressBar;
class QRadioButton;
class QWidget;

namespace dirscribe {

class filter_page;
class form_adapter;
class image_adapter;
class label_adapter;
class panel_adapter;
class about_box;
class build_runner;
struct build_progress;
class dialog_host;
class edit_prompt;
class memo_prompt;
class phrase_table;
class tab_control_adapter;

class main_window {
 public:
  // Everything is borrowed and must outlive the window: the phrases, the
  // built description (its root is the main form), and the dialogs through
  // which every box, dialog, prompt and desktop open is shown. The folders of
  // the program's data are the window's own.
  // REQUIRES: a QApplication exists; the forms are built.
  main_window(const phrase_table& language, xml_tree& description, user_data_folders folders,
              dialog_host& dialogs);
  // Stops a running build and waits for it before anything is freed.
  ~main_window();
  main_window(const main_window&) = delete;
  main_window& operator=(const main_window&) = delete;

  // Builds the window in its fixed order: the extension table (phrase 275),
  // the filter page with its presets, the controls, the menu, the catalog
  // (216, 217 or the reader's message), a new project, the prompts and about
  // box, and the place from the settings. A failure says what failed.
  outcome build();

  // The main form; nullptr before build.
  QWidget* form() const;

  // Pages 0 to 4: Style, Source, Filter, Options, Build.
  void show_page(int page);
  // The panel of a page; nullptr before build.
  QWidget* page_panel(int page) const;
  int current_page() const { return page_; }

  // The project into the controls, and the controls into the project.
  outcome view();
  outcome store();

  // Commands, as the buttons and menu items run them.
  void new_project();
  void open_project();
  // Open's work after its dialog: remembers the current project and loads
  // `path`; a failure is shown in a warning box and returned.
  outcome open_project_file(const std::string& path);
  bool save_project();
  bool save_project_as();
  void open_recent(int index);  // 0 to 4
  void style_clicked(int row);
  void edit_style();
  void copy_style();
  void rename_style();
  void set_style_image();
  void set_style_description();
  void reset_filter();
  void try_date_format();
  void browse_source();
  void browse_output_dir();
  void choose_output();
  void make();
  void stop();
  void preview();
  void open_help(const std::string& file);
  void open_page_help();
  void show_about();
  void open_web_page();

  // What the window is doing; for tests. Busy from Make until the build's end
  // has been shown.
  bool busy() const { return busy_; }
  const std::string& project_file() const { return project_file_; }
  html_list_project* project() const { return collection_->first_project(); }
  const template_catalog& catalog() const { return catalog_; }
  const program_settings& settings() const { return settings_; }
  QString status_text() const;
  // The file Preview opens for the current project: the file a build of it
  // writes (the top page of one page per folder), with `path` and
  // `output_dir` taken as the build takes them; "" without `save`.
  std::string preview_target() const;
  // Whether the project holds changes that no file has: from any control
  // since it was made, opened or saved.
  bool modified() const { return modified_; }

 private:
  struct controls;
  class control_finder;
  class close_guard;
  class quiet_scope;

  std::string phrase(int id) const;
  QString text(int id) const;
  outcome find_controls();
  // Gives assistive technology a name for every control; again whenever a
  // filter mode changes the captions.
  void name_controls();
  void create_menu();
  void connect_handlers();
  void set_title();
  // Marks every input control of the main form so that a change to it marks
  // the project changed; the controls view() fills are quiet meanwhile.
  void track_changes();
  void set_modified(bool modified);
  // Before a step that would drop the project's changes: asks whether to
  // save them (Save, Don't save, Cancel) when there are any. True when the
  // step may go on: nothing was changed, the changes were saved, or the user
  // let them go. Save on an untitled project asks for a name; cancelling
  // that cancels the step.
  bool may_drop_changes();
  void set_project_file(std::string path);
  // Where a file or folder dialog starts: `preferred` when there is one, else
  // the folder the user worked in last, else the home folder.
  std::string dialog_folder(const std::string& preferred) const;
  // The style list's selection moved to `row` (by mouse or keyboard).
  void style_selected(int row);
  // The Build page's buttons, bar and result row for the window's state.
  void show_build_state();
  void show_folder_written();
  void show_style(size_t position);
  int selected_style() const;
  void fill_recent_menu();
  void remember_current_project();
  void clear_status();
  void set_busy(bool busy);
  void show_error(const std::string& text);
  void show_warning(const std::string& text);
  bool open_with_shell(const std::string& target);
  outcome load_project(const std::string& path);
  void edit_style_field(int title_phrase, std::string style_entry::*field, bool multi_line);
  void show_progress(const build_progress& progress);
  void show_counts(int64_t folders, int64_t files);
  void report_finish(const build_progress& totals);
  // The window is asked to close; false when the user kept it open.
  bool may_close();
  void closing();

  const phrase_table& language_;
  xml_tree& description_;
  user_data_folders folders_;
  dialog_host& dialogs_;
  std::unique_ptr<project_context> collection_;
  // Borrows collection_, and is declared after it to be destroyed first.
  std::unique_ptr<build_runner> runner_;
  template_catalog catalog_;
  xml_tree filter_document_;
  std::unique_ptr<filter_page> filter_page_;
  std::unique_ptr<controls> controls_;
  std::unique_ptr<edit_prompt> edit_prompt_;
  std::unique_ptr<memo_prompt> memo_prompt_;
  std::unique_ptr<about_box> about_box_;
  std::unique_ptr<close_guard> close_guard_;
  program_settings settings_;
  std::string project_file_;  // empty while untitled
  int page_ = 0;
  bool busy_ = false;
  bool modified_ = false;
  int quiet_ = 0;         // while above 0, control changes are the window's own
  int shown_style_ = -1;  // the row of the style the project uses
  // What the last build ended with, for the Build page; the file it wrote.
  enum class build_end { none, done, stopped, failed } build_end_ = build_end::none;
  std::string written_file_;
  QString shown_output_;  // the listing's name as the Source page showed it last

  // The warnings of the running build, in order; the window's thread only.
  std::vector<std::string> build_warnings_;
};

// The warnings of a build as the box after it lists them: the first `shown`,
// one a line, then `more` followed by how many were left out. "" without any.
std::string warnings_text(const std::vector<std::string>& warnings, size_t shown,
                          std::string_view more);

}  // namespace dirscribe
