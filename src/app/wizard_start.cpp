#include "app/wizard_start.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/messages.h"
#include "platform/user_data.h"
#include "ui/contrast_style.h"
#include "ui/dialog_host.h"
#include "ui/form_builder.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"

namespace dirscribe {

namespace {

void show_information(dialog_host& dialogs, const std::string& text) {
  if (text.empty()) return;
  dialogs.message_box(
      nullptr, {QMessageBox::Information, to_qt(kProgramTitle), to_qt(text), QMessageBox::Ok});
}

// Tests run the real program without anyone to answer it: with
// DIRSCRIBE_TEST_HOOK=quit every message box is printed to standard error and
// answered OK, and the main window closes as soon as it has shown.
bool test_hook_set() {
  const char* hook = std::getenv("DIRSCRIBE_TEST_HOOK");
  return hook != nullptr && std::strcmp(hook, "quit") == 0;
}

// The desktop's dialogs, except that message boxes go to standard error and
// are answered OK.
class boxes_on_standard_error : public desktop_dialogs {
 public:
  QMessageBox::StandardButton message_box(QWidget*, const message_box_request& request) override {
    std::fprintf(stderr, "%s: %s\n", terminal_safe(request.title.toUtf8().toStdString()).c_str(),
                 terminal_safe(request.text.toUtf8().toStdString()).c_str());
    return QMessageBox::Ok;
  }
};

}  // namespace

int run_wizard(program_setup& app, const outcome& started) {
  // Qt keeps references to both for the application's whole life.
  int argc = 1;
  char name[] = "dirscribe";
  char* argv[] = {name, nullptr};
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("dirscribe"));
  QApplication::setApplicationDisplayName(to_qt(kProgramTitle));
  // The desktop finds the window's entry and icon by this name; under Wayland
  // it has nothing else to go by. Outside an installed copy there is no such
  // icon in the theme, and the window keeps the platform's default.
  QGuiApplication::setDesktopFileName(to_qt(kDesktopId));
  QApplication::setWindowIcon(QIcon::fromTheme(to_qt(kDesktopId)));
  // The desktop's style and palette, with the edges of fields kept visible
  // under dark and high-contrast palettes.
  use_contrast_style();
  const bool test_hook = test_hook_set();
  desktop_dialogs desktop;
  boxes_on_standard_error printed;
  dialog_host& dialogs = test_hook ? static_cast<dialog_host&>(printed) : desktop;

  if (!started.ok()) {
    show_information(dialogs, started.message());
    return 1;
  }
  form_application forms;
  if (const outcome built = build_forms(app.ui_tree, forms, app.program_dir); !built.ok()) {
    show_information(dialogs, built.message());
    return 1;
  }
  if (forms.main_form() == nullptr) {
    show_information(dialogs, "The interface description has no form.");
    return 1;
  }
  // The window finds its controls in the description and works on them;
  // it leaves its settings for the next run when it closes.
  main_window window(*app.lang, app.ui_tree, user_data_folders::for_program(app.program_dir),
                     dialogs);
  if (const outcome built = window.build(); !built.ok()) {
    show_information(dialogs, built.message());
    return 1;
  }
  QWidget* main_form = window.form();
  main_form->show();
  if (test_hook) {
    QTimer::singleShot(0, main_form, [main_form] {
      std::printf("Shown: %s %dx%d at %d,%d\n", main_form->windowTitle().toUtf8().constData(),
                  main_form->width(), main_form->height(), main_form->x(), main_form->y());
      std::fflush(stdout);
      main_form->close();
    });
  }
  QApplication::exec();
  return 0;
}

}  // namespace dirscribe
