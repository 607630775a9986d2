#include "ui/message_box.h"

namespace dirscribe {

namespace {

message_box_answer& installed_answer() {
  static message_box_answer answer;
  return answer;
}

}  // namespace

QMessageBox::StandardButton show_message_box(QWidget* owner, const message_box_request& request) {
  if (installed_answer()) return installed_answer()(request);
  QMessageBox box(request.icon, request.title, request.text, request.buttons, owner);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

void set_message_box_answer(message_box_answer answer) { installed_answer() = std::move(answer); }

}  // namespace dirscribe
