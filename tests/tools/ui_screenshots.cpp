// Saves pictures of the wizard window as a user sees it: every page with the
// first style selected, the filter page in each time mode, the Build page
// idle, building, failed and after a build of PROJECT (when given), with the
// question before typed work is dropped, three pages under a dark and a
// high-contrast desktop palette, and the about box.
//
// Usage: ui_screenshots PROGRAM_DIR OUT_DIR [PROJECT]
// Runs on any Qt platform; scripts/screenshots.sh runs it offscreen, at 100%
// and (with QT_SCALE_FACTOR=2) at 200%. Message boxes are answered on
// standard error, so nothing waits.

#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "desktop_palettes.h"
#include "offscreen_wizard.h"

#include "ui/accessibility.h"
#include "ui/contrast_style.h"
#include "ui/prompt_dialogs.h"

namespace dirscribe {
namespace {

int fail(const std::string& text) {
  std::fprintf(stderr, "ui_screenshots: %s\n", text.c_str());
  return 1;
}

bool save(QWidget* widget, const QString& name) {
  QApplication::processEvents();
  if (!widget->grab().save(name)) return false;
  std::printf("%s\n", name.toUtf8().constData());
  return true;
}

// The Build page while a build of a tree too large to end at once runs and
// after a build that failed, then the question before typed work is dropped.
bool save_build_states(main_window& window, printed_boxes& dialogs, const QString& out_dir) {
  QTemporaryDir work;
  if (!work.isValid()) return false;
  const QString tree = work.filePath(QStringLiteral("tree"));
  for (int i = 0; i < 30000; ++i) {
    const QString folder = QStringLiteral("%1/d%2").arg(tree).arg(i % 300);
    QDir().mkpath(folder);
    QFile file(QStringLiteral("%1/f%2.txt").arg(folder).arg(i));
    if (!file.open(QIODevice::WriteOnly)) return false;
  }
  QWidget* form = window.form();
  auto* source = form->findChild<QLineEdit*>(QStringLiteral("eSrc"));
  auto* output = form->findChild<QLineEdit*>(QStringLiteral("eDest"));
  auto* depth = form->findChild<QComboBox*>(QStringLiteral("cbRec"));
  source->setText(tree);
  output->setText(work.filePath(QStringLiteral("tree.html")));
  depth->setCurrentIndex(0);  // all subfolders
  window.make();
  for (int wait = 0; wait < 20 && window.busy() && window.status_text().isEmpty(); ++wait) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    usleep(20000);
  }
  save(form, out_dir + QStringLiteral("/page-5-build-building.png"));
  wait_for_build(window);
  source->setText(work.filePath(QStringLiteral("no such folder")));
  window.make();
  wait_for_build(window);
  save(form, out_dir + QStringLiteral("/page-5-build-failed.png"));
  // The question, as the desktop shows it; Cancel keeps what was typed.
  dialogs.answer = [&out_dir](QWidget* owner, const message_box_request& request) {
    const std::unique_ptr<QMessageBox> box = make_message_box(owner, request);
    box->show();
    save(box.get(), out_dir + QStringLiteral("/save-prompt.png"));
    return QMessageBox::Cancel;
  };
  window.new_project();
  dialogs.answer = nullptr;
  return true;
}

int run(const std::string& program_dir, const QString& out, const std::string& project) {
  const QString out_dir = QDir(out).absolutePath();
  offscreen_wizard wizard;
  if (const outcome opened = wizard.open(program_dir); !opened.ok()) return fail(opened.message());
  main_window& window = *wizard.window;
  const phrase_table& phrases = wizard.phrases;
  QDir().mkpath(out_dir);

  const char* names[] = {"style", "source", "filter", "options", "build"};
  for (int page = 0; page < 5; ++page) {
    window.show_page(page);
    const QString name = QStringLiteral("%1/page-%2-%3.png")
                             .arg(out_dir)
                             .arg(page + 1)
                             .arg(QString::fromLatin1(names[page]));
    if (!save(window.form(), name)) return fail("can't write " + name.toStdString());
    if (page == 0) window.form()->grab().save(out_dir + QStringLiteral("/main-window.png"));
  }
  // The filter page once per time mode, the size and attribute groups open
  // in the later ones.
  window.show_page(2);
  QWidget* form = window.form();
  auto* time_mode = form->findChild<QComboBox*>(QStringLiteral("cTime"));
  auto* size_mode = form->findChild<QComboBox*>(QStringLiteral("cSize"));
  auto* attributes = form->findChild<QAbstractButton*>(QStringLiteral("cbAttr"));
  // Chosen as a user chooses them, so the fields show the window a new mode
  // starts with.
  const auto choose = [](QComboBox* list, int mode) {
    list->setCurrentIndex(mode);
    emit list->activated(mode);
  };
  for (int mode = 1; mode < 5; ++mode) {
    choose(time_mode, mode);
    choose(size_mode, mode == 1 ? 1 : mode - 1);
    attributes->setChecked(mode >= 2);
    save(form, QStringLiteral("%1/page-3-filter-time-%2.png").arg(out_dir).arg(mode));
  }
  time_mode->setCurrentIndex(0);
  size_mode->setCurrentIndex(0);
  attributes->setChecked(false);

  if (!project.empty()) {
    if (!window.open_project_file(project).ok()) return fail("can't open " + project);
    window.make();
    wait_for_build(window);
    save(form, out_dir + QStringLiteral("/page-5-build-done.png"));
    if (!save_build_states(window, wizard.dialogs, out_dir))
      return fail("can't show the build's states");
  }
  // The window under a dark and a high-contrast desktop palette, the
  // keyboard focus on each page's first control as Tab leaves it, so the
  // pictures show how focus looks there. Focus shows in an active window only.
  form->show();
  form->activateWindow();
  for (int wait = 0; wait < 50 && !form->isActiveWindow(); ++wait) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    usleep(20000);
  }
  const struct {
    const char* name;
    QPalette palette;
  } palettes[] = {{"dark", dark_desktop_palette()},
                  {"high-contrast", high_contrast_desktop_palette()}};
  const QPalette usual = QApplication::palette();
  for (const auto& [name, palette] : palettes) {
    QApplication::setPalette(palette);
    for (int page : {0, 2, 3}) {
      window.show_page(page);
      if (page == 2) {
        choose(time_mode, 1);
        choose(size_mode, 1);
        attributes->setChecked(true);
      }
      const std::vector<QWidget*> order = reading_order(window.page_panel(page));
      if (!order.empty()) order.front()->setFocus(Qt::TabFocusReason);
      form->setAttribute(Qt::WA_KeyboardFocusChange);  // as after a Tab press
      save(form, QStringLiteral("%1/%2-page-%3-%4.png")
                     .arg(out_dir, QString::fromLatin1(name))
                     .arg(page + 1)
                     .arg(QString::fromLatin1(names[page])));
    }
  }
  QApplication::setPalette(usual);

  about_box about;
  about.fill(&phrases);
  about.form()->show();
  save(about.form(), out_dir + QStringLiteral("/about-box.png"));
  about.form()->hide();
  return 0;
}

}  // namespace
}  // namespace dirscribe

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  dirscribe::use_contrast_style();  // as the wizard does
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "Usage: ui_screenshots PROGRAM_DIR OUT_DIR [PROJECT]\n");
    return 2;
  }
  return dirscribe::run(argv[1], QString::fromLocal8Bit(argv[2]), argc == 4 ? argv[3] : "");
}
