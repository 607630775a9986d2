// Saves pictures of the wizard window as a user sees it: every page with the
// first style selected, the filter page in each time mode, the Build page
// after a build of PROJECT (when given), and the about box.
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

#include "markup/resource_document.h"
#include "services/qxlang.h"
#include "ui/form_builder.h"
#include "ui/main_window.h"
#include "ui/message_box.h"
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
  const QString out_dir = QDir(out).absolutePath();  // before leaving the current folder
  // Pictures named in the description are relative to the program folder.
  if (chdir(program_dir.c_str()) != 0) return fail("can't enter " + program_dir);
  set_message_box_answer([](const message_box_request& request) {
    std::fprintf(stderr, "box: %s\n", request.text.toUtf8().constData());
    return QMessageBox::Ok;
  });
  xml_tree resources;
  std::string error;
  if (load_resource_document("vostra.bin", resources, error) != 0) return fail(error);
  qxlang phrases;
  phrases.load(resources);
  xml_node* description = xml_find(resources, "/TvostraDSC");
  if (description == nullptr) return fail("no /TvostraDSC in vostra.bin");
  xml_tree ui_tree;
  ui_tree.append_top(resources.detach(description));
  form_application forms;
  if (const outcome built = build_forms(ui_tree, forms); !built.ok()) return fail(built.message());
  // Nothing the window saves may land in the program folder.
  char user_folder[] = "/tmp/ui-screenshots-XXXXXX";
  if (mkdtemp(user_folder) == nullptr) return fail("no temporary folder");
  main_window window(phrases, ui_tree,
                     user_data_folders(QDir::currentPath().toStdString(), user_folder, false));
  if (const outcome built = window.build(); !built.ok()) return fail(built.message());
  window.form()->show();
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
    window.wait_for_build();
    save(form, out_dir + QStringLiteral("/page-5-build-done.png"));
  }
  qx_about_box about;
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
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "Usage: ui_screenshots PROGRAM_DIR OUT_DIR [PROJECT]\n");
    return 2;
  }
  return dirscribe::run(argv[1], QString::fromLocal8Bit(argv[2]), argc == 4 ? argv[3] : "");
}
