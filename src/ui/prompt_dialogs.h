// The wizard's small windows built in code: the two prompts that ask for a
// text (one line, several lines) and the about box.
//
// Their sizes come from the design's 120 dpi layout scaled to Qt's 96 dpi
// logical pixels (logical_pixels); Qt's high-DPI scaling does the rest.
//
// Every modal run goes through the dialog_host the caller passes, so that
// tests can act in place of the user and never block.
#pragma once

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>

#include "ui/dialog_host.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace dirscribe {

class phrase_table;

// A length of the 120 dpi design in 96 dpi logical pixels (x 0.8, rounded).
constexpr int logical_pixels(int design_pixels) { return (design_pixels * 8 + 5) / 10; }

// Where a form goes to sit in the middle of `area`, as the top-left corner of
// its frame.
enum class centring {
  // `area` is a window's frame: the halves of the differences, rounded toward
  // zero, so a form larger than the window starts before it (negative offsets).
  over_window,
  // `area` is a screen's available part: as over a window, but never before
  // its left or top edge, so a form larger than the screen shows its top-left.
  on_screen,
};
QPoint centred_position(centring how, const QRect& area, const QSize& form);

// Moves `form` to the middle of `window`'s frame; with no window, to the
// middle of the screen. `form` is borrowed.
void centre_over(QWidget* form, QWidget* window);
// Moves `form` to the middle of the available part of the primary screen (of
// its own screen when it has one).
void centre_on_screen(QWidget* form);

// Called with the confirmed text when a prompt is confirmed with a text that
// is not empty.
using prompt_completion = std::function<void(const QString& result)>;

// What both prompts share: a form with a message above the field, and a
// bottom panel with the confirm and cancel buttons. Confirming takes the
// field's text as the result, closes the form and, when the result is not
// empty, calls the completion; cancelling closes the form and leaves the
// result as it was.
//
// Widgets carry object names for tests: prompt_form, client_panel,
// bottom_panel, message_label, text_field, confirm_button, cancel_button.
class prompt_form {
 public:
  virtual ~prompt_form();
  prompt_form(const prompt_form&) = delete;
  prompt_form& operator=(const prompt_form&) = delete;

  // The buttons' texts; "OK" and "Cancel" until set.
  void set_button_captions(const QString& confirm, const QString& cancel);
  void set_title(const QString& title);
  // One line above the field: a longer message ends in an ellipsis and shows
  // whole as the line's tool tip.
  void set_message(const QString& message);
  // The text the field holds, all selected, when the form shows.
  void set_initial_text(const QString& text);
  void set_completion(prompt_completion completion);
  // Places the form over `window` (borrowed; nullptr: the screen's middle).
  void centre_over_window(QWidget* window);

  // Shows the form modally through `dialogs` with the initial text in the
  // focused field. Returns true when the user confirmed, false after a cancel
  // or when the form was closed otherwise.
  bool show(dialog_host& dialogs);

  // What the confirm and cancel buttons do; public so that code and tests can
  // act as the buttons.
  void confirm();
  void cancel();

  // Empty until a confirm; each confirm replaces it, even with an empty text.
  const QString& result_text() const { return result_; }
  // The form, owned by this object; for placing it and for tests.
  QDialog* form() const { return form_.get(); }

 protected:
  // Builds the form `design_height` high (120 dpi design pixels) with its
  // panels, buttons and message; the derived class adds its field.
  explicit prompt_form(int design_height);

  // The derived class's field: its text, and putting the initial text in it,
  // selected and focused.
  virtual QString field_text() const = 0;
  virtual void start_field(const QString& text) = 0;

  // Chains the keyboard order field, confirm, cancel; call once the field
  // exists.
  void order_keys(QWidget* field);
  QFrame* client_panel() const { return client_panel_; }
  QPushButton* confirm_button() const { return confirm_button_; }
  QPushButton* cancel_button() const { return cancel_button_; }

 private:
  std::unique_ptr<QDialog> form_;
  // Children of form_, which owns them.
  QFrame* client_panel_ = nullptr;
  QFrame* bottom_panel_ = nullptr;
  QPushButton* confirm_button_ = nullptr;
  QPushButton* cancel_button_ = nullptr;
  QLabel* message_label_ = nullptr;
  prompt_completion completion_;
  QString initial_text_;
  QString result_;
};

// Asks for one line. Enter (either key) confirms and Escape cancels wherever
// the focus is in the form, before the focused control sees the key.
class edit_prompt : public prompt_form {
 public:
  edit_prompt();

  QLineEdit* field() const { return field_; }

 protected:
  QString field_text() const override;
  void start_field(const QString& text) override;

 private:
  QLineEdit* field_ = nullptr;  // owned by the form
};

// Asks for several lines: Enter makes a new line, lines do not wrap, and the
// field scrolls both ways as needed. Escape cancels (the dialog's own key).
class memo_prompt : public prompt_form {
 public:
  memo_prompt();

  QPlainTextEdit* field() const { return field_; }

 protected:
  QString field_text() const override;
  void start_field(const QString& text) override;

 private:
  QPlainTextEdit* field_ = nullptr;  // owned by the form
};

// The about box: the program's name and version, how it was built, what it
// does and the licences of the libraries it links, with one button that
// closes it. It is made centred on the screen.
//
// Object names for tests: about_form, about_panel, about_title (name and
// version), about_build, about_text (what it does), about_licences,
// about_button.
class about_box {
 public:
  about_box();
  ~about_box();
  about_box(const about_box&) = delete;
  about_box& operator=(const about_box&) = delete;

  // Writes the texts. With a language (borrowed for the call only), the
  // caption, the description and the button come from its phrases; without
  // one they keep English defaults.
  void fill(const phrase_table* language);

  // Centres the box over `over` (borrowed; nullptr: stays where it is) and
  // shows it modally through `dialogs`. Returns true when it was closed with
  // its button.
  bool show(dialog_host& dialogs, QWidget* over);

  QDialog* form() const { return form_.get(); }

 private:
  // Gives each label the height its text needs and grows the panel and the
  // form by what the texts need beyond the design.
  void fit_texts();

  std::unique_ptr<QDialog> form_;
  // Children of form_, which owns them.
  QFrame* panel_ = nullptr;
  QLabel* labels_[4] = {};
  QPushButton* button_ = nullptr;
};

// The texts of the about box that do not come from phrases.
QString about_title_text();     // "Vostra Dirscribe 3.0, version 3.0.0"
QString about_build_text();     // the compiler and Qt, at build and run time
QString about_licences_text();  // the linked libraries and their licences

}  // namespace dirscribe
