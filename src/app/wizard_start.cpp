#include "app/wizard_start.h"

#include <QApplication>
#include <cstdlib>

#include "app/messages.h"
#include "ui/form_builder.h"
#include "ui/message_box.h"

namespace dirscribe {

namespace {

bool set(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] != '\0';
}

QString to_qt(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void show_information(const std::string& text) {
  if (text.empty()) return;
  show_message_box(nullptr,
                   {QMessageBox::Information, to_qt(kProgramTitle), to_qt(text), QMessageBox::Ok});
}

}  // namespace

bool display_available() {
  return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

int run_wizard(dscApp& app, const outcome& started) {
  // Qt keeps references to both for the application's whole life.
  int argc = 1;
  char name[] = "dirscribe";
  char* argv[] = {name, nullptr};
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("dirscribe"));
  QApplication::setApplicationDisplayName(to_qt(kProgramTitle));

  if (!started.ok()) {
    show_information(started.message());
    return 1;
  }
  form_application forms;
  if (const outcome built = build_forms(app.ui_tree, forms); !built.ok()) {
    show_information(built.message());
    return 1;
  }
  QWidget* main_form = forms.main_form();
  if (main_form == nullptr) {
    show_information("The interface description has no form.");
    return 1;
  }
  main_form->show();
  QApplication::exec();
  return 0;
}

}  // namespace dirscribe
