// The window's build: Make and Stop, the progress and end of a build as the
// Build page shows them, and Preview of the file the build writes.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPalette>
#include <QProgressBar>
#include <QTabBar>

#include "engine/listing_run.h"
#include "engine/project_context.h"
#include "listing/listing_driver.h"
#include "services/phrase_ids.h"
#include "services/phrase_table.h"
#include "ui/basic_adapters.h"
#include "ui/build_runner.h"
#include "ui/container_adapters.h"
#include "ui/dialog_host.h"
#include "ui/main_window.h"
#include "ui/main_window_controls.h"
#include "ui/qt_text.h"
#include "ui/shell_open.h"

namespace dirscribe {

namespace {

// At most this many warnings are listed in the box after a build; a box
// taller than the screen would hide its own button.
constexpr size_t kWarningsShown = 20;

// The bar of a failed build: a red that keeps white counts readable on it in
// light, dark and high-contrast palettes alike.
const QColor kFailedBarColour(0xb0, 0x1c, 0x1c);

}  // namespace

void main_window::set_busy(bool busy) {
  busy_ = busy;
  controls& c = *controls_;
  // The tab bar, not the whole tab control: the Build page stays readable
  // while the other pages cannot be reached.
  for (QWidget* widget :
       {static_cast<QWidget*>(c.new_button), static_cast<QWidget*>(c.open_button),
        static_cast<QWidget*>(c.save_button), static_cast<QWidget*>(c.make_button),
        static_cast<QWidget*>(c.preview_button), static_cast<QWidget*>(c.tabs->tab_bar()),
        c.navigation}) {
    widget->setEnabled(!busy);
  }
  for (QAction* action : {c.make_action, c.preview_action}) action->setEnabled(!busy);
  for (int i : {0, 3, 4}) c.menus[i]->setEnabled(!busy);
  c.stop_button->setEnabled(busy);
  c.stop_action->setEnabled(busy);
  c.preview_page_button->setEnabled(!busy && c.preview_button->isEnabled());
  show_build_state();
}

void main_window::show_build_state() {
  controls& c = *controls_;
  c.make_page_button->setEnabled(!busy_);
  c.stop_page_button->setEnabled(busy_);
  // A failed build's bar is red as well as worded so; the others keep the
  // palette's colour.
  QPalette bar;
  if (build_end_ == build_end::failed) {
    bar = c.progress->palette();
    bar.setColor(QPalette::Highlight, kFailedBarColour);
    bar.setColor(QPalette::HighlightedText, Qt::white);
  }
  c.progress->setPalette(bar);
  const bool done = !busy_ && build_end_ == build_end::done && !written_file_.empty();
  c.written_file->setText(done ? text(kPhraseWrittenFile) + to_qt(written_file_) : QString());
  c.written_file->setToolTip(done ? to_qt(written_file_) : QString());
  c.done_row->setVisible(done);
}

void main_window::show_folder_written() {
  if (written_file_.empty()) return;
  open_with_shell(QFileInfo(to_qt(written_file_)).absolutePath().toStdString());
}

void main_window::make() {
  if (busy_) return;
  if (outcome stored = store(); !stored.ok()) {
    show_warning(stored.message());
    return;
  }
  const project_settings& s = project()->settings;
  int refused = 0;
  if (s.path.empty()) {
    refused = kPhraseNoSourceFolder;
  } else if (s.save.empty()) {
    refused = kPhraseNoOutputName;
  } else if (!s.subfolders_in_one_file && s.save.find('/') != std::string::npos) {
    refused = kPhraseOutputNameHasFolder;
  }
  if (refused != 0) {
    show_warning(phrase(refused));
    return;
  }
  // Relative folders of the project are taken beside the project file the
  // window shows, not beside one opened earlier (New and Save as change it).
  collection_->file_name = project_file_;
  show_page(4);
  build_end_ = build_end::none;
  written_file_.clear();
  // The last build's end is no longer what the page shows.
  controls_->status->write_caption(QString());
  set_busy(true);
  build_warnings_.clear();
  show_counts(0, 0);
  controls_->progress->setRange(0, 0);  // how much is left is not known
  controls_->progress->show();
  // The outcome reaches the window through the collection's last_result.
  runner_->start();
}

std::string warnings_text(const std::vector<std::string>& warnings, size_t shown,
                          std::string_view more) {
  std::string text;
  for (size_t i = 0; i < warnings.size() && i < shown; ++i) {
    if (i > 0) text += '\n';
    text += warnings[i];
  }
  if (warnings.size() > shown) {
    if (!text.empty()) text += '\n';
    text.append(more).append(std::to_string(warnings.size() - shown));
  }
  return text;
}

void main_window::show_progress(const build_progress& progress) {
  if (!busy_) return;
  controls_->status->write_caption(to_qt(progress.message));
  show_counts(progress.folders_read, progress.files_listed);
}

void main_window::show_counts(int64_t folders, int64_t files) {
  const QString failed =
      build_end_ == build_end::failed ? text(kPhraseBarFailed) + QStringLiteral("    ") : QString();
  controls_->progress->setFormat(failed + text(kPhraseFoldersRead) + QString::number(folders) +
                                 QStringLiteral("    ") + text(kPhraseFilesListed) +
                                 QString::number(files));
}

void main_window::report_finish(const build_progress& totals) {
  const outcome& result = collection_->last_result;
  build_end_ = result.ok()                 ? build_end::done
               : result.is(result_stopped) ? build_end::stopped
                                           : build_end::failed;
  written_file_ = result.ok() ? preview_target() : std::string();
  set_busy(false);
  // The bar ends full when the build came to its end (red when it failed),
  // empty when it was stopped; the final counts stay on it.
  controls_->progress->setRange(0, 1);
  controls_->progress->setValue(build_end_ == build_end::stopped ? 0 : 1);
  show_counts(totals.folders_read, totals.files_listed);
  // One box says everything: the failure, then what the build warned about.
  const std::string warnings =
      warnings_text(build_warnings_, kWarningsShown, phrase(kPhraseMoreWarnings));
  if (result.ok()) {
    controls_->status->write_caption(text(kPhraseBuildDone));
  } else if (result.is(result_stopped)) {
    controls_->status->write_caption(text(236));
  } else {
    const std::string error = result.message().empty() && result.is(result_out_of_memory)
                                  ? phrase(kPhraseOutOfMemory)
                                  : result.message();
    controls_->status->write_caption(to_qt(phrase(kPhraseBuildFailed) + error));
    show_error(warnings.empty() ? error : error + "\n\n" + warnings);
  }
  if ((result.ok() || result.is(result_stopped)) && !warnings.empty()) {
    dialogs_.message_box(controls_->form, {QMessageBox::Warning, text(kPhraseBuildWarningsTitle),
                                           to_qt(warnings), QMessageBox::Ok});
  }
  controls_->preview_button->setEnabled(true);
  controls_->preview_page_button->setEnabled(true);
  controls_->preview_action->setEnabled(true);
  QApplication::beep();
}

void main_window::stop() { runner_->stop(); }

std::string main_window::preview_target() const {
  const html_list_project* current = project();
  if (current == nullptr || current->settings.save.empty() || current->settings.save == "-") {
    return {};
  }
  // Worked out by the driver's own rules (the listed folder and output_dir
  // as they resolve beside the project file), so Preview opens the very file
  // a build writes.
  listing_run run(current->settings, *collection_);
  prepare_run(run);
  return output_path(run, run.folder);
}

void main_window::preview() {
  const std::string target = preview_target();
  if (target.empty()) return;
  if (!dialogs_.open_url(local_file_url(target))) {
    show_error(phrase(kPhraseCantOpenWithShell) + project()->settings.save);
  }
}

}  // namespace dirscribe
