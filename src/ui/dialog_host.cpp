#include "ui/dialog_host.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>

namespace dirscribe {

dialog_host::~dialog_host() = default;

std::unique_ptr<QMessageBox> make_message_box(QWidget* owner, const message_box_request& request) {
  auto box = std::make_unique<QMessageBox>(request.icon, request.title, request.text,
                                           request.buttons, owner);
  for (const auto& [button, caption] : request.button_captions) {
    if (QAbstractButton* shown = box->button(button)) shown->setText(caption);
  }
  if (request.default_button != QMessageBox::NoButton) {
    box->setDefaultButton(request.default_button);
  }
  return box;
}

QMessageBox::StandardButton desktop_dialogs::message_box(QWidget* owner,
                                                         const message_box_request& request) {
  const std::unique_ptr<QMessageBox> box = make_message_box(owner, request);
  return static_cast<QMessageBox::StandardButton>(box->exec());
}

file_dialog_answer desktop_dialogs::file_dialog(QWidget* owner,
                                                const file_dialog_request& request) {
  QFileDialog dialog(owner, request.title, request.initial_folder);
  switch (request.kind) {
    case file_dialog_kind::open:
      dialog.setAcceptMode(QFileDialog::AcceptOpen);
      dialog.setFileMode(request.multi_selection ? QFileDialog::ExistingFiles
                                                 : QFileDialog::ExistingFile);
      break;
    case file_dialog_kind::save:
      // Qt asks before replacing an existing file unless told otherwise.
      dialog.setAcceptMode(QFileDialog::AcceptSave);
      dialog.setFileMode(QFileDialog::AnyFile);
      break;
    case file_dialog_kind::folder:
      dialog.setFileMode(QFileDialog::Directory);
      dialog.setOption(QFileDialog::ShowDirsOnly, true);
      break;
  }
  if (!request.name_filters.isEmpty()) dialog.setNameFilters(request.name_filters);
  if (!request.default_suffix.isEmpty()) dialog.setDefaultSuffix(request.default_suffix);
  if (!request.initial_file.isEmpty()) dialog.selectFile(request.initial_file);
  if (dialog.exec() != QDialog::Accepted) return {};
  return {true, dialog.selectedFiles()};
}

int desktop_dialogs::modal_form(QDialog& form) { return form.exec(); }

bool desktop_dialogs::open_url(const QUrl& url) { return QDesktopServices::openUrl(url); }

}  // namespace dirscribe
