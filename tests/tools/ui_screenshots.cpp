// Saves pictures of the wizard window as the interface description builds it:
// the main window and each of its five pages, for the documentation and for
// looking at a layout change without a display.
//
// Usage: ui_screenshots PROGRAM_DIR OUT_DIR
// Runs on any Qt platform; scripts/screenshots.sh runs it offscreen, at 100%
// and (with QT_SCALE_FACTOR=2) at 200%.

#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QTabBar>
#include <cstdio>
#include <string>

#include "markup/resource_document.h"
#include "services/qxlang.h"
#include "ui/container_adapters.h"
#include "ui/file_filter_ui.h"
#include "ui/form_builder.h"

namespace dirscribe {
namespace {

int fail(const std::string& text) {
  std::fprintf(stderr, "ui_screenshots: %s\n", text.c_str());
  return 1;
}

int run(const std::string& program_dir, const QString& out) {
  const QString out_dir = QDir(out).absolutePath();  // before leaving the current folder
  // Pictures named in the description are relative to the program folder.
  if (chdir(program_dir.c_str()) != 0) return fail("can't enter " + program_dir);
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
  QWidget* window = forms.main_form();
  const xml_node* root = ui_tree.first();
  auto* tabs = find_control<tab_control_adapter>(ui_tree, "main", root);
  auto* header = find_control<panel_adapter>(ui_tree, "main/pTop", root);
  if (window == nullptr || tabs == nullptr || header == nullptr) return fail("no main window");
  // The filter page as the window sets it up: captions, presets, modes.
  xml_tree filter_panel;
  filter_panel.append_top(ui_tree.detach(xml_find(ui_tree, "/TvostraDSC/main/pFilter")));
  fileFilterUI filter_page(&phrases, filter_panel, 150);
  if (filter_page.set_up() != 0) return fail("the filter panel lacks a control");
  filter_page.set_include_presets(read_filter_presets("filter.txt"));
  window->show();
  QDir().mkpath(out_dir);

  const char* pages[] = {"pStyle", "pSource", "pFilter", "pOptions", "pBuild"};
  for (int page = 0; page < 5; ++page) {
    for (int other = 0; other < 5; ++other) {
      // The filter panel lives in its own document now.
      QWidget* panel =
          other == 2 ? find_control<QWidget>(filter_panel, "/pFilter")
                     : find_control<QWidget>(ui_tree, std::string("main/") + pages[other], root);
      if (panel != nullptr) panel->setVisible(other == page);
    }
    tabs->write_tab_index(page);
    const std::string_view title = phrases.text(200 + page);
    header->write_caption(QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())));
    QApplication::processEvents();
    const QString name = QStringLiteral("%1/page-%2-%3.png")
                             .arg(out_dir)
                             .arg(page + 1)
                             .arg(QString::fromLatin1(pages[page] + 1).toLower());
    const QPixmap picture = window->grab();
    if (!picture.save(name)) return fail("can't write " + name.toStdString());
    if (page == 0) picture.save(out_dir + QStringLiteral("/main-window.png"));
    std::printf("%s\n", name.toUtf8().constData());
    if (page != 2) continue;
    // The filter page once per time mode, with the size and attribute
    // groups open too in the later ones.
    auto* time_mode = find_control<QComboBox>(filter_panel, "/pFilter/gbTime/cTime");
    auto* size_mode = find_control<QComboBox>(filter_panel, "/pFilter/gbSize/cSize");
    auto* attributes = find_control<QAbstractButton>(filter_panel, "/pFilter/gbAttr/cbAttr");
    for (int mode = 1; mode < 5; ++mode) {
      time_mode->setCurrentIndex(mode);
      size_mode->setCurrentIndex(mode == 1 ? 1 : mode - 1);
      attributes->setChecked(mode >= 2);
      QApplication::processEvents();
      const QString mode_name =
          QStringLiteral("%1/page-3-filter-time-%2.png").arg(out_dir).arg(mode);
      if (!window->grab().save(mode_name)) return fail("can't write " + mode_name.toStdString());
      std::printf("%s\n", mode_name.toUtf8().constData());
    }
    time_mode->setCurrentIndex(0);
    size_mode->setCurrentIndex(0);
    attributes->setChecked(false);
  }
  return 0;
}

}  // namespace
}  // namespace dirscribe

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "Usage: ui_screenshots PROGRAM_DIR OUT_DIR\n");
    return 2;
  }
  return dirscribe::run(argv[1], QString::fromLocal8Bit(argv[2]));
}
