// What the window knows of the user's changes: every input control marks
// the project changed, and a step that would drop the changes asks first.
#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

#include "services/phrase_ids.h"
#include "services/phrase_table.h"
#include "ui/container_adapters.h"
#include "ui/dialog_host.h"
#include "ui/main_window.h"
#include "ui/main_window_controls.h"
#include "ui/qt_text.h"

namespace dirscribe {

void main_window::track_changes() {
  controls& c = *controls_;
  QObject* context = c.context.get();
  const auto changed = [this] {
    if (quiet_ == 0 && !modified_) set_modified(true);
  };
  for (QWidget* widget : c.form->findChildren<QWidget*>()) {
    // The window's prompts and dialogs edit no project.
    if (widget->window() != c.form) continue;
    // A line edit also carries the text of editable lists, dates and numbers.
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
      QObject::connect(edit, &QLineEdit::textChanged, context, changed);
    } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
      QObject::connect(list, &QComboBox::currentIndexChanged, context, changed);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      if (button->isCheckable())
        QObject::connect(button, &QAbstractButton::toggled, context, changed);
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(widget)) {
      QObject::connect(memo, &QPlainTextEdit::textChanged, context, changed);
    } else if (auto* rich = qobject_cast<QTextEdit*>(widget)) {
      QObject::connect(rich, &QTextEdit::textChanged, context, changed);
    }
  }
}

void main_window::set_modified(bool modified) {
  modified_ = modified;
  set_title();
}

bool main_window::may_drop_changes() {
  if (!modified_) return true;
  message_box_request request;
  request.icon = QMessageBox::Question;
  request.title = to_qt(kProductTitle);
  request.text =
      text(kPhraseSaveChanges).arg(to_qt(project_file_.empty() ? phrase(237) : project_file_));
  request.buttons = QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel;
  request.button_captions = {{QMessageBox::Save, text(kPhraseSaveAnswer)},
                             {QMessageBox::Discard, text(kPhraseDontSaveAnswer)},
                             {QMessageBox::Cancel, text(kPhraseCancelAnswer)}};
  request.default_button = QMessageBox::Save;
  switch (dialogs_.message_box(controls_->form, request)) {
    case QMessageBox::Save:
      return save_project();  // false after a cancelled name or a failed save
    case QMessageBox::Discard:
      return true;
    default:  // Cancel, Escape, or the box closed otherwise
      return false;
  }
}

bool main_window::may_close() { return may_drop_changes(); }

}  // namespace dirscribe
