#include "ui/prompt_dialogs.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "services/phrase_table.h"
#include "support/test_phrases.h"
#include "ui/answering_dialogs.h"

namespace dirscribe {
namespace {

constexpr bool kEdit = false;
constexpr bool kMemo = true;

// Acts on a modal form in place of the user.
using modal_form_answer = std::function<void(QDialog& form)>;

// Dialogs whose modal forms `answer` acts on.
answering_dialogs answering_forms(modal_form_answer answer) {
  answering_dialogs dialogs;
  dialogs.form_answer = std::move(answer);
  return dialogs;
}

std::unique_ptr<prompt_form> make_prompt(bool memo) {
  if (memo) return std::make_unique<memo_prompt>();
  return std::make_unique<edit_prompt>();
}

template <typename widget_type>
widget_type* child(QWidget* form, const char* name) {
  return form->findChild<widget_type*>(QString::fromLatin1(name));
}

QString field_text(QWidget* field) {
  if (auto* line = qobject_cast<QLineEdit*>(field)) return line->text();
  return qobject_cast<QPlainTextEdit*>(field)->toPlainText();
}

// What happened in one modal run.
struct run_record {
  bool confirmed = false;
  bool timed_out = false;
  bool focus_on_field = false;
  std::optional<QString> left_open;  // the field's text when the steps left the form open
};

// Shows `prompt` modally and acts out `steps` inside its loop: a named key
// ("<Return>", "<Enter>" of the keypad, "<Escape>", "<Tab>", "<End>" with
// Control) goes to the focused widget as the keyboard would send it,
// "<confirm>" and "<cancel>" click the buttons, anything else is typed. A
// form still open afterwards is cancelled; a guard cancels it after 5 s,
// which the record shows as a failure.
run_record run_steps(prompt_form& prompt, const std::vector<std::string>& steps) {
  static const std::map<std::string, std::pair<Qt::Key, Qt::KeyboardModifiers>> keys = {
      {"<Return>", {Qt::Key_Return, Qt::NoModifier}},
      {"<Enter>", {Qt::Key_Enter, Qt::KeypadModifier}},
      {"<Escape>", {Qt::Key_Escape, Qt::NoModifier}},
      {"<Tab>", {Qt::Key_Tab, Qt::NoModifier}},
      {"<End>", {Qt::Key_End, Qt::ControlModifier}}};
  run_record record;
  QDialog* form = prompt.form();
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, form, [&] {
    record.timed_out = true;
    form->reject();
  });
  guard.start(5000);
  QTimer::singleShot(0, form, [&] {
    auto* field = child<QWidget>(form, "text_field");
    record.focus_on_field = form->focusWidget() == field;
    for (const std::string& step : steps) {
      if (!form->isVisible()) break;
      QWidget* focused = form->focusWidget() != nullptr ? form->focusWidget() : form;
      if (step == "<confirm>" || step == "<cancel>") {
        child<QPushButton>(form, step == "<confirm>" ? "confirm_button" : "cancel_button")->click();
      } else if (const auto key = keys.find(step); key != keys.end()) {
        QTest::keyClick(focused, key->second.first, key->second.second);
      } else {
        QTest::keyClicks(focused, QString::fromStdString(step));
      }
    }
    if (form->isVisible()) {
      record.left_open = field_text(field);
      form->reject();
    }
  });
  // A real modal loop: the steps run inside it, as the keyboard would send them.
  desktop_dialogs dialogs;
  record.confirmed = prompt.show(dialogs);
  return record;
}

TEST(Prompt, KeysAndButtonsConfirmOrCancel) {
  struct row {
    bool memo;
    const char* initial;
    std::vector<std::string> steps;
    bool confirmed;
    const char* result;
    bool called_back;       // with the result
    const char* left_open;  // the field's text when the form stays open; nullptr: closed
  };
  const std::vector<row> rows = {
      {kEdit, "", {"<Return>"}, true, "", false, nullptr},  // an empty result calls nothing
      {kEdit, "old", {"new name", "<Return>"}, true, "new name", true, nullptr},
      {kEdit, "kept", {"<Enter>"}, true, "kept", true, nullptr},
      {kEdit, "x", {"abc", "<Escape>"}, false, "", false, nullptr},
      // Enter with the focus on the cancel button still confirms.
      {kEdit, "name", {"<Tab>", "<Tab>", "<Return>"}, true, "name", true, nullptr},
      {kEdit, "x", {"<cancel>"}, false, "", false, nullptr},
      {kMemo, "", {"one", "<Return>", "two"}, false, "", false, "one\ntwo"},
      {kMemo, "1", {"<End>", "<Return>", "2", "<confirm>"}, true, "1\n2", true, nullptr},
      {kMemo, "x", {"<Escape>"}, false, "", false, nullptr},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(std::string(r.memo ? "memo " : "edit ") + testing::PrintToString(r.steps));
    std::unique_ptr<prompt_form> prompt = make_prompt(r.memo);
    std::vector<QString> completions;
    prompt->set_initial_text(QString::fromUtf8(r.initial));
    prompt->set_completion([&](const QString& result) { completions.push_back(result); });
    const run_record record = run_steps(*prompt, r.steps);
    EXPECT_FALSE(record.timed_out);
    EXPECT_TRUE(record.focus_on_field);
    EXPECT_EQ(record.confirmed, r.confirmed);
    EXPECT_EQ(prompt->result_text(), QString::fromUtf8(r.result));
    EXPECT_EQ(completions, r.called_back ? std::vector<QString>{QString::fromUtf8(r.result)}
                                         : std::vector<QString>{});
    EXPECT_EQ(record.left_open, r.left_open != nullptr
                                    ? std::optional<QString>(QString::fromUtf8(r.left_open))
                                    : std::nullopt);
    EXPECT_FALSE(prompt->form()->isVisible());
  }
}

TEST(Prompt, CancelKeepsTheEarlierResult) {
  for (bool memo : {kEdit, kMemo}) {
    SCOPED_TRACE(memo ? "memo" : "edit");
    std::unique_ptr<prompt_form> prompt = make_prompt(memo);
    int calls = 0;
    prompt->set_completion([&](const QString&) { ++calls; });
    prompt->set_initial_text(QStringLiteral("first"));
    EXPECT_TRUE(run_steps(*prompt, {"<confirm>"}).confirmed);
    prompt->set_initial_text(QStringLiteral("second"));
    const run_record record = run_steps(*prompt, {"<Escape>"});
    EXPECT_FALSE(record.timed_out);
    EXPECT_FALSE(record.confirmed);
    EXPECT_EQ(prompt->result_text(), QStringLiteral("first"));
    EXPECT_EQ(calls, 1);
  }
}

TEST(Prompt, DesignGeometryScaledToLogicalPixels) {
  struct row {
    bool memo;
    const char* object;
    QRect design;  // in its parent, 120 dpi design pixels x 0.8, rounded
  };
  const std::vector<row> rows = {
      {kEdit, "prompt_form", QRect(0, 0, 308, 125)},
      {kEdit, "client_panel", QRect(0, 0, 308, 93)},
      {kEdit, "bottom_panel", QRect(0, 93, 308, 32)},
      {kEdit, "confirm_button", QRect(102, 6, 86, 20)},
      {kEdit, "cancel_button", QRect(198, 6, 86, 20)},
      {kEdit, "message_label", QRect(13, 13, 276, 13)},
      {kEdit, "text_field", QRect(13, 32, 276, 19)},
      {kMemo, "prompt_form", QRect(0, 0, 308, 202)},
      {kMemo, "bottom_panel", QRect(0, 170, 308, 32)},
      {kMemo, "text_field", QRect(13, 32, 276, 96)},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(std::string(r.memo ? "memo " : "edit ") + r.object);
    std::unique_ptr<prompt_form> prompt = make_prompt(r.memo);
    QWidget* widget = prompt->form();
    if (widget->objectName() != QString::fromLatin1(r.object)) {
      widget = child<QWidget>(prompt->form(), r.object);
    }
    ASSERT_NE(widget, nullptr);
    if (widget->isWindow()) {
      // A form's position is the window system's; its size is fixed.
      EXPECT_EQ(widget->size(), r.design.size());
      EXPECT_EQ(widget->minimumSize(), widget->maximumSize()) << "resizable";
      continue;
    }
    const QRect geometry = widget->geometry();
    EXPECT_EQ(geometry.topLeft(), r.design.topLeft());
    EXPECT_EQ(geometry.width(), r.design.width());
    // Controls may grow to what their font needs, never past their panel.
    const bool control = !widget->objectName().endsWith(QStringLiteral("_panel"));
    const int needed = qobject_cast<QLabel*>(widget) != nullptr
                           ? widget->fontMetrics().height()
                           : widget->minimumSizeHint().height();
    EXPECT_EQ(geometry.height(), control ? std::max(r.design.height(), needed) : r.design.height());
    EXPECT_LE(geometry.bottom(), widget->parentWidget()->height() - 1);
  }
}

// The controls Tab visits from `start`, in order, up to `start` again.
std::vector<QString> tab_chain(QWidget* start) {
  std::vector<QString> names;
  QWidget* widget = start;
  do {
    if ((widget->focusPolicy() & Qt::TabFocus) != 0) names.push_back(widget->objectName());
    widget = widget->nextInFocusChain();
  } while (widget != start);
  return names;
}

TEST(Prompt, KeyboardOrderFieldConfirmCancel) {
  const std::vector<QString> expected = {QStringLiteral("text_field"),
                                         QStringLiteral("confirm_button"),
                                         QStringLiteral("cancel_button")};
  for (bool memo : {kEdit, kMemo}) {
    std::unique_ptr<prompt_form> prompt = make_prompt(memo);
    EXPECT_EQ(tab_chain(child<QWidget>(prompt->form(), "text_field")), expected) << memo;
  }
}

TEST(Prompt, LongMessageEndsInAnEllipsisWithTheWholeAsToolTip) {
  edit_prompt prompt;
  auto* label = child<QLabel>(prompt.form(), "message_label");
  for (const QString& message : {QStringLiteral("Name of the style:"), QString(200, u'm')}) {
    prompt.set_message(message);
    const bool cut = message.size() > 100;
    EXPECT_EQ(label->text() != message, cut) << message.toStdString();
    EXPECT_EQ(label->toolTip(), cut ? message : QString()) << message.toStdString();
  }
}

TEST(Centring, OverAWindowAndOnAScreen) {
  struct row {
    std::string name;
    centring how;
    QRect area;
    QSize form;
    QPoint expected;
  };
  const std::vector<row> rows = {
      {"over a window", centring::over_window, QRect(100, 50, 400, 300), QSize(200, 100),
       QPoint(200, 150)},
      {"odd differences round toward zero", centring::over_window, QRect(0, 0, 301, 201),
       QSize(200, 100), QPoint(50, 50)},
      {"form larger than the window", centring::over_window, QRect(10, 10, 100, 100),
       QSize(301, 201), QPoint(-90, -40)},
      {"on a screen", centring::on_screen, QRect(0, 0, 800, 600), QSize(308, 125),
       QPoint(246, 237)},
      {"screen narrower than the form", centring::on_screen, QRect(0, 0, 200, 600), QSize(308, 125),
       QPoint(0, 237)},
      {"screen lower than the form", centring::on_screen, QRect(0, 0, 800, 100), QSize(308, 125),
       QPoint(246, 0)},
      {"available part below a panel", centring::on_screen, QRect(0, 30, 1024, 738),
       QSize(300, 176), QPoint(362, 311)},
  };
  for (const row& r : rows) {
    EXPECT_EQ(centred_position(r.how, r.area, r.form), r.expected) << r.name;
  }
}

TEST(Centring, PromptOverAWindow) {
  QWidget window;
  window.setGeometry(100, 100, 600, 400);
  edit_prompt prompt;
  prompt.centre_over_window(&window);
  const QRect frame = window.frameGeometry();
  EXPECT_EQ(prompt.form()->pos(), QPoint(frame.left() + (frame.width() - 308) / 2,
                                         frame.top() + (frame.height() - 125) / 2));
}

TEST(ModalFormAnswer, ActsInPlaceOfTheUserWithoutBlocking) {
  struct row {
    std::string name;
    modal_form_answer answer;
    bool confirmed;
    QString result;
  };
  const std::vector<row> rows = {
      {"types and confirms",
       [](QDialog& form) {
         child<QLineEdit>(&form, "text_field")->setText(QStringLiteral("abc"));
         child<QPushButton>(&form, "confirm_button")->click();
       },
       true, QStringLiteral("abc")},
      {"does nothing: the form is cancelled", [](QDialog&) {}, false, QString()},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    answering_dialogs dialogs = answering_forms(r.answer);
    edit_prompt prompt;
    QString completed;
    prompt.set_completion([&](const QString& result) { completed = result; });
    EXPECT_EQ(prompt.show(dialogs), r.confirmed);
    EXPECT_EQ(prompt.result_text(), r.result);
    EXPECT_EQ(completed, r.result);
    EXPECT_FALSE(prompt.form()->isVisible());
  }
}

TEST(AboutBox, FilledFromTheEnglishPhrasesAndFitted) {
  phrase_table english;
  const outcome loaded = load_english_phrases(english);
  ASSERT_TRUE(loaded.ok()) << loaded.message();
  about_box box;
  box.fill(&english);
  QDialog* form = box.form();
  EXPECT_EQ(form->windowTitle(), QStringLiteral("About Dirscribe"));
  EXPECT_EQ(child<QPushButton>(form, "about_button")->text(), QStringLiteral("OK"));
  EXPECT_TRUE(about_build_text().startsWith(QStringLiteral("Built with ")));
  EXPECT_TRUE(about_build_text().contains(QStringLiteral(QT_VERSION_STR)));
  auto* panel = child<QWidget>(form, "about_panel");
  auto* button = child<QWidget>(form, "about_button");
  EXPECT_EQ(form->width(), 300);
  EXPECT_GE(form->height(), 176);
  EXPECT_EQ(panel->geometry(), QRect(8, 8, 277, form->height() - 3 * 8 - button->height()));
  EXPECT_EQ(button->geometry().topLeft(), QPoint(110, panel->geometry().bottom() + 1 + 8));
  // The rows in order, each as high as its text needs, none leaving the panel.
  const std::vector<std::pair<const char*, QString>> rows = {
      {"about_title", QStringLiteral("Vostra Dirscribe 3.0, version " DIRSCRIBE_VERSION)},
      {"about_build", about_build_text()},
      {"about_text", QStringLiteral("Writes HTML listings of folder trees, shaped by templates.")},
      {"about_licences", about_licences_text()},
  };
  int previous_bottom = -1;
  for (const auto& [name, text] : rows) {
    auto* label = child<QLabel>(form, name);
    ASSERT_NE(label, nullptr) << name;
    EXPECT_EQ(label->text(), text) << name;
    EXPECT_GT(label->y(), previous_bottom) << name << " overlaps the row above";
    EXPECT_GE(label->height(), label->heightForWidth(label->width())) << name << " is cut";
    EXPECT_LT(label->geometry().bottom(), panel->height()) << name << " leaves the panel";
    previous_bottom = label->geometry().bottom();
  }
}

TEST(AboutBox, ButtonClosesItWithOk) {
  struct row {
    std::string name;
    modal_form_answer answer;
    bool closed_with_ok;
  };
  const std::vector<row> rows = {
      {"button", [](QDialog& form) { child<QPushButton>(&form, "about_button")->click(); }, true},
      {"Enter", [](QDialog& form) { QTest::keyClick(&form, Qt::Key_Return); }, true},
      {"Escape", [](QDialog& form) { QTest::keyClick(&form, Qt::Key_Escape); }, false},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    answering_dialogs dialogs = answering_forms(r.answer);
    QWidget window;
    window.setGeometry(0, 0, 640, 480);
    about_box box;
    box.fill(nullptr);
    EXPECT_EQ(box.show(dialogs, &window), r.closed_with_ok);
    EXPECT_FALSE(box.form()->isVisible());
  }
}

}  // namespace
}  // namespace dirscribe
