#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTextEdit>
#include <ctime>

#include "engine/extension_table.h"
#include "files/file_format.h"
#include "services/phrase_ids.h"
#include "services/phrase_table.h"
#include "ui/accessibility.h"
#include "ui/basic_adapters.h"
#include "ui/build_runner.h"
#include "ui/container_adapters.h"
#include "ui/control_paths.h"
#include "ui/dialog_host.h"
#include "ui/file_dialogs.h"
#include "ui/filter_page.h"
#include "ui/form_builder.h"
#include "ui/main_window_controls.h"
#include "ui/prompt_dialogs.h"
#include "ui/qt_text.h"
#include "ui/shell_open.h"

namespace dirscribe {

namespace {

constexpr const char* kPageHelp[kPages] = {"help/3000.html", "help/3100.html", "help/3200.html",
                                           "help/3300.html", "help/3400.html"};

std::string from_qt(const QString& text) { return text.toStdString(); }

// A list that shows no item leaves the project's value as it was: a value
// the list has no item for (a depth of 10, say) must survive a save.
void keep_or_take(int32_t& value, const QComboBox* list, int offset) {
  if (list->currentIndex() >= 0) value = list->currentIndex() + offset;
}

// The unit list holds automatic, bytes, KB and MB at size_units + 1, and the
// readable sizes, which came later, after them.
constexpr int kReadableUnitsItem = 4;

int unit_item(int32_t units) {
  if (units == kUnitsReadable) return kReadableUnitsItem;
  return units >= kUnitsAutomatic && units + 1 < kReadableUnitsItem ? units + 1 : -1;
}

void take_units(int32_t& units, const QComboBox* list) {
  if (list->currentIndex() == kReadableUnitsItem) {
    units = kUnitsReadable;
  } else {
    keep_or_take(units, list, -1);
  }
}

// Where the window opens when the settings say it was left at `saved`: there
// while any of it is on a screen, else (a monitor unplugged since, settings
// from another desk) centred on the primary screen, where it can be seen and
// moved.
QPoint opening_position(QPoint saved, QSize size) {
  const QRect window(saved, size);
  for (const QScreen* screen : QGuiApplication::screens()) {
    if (screen->availableGeometry().intersects(window)) return saved;
  }
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (primary == nullptr) return saved;  // no screen at all: the window system decides
  return centred_position(centring::on_screen, primary->availableGeometry(), size);
}

std::string folder_of(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

// Closing the window ends a running build first and leaves the settings.
class main_window::close_guard : public QObject {
 public:
  explicit close_guard(main_window& window) : window_(window) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Close && watched == window_.form()) {
      if (!window_.may_close()) {
        event->ignore();
        return true;
      }
      window_.closing();
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  main_window& window_;
};

// While one lives, changes to the controls are the window's own (showing a
// project), not the user's.
class main_window::quiet_scope {
 public:
  explicit quiet_scope(main_window& window) : window_(window) { ++window_.quiet_; }
  ~quiet_scope() { --window_.quiet_; }
  quiet_scope(const quiet_scope&) = delete;
  quiet_scope& operator=(const quiet_scope&) = delete;

 private:
  main_window& window_;
};

main_window::main_window(const phrase_table& language, xml_tree& description,
                         user_data_folders folders, dialog_host& dialogs)
    : language_(language),
      description_(description),
      folders_(std::move(folders)),
      dialogs_(dialogs),
      collection_(std::make_unique<project_context>()),
      runner_(std::make_unique<build_runner>(*collection_)),
      controls_(std::make_unique<controls>()) {
  QObject::connect(runner_.get(), &build_runner::progressed, runner_.get(),
                   [this](const build_progress& progress) { show_progress(progress); });
  QObject::connect(runner_.get(), &build_runner::warned, runner_.get(),
                   [this](const std::string& warning) { build_warnings_.push_back(warning); });
  QObject::connect(runner_.get(), &build_runner::finished, runner_.get(),
                   [this](const build_progress& totals) { report_finish(totals); });
}

main_window::~main_window() {
  // The build ends before anything it uses goes away.
  runner_.reset();
  if (controls_->form != nullptr && close_guard_)
    controls_->form->removeEventFilter(close_guard_.get());
}

std::string main_window::phrase(int id) const { return std::string(language_.text(id)); }
QString main_window::text(int id) const { return to_qt(language_.text(id)); }
QWidget* main_window::form() const { return controls_->form; }
QWidget* main_window::page_panel(int page) const {
  return page >= 0 && page < kPages ? controls_->pages[page] : nullptr;
}

outcome main_window::build() {
  // 1. The collection of the one project and its extension table.
  collection_->program_folder = folders_.program_folder();
  collection_->language = &language_;
  collection_->fill_size_unit_names();
  if (!load_extension_table(folders_.program_folder() + "ext.txt", *collection_).ok()) {
    return {result_out_of_memory, phrase(kPhraseCantLoadExtensionTable)};
  }
  // 2. The style catalog's phrases; the filter page in a document of its own.
  catalog_.language = &language_;
  xml_node* filter_panel = xml_find(description_, control_paths::kFilterPanel);
  if (filter_panel == nullptr) return {1, "The interface description has no filter page."};
  filter_document_.append_top(description_.detach(filter_panel));
  filter_page_ = std::make_unique<filter_page>(&language_, filter_document_, kPhraseFilterBase);
  if (filter_page_->set_up() != 0)
    return {1, "The interface description lacks a control of the filter page."};
  filter_page_->set_include_presets(read_filter_presets(folders_.program_folder() + "filter.txt"));
  // 3. The controls.
  if (outcome found = find_controls(); !found.ok()) return found;
  // 4. The menu, the recursion list, the preview, page 0, the title, handlers.
  create_menu();
  controls_->recursion->clear();
  for (int id = kPhraseFirstRecursionItem; id <= kPhraseLastRecursionItem; ++id) {
    controls_->recursion->addItem(text(id));
  }
  controls_->style_image->write_stretch(true);
  controls_->style_image->write_proportional(true);
  show_page(0);
  set_title();
  connect_handlers();
  name_controls();
  // 5. The catalog into the style list.
  if (outcome loaded = catalog_.load(folders_.read_path("templates.txt")); !loaded.ok()) {
    return loaded;
  }
  if (catalog_.entries.empty()) return {result_no_style, phrase(217)};
  {
    const quiet_scope filling(*this);
    for (const auto& entry : catalog_.entries) controls_->styles->addItem(to_qt(entry->name));
    controls_->styles->setCurrentRow(0);
  }
  // 6. A new project; a failure is shown and the window goes on. From here
  // on every change to a control is the user's.
  new_project();
  track_changes();
  show_build_state();
  // 7. The prompts and the about box.
  edit_prompt_ = std::make_unique<edit_prompt>();
  memo_prompt_ = std::make_unique<memo_prompt>();
  for (prompt_form* prompt : {static_cast<prompt_form*>(edit_prompt_.get()),
                              static_cast<prompt_form*>(memo_prompt_.get())}) {
    prompt->set_button_captions(text(240), text(241));
  }
  about_box_ = std::make_unique<about_box>();
  about_box_->fill(&language_);
  // 8. Where the window was left; without settings the form centres itself.
  if (settings_.read(folders_.read_path("settings.txt"))) {
    controls_->form->place_at(
        opening_position(QPoint(settings_.left, settings_.top), controls_->form->size()));
    fill_recent_menu();
  }
  close_guard_ = std::make_unique<close_guard>(*this);
  controls_->form->installEventFilter(close_guard_.get());
  return {};
}

void main_window::create_menu() {
  controls& c = *controls_;
  auto* bar = new QMenuBar;  // the form owns it once attached
  c.form->attach_menu_bar(bar);
  for (int i = 0; i < 5; ++i) c.menus[i] = bar->addMenu(text(245 + i));
  // The last entry is a command of its own: the product's web page.
  QAction* web = bar->addAction(text(250));
  QObject::connect(web, &QAction::triggered, c.context.get(), [this] { open_web_page(); });
  const auto item = [&](QMenu* menu, int phrase_id, const char* keys, auto command) {
    QAction* action = menu->addAction(text(phrase_id));
    if (keys != nullptr) action->setShortcut(QKeySequence(QString::fromLatin1(keys)));
    QObject::connect(action, &QAction::triggered, c.context.get(), command);
    return action;
  };
  item(c.menus[0], 252, "Ctrl+N", [this] { new_project(); });
  item(c.menus[0], 253, "Ctrl+O", [this] { open_project(); });
  item(c.menus[0], 254, "Ctrl+S", [this] { save_project(); });
  item(c.menus[0], 255, "Ctrl+Shift+S", [this] { save_project_as(); });
  c.menus[0]->addSeparator();
  QMenu* recent = c.menus[0]->addMenu(text(256));
  for (size_t k = 0; k < program_settings::kRecentLimit; ++k) {
    c.recent[k] = recent->addAction(QString());
    c.recent[k]->setVisible(false);
    QObject::connect(c.recent[k], &QAction::triggered, c.context.get(),
                     [this, k] { open_recent(static_cast<int>(k)); });
  }
  c.menus[0]->addSeparator();
  item(c.menus[0], 257, nullptr, [this] { controls_->form->close(); });
  c.make_action = item(c.menus[1], 258, nullptr, [this] { make(); });
  c.stop_action = item(c.menus[1], 259, nullptr, [this] { stop(); });
  c.stop_action->setEnabled(false);
  c.preview_action = item(c.menus[1], 260, nullptr, [this] { preview(); });
  c.preview_action->setEnabled(false);
  item(c.menus[2], 277, nullptr, [this] { edit_style(); });
  item(c.menus[2], 278, nullptr, [this] { copy_style(); });
  item(c.menus[2], 279, nullptr, [this] { rename_style(); });
  item(c.menus[2], 280, nullptr, [this] { set_style_image(); });
  item(c.menus[2], 281, nullptr, [this] { set_style_description(); });
  item(c.menus[3], 261, nullptr, [this] { reset_filter(); });
  item(c.menus[4], 262, "F1", [this] { open_help("help.html"); });
  c.menus[4]->addSeparator();
  item(c.menus[4], 264, nullptr, [this] { open_help("support.html"); });
  item(c.menus[4], 265, nullptr, [this] { show_about(); });
}

void main_window::connect_handlers() {
  controls& c = *controls_;
  QObject* context = c.context.get();
  const auto on_click = [context](QAbstractButton* button, auto command) {
    QObject::connect(button, &QAbstractButton::clicked, context, command);
  };
  // However the tab changes (a click, arrow keys, the mouse wheel), the page
  // follows it.
  QObject::connect(c.tabs->tab_bar(), &QTabBar::currentChanged, context,
                   [this](int index) { show_page(index); });
  on_click(c.previous, [this] { show_page(page_ - 1); });
  on_click(c.next, [this] { show_page(page_ + 1); });
  on_click(c.help, [this] { open_page_help(); });
  // Moving the selection applies the style, by mouse or by keyboard alike;
  // activating a row (Enter, a double click) applies it again.
  QObject::connect(c.styles, &QListWidget::currentRowChanged, context,
                   [this](int row) { style_selected(row); });
  QObject::connect(c.styles, &QListWidget::itemActivated, context,
                   [this](QListWidgetItem* item) { style_clicked(controls_->styles->row(item)); });
  on_click(c.edit, [this] { edit_style(); });
  on_click(c.copy, [this] { copy_style(); });
  on_click(c.rename, [this] { rename_style(); });
  on_click(c.image, [this] { set_style_image(); });
  on_click(c.describe, [this] { set_style_description(); });
  on_click(c.browse, [this] { browse_source(); });
  on_click(c.browse_output_dir, [this] { browse_output_dir(); });
  on_click(c.choose_output, [this] { choose_output(); });
  // "Skip files" follows the listing's name while it still names the old one.
  QObject::connect(c.output, &QLineEdit::textChanged, context, [this](const QString& name) {
    if (quiet_ == 0) filter_page_->follow_output_name(shown_output_, name);
    shown_output_ = name;
  });
  on_click(c.try_date, [this] { try_date_format(); });
  QObject::connect(c.date_mode, &QComboBox::currentIndexChanged, context, [this](int index) {
    controls_->date_format->setEnabled(index == 1);
    controls_->try_date->setEnabled(index == 1);
  });
  // A filter mode changes the captions that name the fields beside them.
  for (QComboBox* mode : {c.time_mode, c.size_mode}) {
    QObject::connect(mode, &QComboBox::currentIndexChanged, context, [this] { name_controls(); });
  }
  // A folder of one's own is typed only when the program's icons are off.
  QObject::connect(c.local_icons, &QCheckBox::toggled, context,
                   [this](bool own) { controls_->icon_folder->setEnabled(!own); });
  on_click(c.new_button, [this] { new_project(); });
  on_click(c.open_button, [this] { open_project(); });
  on_click(c.save_button, [this] { save_project(); });
  for (QAbstractButton* button : {c.make_button, c.make_page_button})
    on_click(button, [this] { make(); });
  for (QAbstractButton* button : {c.stop_button, c.stop_page_button})
    on_click(button, [this] { stop(); });
  for (QAbstractButton* button : {c.preview_button, c.preview_page_button, c.open_listing}) {
    on_click(button, [this] { preview(); });
  }
  on_click(c.show_folder, [this] { show_folder_written(); });
}

void main_window::set_project_file(std::string path) {
  project_file_ = std::move(path);
  // Relative folders of the project are taken beside the file the window
  // shows, by the build and by Preview alike.
  collection_->file_name = project_file_;
}

void main_window::show_page(int page) {
  if (page < 0 || page >= kPages) return;
  controls& c = *controls_;
  for (int i = 0; i < kPages; ++i) c.pages[i]->setVisible(i == page);
  page_ = page;
  c.tabs->write_tab_index(page);
  c.header->write_caption(text(kPhraseFirstPageHeader + page));
  c.previous->setEnabled(page > 0);
  c.next->setEnabled(page < c.tabs->tab_bar()->count() - 1);
}

void main_window::set_title() {
  const std::string title = std::string(modified_ ? "* " : "") + std::string(kProductTitle) + " [" +
                            (project_file_.empty() ? phrase(237) : project_file_) + "]";
  controls_->form->setWindowTitle(to_qt(title));
}

int main_window::selected_style() const { return controls_->styles->currentRow(); }

void main_window::show_style(size_t position) {
  if (position >= catalog_.entries.size()) return;
  controls& c = *controls_;
  const style_entry& entry = *catalog_.entries[position];
  shown_style_ = static_cast<int>(position);
  {
    // Showing the style is no choice of one.
    const QSignalBlocker quiet(c.styles);
    c.styles->setCurrentRow(shown_style_);
  }
  c.style_name->setText(to_qt(entry.name));
  c.style_description->setText(to_qt(entry.description));
  set_spoken_name(c.style_image, text(kPhraseStylePictureName) + to_qt(entry.name));
  if (!entry.image_file.empty()) {
    c.style_image->picture().load_file(to_qt(folders_.read_path("templates/" + entry.image_file)));
  } else {
    c.style_image->picture().clear();
  }
}

outcome main_window::view() {
  const quiet_scope showing(*this);
  html_list_project* current = project();
  if (current == nullptr) return {result_no_style, phrase(kPhraseNoProject)};
  const project_settings& s = current->settings;
  size_t position = 0;
  if (catalog_.find_by_file(s.format_file, &position) == nullptr) position = 0;
  show_style(position);
  controls& c = *controls_;
  c.source->setText(to_qt(s.path));
  c.recursion->setCurrentIndex(s.recursion_depth + 1);
  (s.subfolders_in_one_file ? c.single_file : c.file_per_folder)->setChecked(true);
  c.output->setText(to_qt(s.save));
  shown_output_ = c.output->text();  // also when the text was the same
  c.sort->setCurrentIndex(s.order_files - 1);
  (s.sort_order ? c.descending : c.ascending)->setChecked(true);
  if (auto* down = qobject_cast<speed_button_adapter*>(s.sort_order ? c.descending : c.ascending)) {
    down->write_down(true);
  }
  c.show_folders->setChecked((s.show_folders & show_folders_bit) != 0);
  c.show_files->setChecked((s.show_folders & show_files_bit) != 0);
  c.disk_space->setChecked(s.disk_space);
  c.recursive_sizes->setChecked((s.recursive_options & recursive_subtree_sizes) != 0);
  c.leave_out_empty->setChecked((s.recursive_options & recursive_leave_out_empty) != 0);
  c.folders_after_level->setChecked((s.recursive_options & recursive_folders_after_level) != 0);
  c.show_summary->setChecked(s.show_summary);
  c.url_escape->setCurrentIndex(s.url_escape);
  c.size_units->setCurrentIndex(unit_item(s.size_units));
  c.file_types->setCurrentIndex(s.shell_mode == shell_mode_system_types ? 1 : 0);
  c.date_mode->setCurrentIndex(s.use_date_format ? 1 : 0);
  c.date_format->setText(to_qt(s.date_format));
  c.utc->setChecked(!s.is_local_date);
  c.local_icons->setChecked(s.local_image_dir);
  c.icon_folder->setText(to_qt(s.image_dir));
  c.icon_folder->setEnabled(!s.local_image_dir);
  c.link_base->setText(to_qt(s.link_base));
  c.output_dir->setText(to_qt(s.output_dir));
  c.overwrite->setChecked(s.overwrite);
  c.listing_title->setText(to_qt(s.listing_title));
  c.thumbnails->setChecked(s.thumbnails);
  filter_page_->load(s.filter);
  c.date_format->setEnabled(c.date_mode->currentIndex() == 1);
  c.try_date->setEnabled(c.date_mode->currentIndex() == 1);
  return {};
}

outcome main_window::store() {
  html_list_project* current = project();
  if (current == nullptr) return {result_out_of_memory, phrase(kPhraseOutOfMemory)};
  const int style = selected_style();
  if (style < 0 || static_cast<size_t>(style) >= catalog_.entries.size()) {
    return {result_no_style, phrase(kPhraseNoStyleSelected)};
  }
  project_settings& s = current->settings;
  const style_entry& entry = *catalog_.entries[static_cast<size_t>(style)];
  // A bundled style is named as the program folder holds it, so the project
  // keeps working when the program moves or is upgraded; a style copied into
  // the user's folder keeps its full path.
  const std::string bundled = "templates/" + entry.file;
  const std::string template_path = folders_.read_path(bundled);
  s.format_file = template_path == folders_.program_folder() + bundled ? bundled : template_path;
  controls& c = *controls_;
  s.path = from_qt(c.source->text());
  keep_or_take(s.recursion_depth, c.recursion, -1);
  s.subfolders_in_one_file = c.single_file->isChecked();
  s.save = from_qt(c.output->text());
  keep_or_take(s.order_files, c.sort, 1);
  s.sort_order = c.descending->isChecked();
  s.show_folders = (c.show_folders->isChecked() ? show_folders_bit : 0) |
                   (c.show_files->isChecked() ? show_files_bit : 0);
  s.disk_space = c.disk_space->isChecked();
  s.recursive_options = (c.recursive_sizes->isChecked() ? recursive_subtree_sizes : 0) |
                        (c.leave_out_empty->isChecked() ? recursive_leave_out_empty : 0) |
                        (c.folders_after_level->isChecked() ? recursive_folders_after_level : 0);
  s.show_summary = c.show_summary->isChecked();
  keep_or_take(s.url_escape, c.url_escape, 0);
  take_units(s.size_units, c.size_units);
  s.shell_mode = c.file_types->currentIndex() == 1 ? shell_mode_system_types : 0;
  s.use_date_format = c.date_mode->currentIndex() == 1;
  s.date_format = from_qt(c.date_format->text());
  s.is_local_date = !c.utc->isChecked();
  s.local_image_dir = c.local_icons->isChecked();
  s.image_dir = from_qt(c.icon_folder->text());
  s.link_base = from_qt(c.link_base->text());
  s.output_dir = from_qt(c.output_dir->text());
  s.overwrite = c.overwrite->isChecked();
  s.listing_title = from_qt(c.listing_title->text());
  s.thumbnails = c.thumbnails->isChecked();
  filter_page_->store(s.filter);
  settings_.last_folder = s.path;
  return {};
}

void main_window::clear_status() {
  controls_->status->write_caption(QString());
  controls_->preview_button->setEnabled(false);
  controls_->preview_page_button->setEnabled(false);
  controls_->preview_action->setEnabled(false);
  controls_->progress->hide();
  build_end_ = build_end::none;
  written_file_.clear();
  show_build_state();
}

QString main_window::status_text() const { return controls_->status->read_caption(); }

void main_window::remember_current_project() { settings_.remember_project(project_file_); }

void main_window::fill_recent_menu() {
  for (size_t k = 0; k < program_settings::kRecentLimit; ++k) {
    QAction* action = controls_->recent[k];
    const bool filled = k < settings_.recent_projects.size();
    action->setVisible(filled);
    if (filled) {
      // The number is the item's mnemonic.
      action->setText(QStringLiteral("&%1 ").arg(k + 1) + to_qt(settings_.recent_projects[k]));
    }
  }
}

void main_window::new_project() {
  if (!may_drop_changes()) return;
  remember_current_project();
  fill_recent_menu();
  collection_->projects.clear();
  html_list_project& fresh = collection_->first_project_creating();
  set_project_file({});
  if (!catalog_.entries.empty()) pick_style(*catalog_.entries.front(), fresh, folders_);
  clear_status();
  set_modified(false);
  if (outcome shown = view(); !shown.ok()) show_error(shown.message());
  show_page(0);
}

outcome main_window::load_project(const std::string& path) {
  // A file that fails to load leaves the project it would have replaced, so
  // that the window never names one file while holding another (which Save
  // would then write over the file it failed to read).
  std::vector<std::unique_ptr<html_list_project>> kept = std::move(collection_->projects);
  collection_->projects.clear();
  outcome loaded = collection_->load_file(path);
  // A file whose project elements are all empty loads none.
  if (loaded.ok() && collection_->projects.empty()) {
    loaded = {result_project_not_readable, phrase(kPhraseNotAProject)};
  }
  if (!loaded.ok()) {
    collection_->projects = std::move(kept);
    set_project_file(project_file_);
    return loaded;
  }
  set_project_file(path);
  clear_status();
  outcome shown = view();
  set_modified(false);
  return shown;
}

void main_window::open_project() {
  if (!may_drop_changes()) return;
  file_dialog dialog;
  dialog.owner = controls_->form;
  dialog.title = phrase(kPhraseOpenProjectTitle);
  dialog.filter_text = phrase(kPhraseProjectFilter);
  dialog.default_extension = phrase(kPhraseProjectDefaultExtension);
  dialog.initial_folder = dialog_folder(!project_file_.empty() ? folder_of(project_file_)
                                        : !settings_.recent_projects.empty()
                                            ? folder_of(settings_.recent_projects.front())
                                            : std::string());
  // Page 0 follows a success and a cancelled dialog, not a failure.
  if (dialog.open(dialogs_)) {
    settings_.last_folder = folder_of(dialog.result_path);
    if (!open_project_file(dialog.result_path).ok()) return;
  }
  show_page(0);
}

outcome main_window::open_project_file(const std::string& path) {
  remember_current_project();
  fill_recent_menu();
  outcome loaded = load_project(path);
  if (!loaded.ok()) show_warning(loaded.message());
  return loaded;
}

bool main_window::save_project() {
  if (project_file_.empty()) return save_project_as();
  if (outcome stored = store(); !stored.ok()) {
    show_error(stored.message());
    return false;
  }
  if (outcome saved = collection_->save_file(project_file_); !saved.ok()) {
    show_error(saved.message());
    return false;
  }
  set_modified(false);
  return true;
}

bool main_window::save_project_as() {
  if (outcome stored = store(); !stored.ok()) {
    show_error(stored.message());
    return false;
  }
  file_dialog dialog;
  dialog.owner = controls_->form;
  dialog.title = phrase(kPhraseSaveProjectTitle);
  dialog.filter_text = phrase(kPhraseProjectFilter);
  dialog.default_extension = phrase(kPhraseProjectDefaultExtension);
  dialog.initial_folder = dialog_folder(folder_of(project_file_));
  if (!dialog.save(dialogs_)) return false;
  settings_.last_folder = folder_of(dialog.result_path);
  remember_current_project();
  fill_recent_menu();
  set_project_file(dialog.result_path);
  if (outcome saved = collection_->save_file(project_file_); !saved.ok()) {
    show_error(saved.is(result_write_failed) ? saved.message() : phrase(kPhraseOutOfMemory));
    set_title();
    return false;
  }
  set_modified(false);
  return true;
}

void main_window::open_recent(int index) {
  if (index < 0 || static_cast<size_t>(index) >= settings_.recent_projects.size()) return;
  if (!may_drop_changes()) return;
  const std::string path = settings_.recent_projects[static_cast<size_t>(index)];
  remember_current_project();
  if (outcome loaded = load_project(path); !loaded.ok()) show_error(loaded.message());
  fill_recent_menu();
}

void main_window::style_clicked(int row) {
  html_list_project* current = project();
  if (row < 0 || static_cast<size_t>(row) >= catalog_.entries.size() || current == nullptr) {
    show_error(phrase(kPhraseOutOfMemory));
    return;
  }
  if (!may_drop_changes()) {
    // The list goes back to the style the project still uses.
    const QSignalBlocker quiet(controls_->styles);
    controls_->styles->setCurrentRow(shown_style_);
    return;
  }
  // A style starts a project of its own: its preset replaces the settings.
  set_project_file({});
  clear_status();
  pick_style(*catalog_.entries[static_cast<size_t>(row)], *current, folders_);
  if (outcome shown = view(); !shown.ok()) show_error(shown.message());
  set_modified(false);
}

void main_window::style_selected(int row) {
  if (quiet_ > 0 || row < 0 || row == shown_style_) return;
  style_clicked(row);
}

void main_window::edit_style() {
  const int style = selected_style();
  if (style < 0) {
    show_error(phrase(kPhraseNoStyleSelected));
    return;
  }
  open_with_shell(
      folders_.read_path("templates/" + catalog_.entries[static_cast<size_t>(style)]->file));
}

void main_window::copy_style() {
  const int style = selected_style();
  const style_entry* entry =
      style >= 0 ? catalog_.entries[static_cast<size_t>(style)].get() : nullptr;
  if (outcome copied = catalog_.copy(entry, phrase(239), folders_); !copied.ok()) {
    show_error(copied.message());
    // A copy whose catalog could not be saved is still listed.
    if (catalog_.entries.size() == static_cast<size_t>(controls_->styles->count())) return;
  }
  controls_->styles->addItem(to_qt(catalog_.entries.back()->name));
}

void main_window::edit_style_field(int title_phrase, std::string style_entry::*field,
                                   bool multi_line) {
  const int style = selected_style();
  if (style < 0) {
    show_error(phrase(kPhraseNoStyleSelected));
    return;
  }
  style_entry& entry = *catalog_.entries[static_cast<size_t>(style)];
  prompt_form& prompt = multi_line ? static_cast<prompt_form&>(*memo_prompt_)
                                   : static_cast<prompt_form&>(*edit_prompt_);
  prompt.set_title(text(title_phrase));
  prompt.set_message(text(title_phrase));
  prompt.set_initial_text(to_qt(entry.*field));
  prompt.set_completion([this, &entry, field, style](const QString& result) {
    entry.*field = from_qt(result);
    folders_.make_write_folder();
    // The catalog's own message names the whole path and the reason.
    if (const outcome saved = catalog_.save(folders_.write_folder()); !saved.ok()) {
      show_error(saved.message());
    }
    if (field == &style_entry::name) controls_->styles->item(style)->setText(result);
    show_style(static_cast<size_t>(style));
  });
  prompt.centre_over_window(controls_->form);
  prompt.show(dialogs_);
}

void main_window::rename_style() { edit_style_field(242, &style_entry::name, false); }
void main_window::set_style_image() { edit_style_field(243, &style_entry::image_file, false); }
void main_window::set_style_description() {
  edit_style_field(244, &style_entry::description, true);
}

void main_window::reset_filter() {
  if (outcome stored = store(); !stored.ok()) {
    show_error(stored.message());
    return;
  }
  std::vector<std::string> before;
  write_project(*project(), before);
  project()->settings.filter.reset();
  project()->settings.filter.compile_masks();
  std::vector<std::string> after;
  write_project(*project(), after);
  if (outcome shown = view(); !shown.ok()) show_error(shown.message());
  if (after != before) set_modified(true);
}

void main_window::try_date_format() {
  const std::string format = from_qt(controls_->date_format->text());
  if (format.empty()) return;
  std::string shown;
  // The present moment in local time, as a listing with local dates shows it.
  const unix_time now = to_local_time(static_cast<unix_time>(std::time(nullptr)));
  format_date_time(now, true, format, date_time_formats{}, shown);
  controls_->date_result->setText(to_qt(shown));
}

void main_window::browse_source() {
  folder_dialog dialog;
  dialog.owner = controls_->form;
  dialog.title = phrase(kPhraseChooseSourceTitle);
  const std::string typed = from_qt(controls_->source->text());
  dialog.initial_folder = dialog_folder(typed);
  if (!dialog.run(dialogs_)) return;
  controls_->source->setText(to_qt(dialog.result_path));
  settings_.last_folder = dialog.result_path;
}

void main_window::browse_output_dir() {
  folder_dialog dialog;
  dialog.owner = controls_->form;
  dialog.title = phrase(kPhraseChooseOutputDirTitle);
  const std::string typed = from_qt(controls_->output_dir->text());
  dialog.initial_folder = dialog_folder(typed);
  if (!dialog.run(dialogs_)) return;
  controls_->output_dir->setText(to_qt(dialog.result_path));
  settings_.last_folder = dialog.result_path;
}

void main_window::choose_output() {
  file_dialog dialog;
  dialog.owner = controls_->form;
  dialog.title = phrase(kPhraseChooseOutputTitle);
  dialog.filter_text = phrase(kPhraseOutputFilter);
  dialog.default_extension = phrase(kPhraseOutputDefaultExtension);
  const std::string typed = from_qt(controls_->output->text());
  // A bare name is in no folder the dialog knows: it starts where the user
  // was last, with the name filled in.
  dialog.initial_folder =
      dialog_folder(typed.find('/') == std::string::npos ? std::string() : folder_of(typed));
  dialog.initial_file = typed;
  if (!dialog.save(dialogs_)) return;
  controls_->output->setText(to_qt(dialog.result_path));
  settings_.last_folder = folder_of(dialog.result_path);
}

std::string main_window::dialog_folder(const std::string& preferred) const {
  if (!preferred.empty()) return preferred;
  if (!settings_.last_folder.empty()) return settings_.last_folder;
  return QDir::homePath().toStdString();
}

bool main_window::open_with_shell(const std::string& target) {
  if (dialogs_.open_url(local_file_url(target))) return true;
  show_error(phrase(kPhraseCantOpenWithShell) + target);
  return false;
}

void main_window::open_help(const std::string& file) {
  open_with_shell(folders_.program_folder() + file);
}

void main_window::open_page_help() {
  if (page_ < 0 || page_ >= kPages) return;
  open_help(kPageHelp[page_]);
}

void main_window::show_about() { about_box_->show(dialogs_, controls_->form); }

void main_window::open_web_page() {
  // The product has no web address of its own; its support page says where
  // help is found.
  if (!dialogs_.open_url(local_file_url(folders_.program_folder() + "support.html"))) {
    show_error(phrase(269));
  }
}

void main_window::show_error(const std::string& message) {
  dialogs_.message_box(controls_->form, {QMessageBox::Critical, text(kPhraseErrorCaption),
                                         to_qt(message), QMessageBox::Ok});
}

void main_window::show_warning(const std::string& message) {
  dialogs_.message_box(controls_->form, {QMessageBox::Warning, text(kPhraseErrorCaption),
                                         to_qt(message), QMessageBox::Ok});
}

void main_window::closing() {
  // A running build ends before anything it uses goes away.
  if (runner_->running()) {
    runner_->stop_and_wait();
    set_busy(false);
  }
  remember_current_project();
  settings_.left = controls_->form->x();
  settings_.top = controls_->form->y();
  // The size as the window has it, never the zeros of settings that had none.
  settings_.width = controls_->form->width();
  settings_.height = controls_->form->height();
  folders_.make_write_folder();
  // A desktop user never sees standard error: the failure gets a box.
  if (outcome saved = settings_.write(folders_.write_path("settings.txt"), &language_);
      !saved.ok()) {
    show_error(saved.message());
  }
}

}  // namespace dirscribe
