// Message boxes of the wizard. Every box goes through one function, so that
// tests can answer it instead of a person and never block.
#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

namespace dirscribe {

// What a box shows.
struct message_box_request {
  QMessageBox::Icon icon = QMessageBox::Information;
  QString title;
  QString text;
  QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

// Answers a box in place of the user; returns the button "pressed".
using message_box_answer = std::function<QMessageBox::StandardButton(const message_box_request&)>;

// Shows `request` modally over `owner` (nullptr: no owner) and returns the
// button pressed; with an answer installed, returns its answer and shows
// nothing.
QMessageBox::StandardButton show_message_box(QWidget* owner, const message_box_request& request);

// Installs `answer` for every following box (an empty function removes it).
void set_message_box_answer(message_box_answer answer);

}  // namespace dirscribe
