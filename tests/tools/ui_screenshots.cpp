// Saves pictures of the wizard window as a user sees it: every page with the
// first style selected, the filter page in each time mode, the Build page
// after a build of PROJECT (when given), three pages under a dark and a
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
#include <cstdio>
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
  for (int mode = 1; mode < 5; ++mode) {
    time_mode->setCurrentIndex(mode);
    size_mode->setCurrentIndex(mode == 1 ? 1 : mode - 1);
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
        time_mode->setCurrentIndex(1);
        size_mode->setCurrentIndex(1);
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
