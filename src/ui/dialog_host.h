// Everything the wizard asks of the user or hands to the desktop: message
// boxes, file and folder dialogs, its own modal forms, and opening a file or
// web address. The windows reach them only through a dialog_host they are
// given, so that a test hands them one that answers in place of a person and
// never blocks, and no dialog depends on a setting left behind elsewhere.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <memory>
#include <utility>
#include <vector>

class QDialog;
class QWidget;

namespace dirscribe {

// What a message box shows.
struct message_box_request {
  message_box_request() = default;
  message_box_request(QMessageBox::Icon icon, QString title, QString text,
                      QMessageBox::StandardButtons buttons)
      : icon(icon), title(std::move(title)), text(std::move(text)), buttons(buttons) {}

  QMessageBox::Icon icon = QMessageBox::Information;
  QString title;
  QString text;
  QMessageBox::StandardButtons buttons = QMessageBox::Ok;
  // Captions of the window's own for some of `buttons` (the others keep
  // Qt's), and the button Enter presses (none: Qt's choice).
  std::vector<std::pair<QMessageBox::StandardButton, QString>> button_captions;
  QMessageBox::StandardButton default_button = QMessageBox::NoButton;
};

// Which file dialog a request is for.
enum class file_dialog_kind { open, save, folder };

// What a file or folder dialog is asked to show.
struct file_dialog_request {
  file_dialog_kind kind = file_dialog_kind::open;
  QString title;
  QString initial_folder;  // normalised (normalise_initial_folder); empty: Qt's choice
  QString initial_file;
  QStringList name_filters;  // as qt_name_filters makes them; empty for folders
  QString default_suffix;    // added to a saved name without one; no dot
  bool multi_selection = false;
};

// How the user answered a file or folder dialog: confirmed, with the full
// paths chosen (one, or several for a multiple selection; a folder's path for
// a folder dialog).
struct file_dialog_answer {
  bool confirmed = false;
  QStringList paths;
};

class dialog_host {
 public:
  virtual ~dialog_host();

  // Shows `request` modally over `owner` (nullptr: no owner) and returns the
  // button pressed.
  virtual QMessageBox::StandardButton message_box(QWidget* owner,
                                                  const message_box_request& request) = 0;
  // Shows a file or folder dialog modally over `owner` and returns the answer.
  virtual file_dialog_answer file_dialog(QWidget* owner, const file_dialog_request& request) = 0;
  // Runs `form` modally and returns its result (QDialog::Accepted or
  // Rejected); the form is closed when this returns.
  virtual int modal_form(QDialog& form) = 0;
  // Opens `url` with the desktop's handler; true when the desktop took it.
  virtual bool open_url(const QUrl& url) = 0;
};

// The box `request` describes, owned by `owner` (nullptr: none), not shown.
std::unique_ptr<QMessageBox> make_message_box(QWidget* owner, const message_box_request& request);

// The real thing: Qt's boxes and dialogs, modal loops, the desktop's handlers.
class desktop_dialogs : public dialog_host {
 public:
  QMessageBox::StandardButton message_box(QWidget* owner,
                                          const message_box_request& request) override;
  file_dialog_answer file_dialog(QWidget* owner, const file_dialog_request& request) override;
  int modal_form(QDialog& form) override;
  bool open_url(const QUrl& url) override;
};

}  // namespace dirscribe
