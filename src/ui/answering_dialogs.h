// The tests' dialog_host: every box, dialog, modal form and desktop open is
// answered in place of a person, without a modal loop, and kept in order for
// the test to look at. Nothing it does can block.
#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "ui/dialog_host.h"

namespace dirscribe {

class answering_dialogs : public dialog_host {
 public:
  // The answers; a test replaces the ones it cares about. Unless replaced, a
  // box is answered OK, a file dialog is cancelled, and the desktop takes
  // every address.
  std::function<QMessageBox::StandardButton(const message_box_request&)> box_answer =
      [](const message_box_request&) { return QMessageBox::Ok; };
  std::function<file_dialog_answer(const file_dialog_request&)> file_answer =
      [](const file_dialog_request&) { return file_dialog_answer{}; };
  // Acts on a modal form while it shows (it may fill the fields and click the
  // buttons); a form still open afterwards is rejected. Unset: rejected at
  // once.
  std::function<void(QDialog&)> form_answer;
  std::function<bool(const QUrl&)> open_answer = [](const QUrl&) { return true; };

  // What was asked, in order.
  std::vector<message_box_request> boxes;
  std::vector<file_dialog_request> file_requests;
  std::vector<QUrl> opened;

  QMessageBox::StandardButton message_box(QWidget*, const message_box_request& request) override {
    boxes.push_back(request);
    return box_answer(request);
  }
  file_dialog_answer file_dialog(QWidget*, const file_dialog_request& request) override {
    file_requests.push_back(request);
    return file_answer(request);
  }
  int modal_form(QDialog& form) override {
    form.setResult(QDialog::Rejected);
    form.show();
    if (form_answer) form_answer(form);
    if (form.isVisible()) form.reject();
    return form.result();
  }
  bool open_url(const QUrl& url) override {
    opened.push_back(url);
    return open_answer(url);
  }
};

}  // namespace dirscribe
