#include "ui/prompt_dialogs.h"

#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <string_view>

#include "services/phrase_ids.h"
#include "services/phrase_table.h"
#include "ui/qt_text.h"

namespace dirscribe {

namespace {

// A rectangle of the 120 dpi design, in logical pixels.
QRect design_rect(int left, int top, int width, int height) {
  return QRect(logical_pixels(left), logical_pixels(top), logical_pixels(width),
               logical_pixels(height));
}

// The prompts' form is 385 design pixels wide; the bottom panel is 40 high.
constexpr int kPromptWidth = 385;
constexpr int kBottomPanelHeight = 40;

// Gives Enter and Escape to the form's buttons before the focused control
// sees them, so that a line edit cannot swallow them and the keys mean the
// same wherever the focus is.
class key_preview : public QObject {
 public:
  key_preview(QObject* parent, QPushButton* confirm, QPushButton* cancel)
      : QObject(parent), confirm_(confirm), cancel_(cancel) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    switch (static_cast<QKeyEvent*>(event)->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter:
        confirm_->click();
        return true;
      case Qt::Key_Escape:
        cancel_->click();
        return true;
      default:
        return false;
    }
  }

 private:
  QPushButton* confirm_;
  QPushButton* cancel_;
};

QFrame* make_panel(QWidget* parent, const char* name, const QRect& geometry) {
  auto* panel = new QFrame(parent);
  panel->setObjectName(QString::fromLatin1(name));
  panel->setFrameShape(QFrame::NoFrame);
  panel->setGeometry(geometry);
  return panel;
}

// Puts `widget` where the design puts it. The design's heights suit the
// design's font; a larger font on this desktop must not cut the text, so the
// widget gets at least one line of its font (a label) or the least height its
// style asks for (a field, a button), and moves up when that would take it
// past its parent's bottom.
void place(QWidget* widget, const QRect& design) {
  widget->ensurePolished();
  const int needed = qobject_cast<QLabel*>(widget) != nullptr ? widget->fontMetrics().height()
                                                              : widget->minimumSizeHint().height();
  QRect geometry = design;
  geometry.setHeight(std::max(design.height(), needed));
  const int room = widget->parentWidget()->height() - geometry.height();
  if (geometry.top() > room) geometry.moveTop(std::max(0, room));
  widget->setGeometry(geometry);
}

QPushButton* make_button(QWidget* parent, const char* name, const QString& caption,
                         const QRect& design) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromLatin1(name));
  place(button, design);
  return button;
}

// A fixed-size dialog: a border and a caption, no resizing and no size grip.
std::unique_ptr<QDialog> make_form(const char* name, const QSize& size) {
  auto form = std::make_unique<QDialog>(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
  form->setObjectName(QString::fromLatin1(name));
  form->setFixedSize(size);
  form->setSizeGripEnabled(false);
  return form;
}

}  // namespace

QPoint centred_position(centring how, const QRect& area, const QSize& form) {
  int left = (area.width() - form.width()) / 2;
  int top = (area.height() - form.height()) / 2;
  if (how == centring::on_screen) {
    left = std::max(left, 0);
    top = std::max(top, 0);
  }
  return QPoint(area.left() + left, area.top() + top);
}

void centre_over(QWidget* form, QWidget* window) {
  if (window == nullptr) {
    centre_on_screen(form);
    return;
  }
  form->move(centred_position(centring::over_window, window->frameGeometry(),
                              form->frameGeometry().size()));
}

void centre_on_screen(QWidget* form) {
  QScreen* screen = form->screen();
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;  // no screen at all: leave it to the window system
  form->move(centred_position(centring::on_screen, screen->availableGeometry(),
                              form->frameGeometry().size()));
}

// ---- prompt_form ----

prompt_form::prompt_form(int design_height)
    : form_(make_form("prompt_form",
                      QSize(logical_pixels(kPromptWidth), logical_pixels(design_height)))) {
  const int width = logical_pixels(kPromptWidth);
  const int bottom_height = logical_pixels(kBottomPanelHeight);
  const int client_height = logical_pixels(design_height) - bottom_height;
  client_panel_ = make_panel(form_.get(), "client_panel", QRect(0, 0, width, client_height));
  bottom_panel_ =
      make_panel(form_.get(), "bottom_panel", QRect(0, client_height, width, bottom_height));
  confirm_button_ = make_button(bottom_panel_, "confirm_button", QStringLiteral("OK"),
                                design_rect(128, 8, 107, 25));
  cancel_button_ = make_button(bottom_panel_, "cancel_button", QStringLiteral("Cancel"),
                               design_rect(248, 8, 107, 25));
  confirm_button_->setDefault(true);
  QObject::connect(confirm_button_, &QPushButton::clicked, form_.get(), [this] { confirm(); });
  QObject::connect(cancel_button_, &QPushButton::clicked, form_.get(), [this] { cancel(); });

  message_label_ = new QLabel(client_panel_);
  message_label_->setObjectName(QStringLiteral("message_label"));
  message_label_->setTextFormat(Qt::PlainText);
  message_label_->setWordWrap(false);
  place(message_label_, design_rect(16, 16, 345, 16));
}

prompt_form::~prompt_form() = default;

void prompt_form::set_button_captions(const QString& confirm, const QString& cancel) {
  confirm_button_->setText(confirm);
  cancel_button_->setText(cancel);
}

void prompt_form::set_title(const QString& title) { form_->setWindowTitle(title); }

void prompt_form::set_message(const QString& message) {
  // One line keeps the field where the design puts it; a message too long
  // for it ends in an ellipsis and shows whole as the label's tool tip.
  message_label_->ensurePolished();
  const QString shown =
      message_label_->fontMetrics().elidedText(message, Qt::ElideRight, message_label_->width());
  message_label_->setText(shown);
  message_label_->setToolTip(shown == message ? QString() : message);
}

void prompt_form::set_initial_text(const QString& text) { initial_text_ = text; }

void prompt_form::set_completion(prompt_completion completion) {
  completion_ = std::move(completion);
}

void prompt_form::centre_over_window(QWidget* window) { centre_over(form_.get(), window); }

bool prompt_form::show(dialog_host& dialogs) {
  start_field(initial_text_);
  return dialogs.modal_form(*form_) == QDialog::Accepted;
}

void prompt_form::confirm() {
  result_ = field_text();
  form_->accept();
  // An empty answer is no answer: the caller has nothing to act on.
  if (!result_.isEmpty() && completion_) completion_(result_);
}

void prompt_form::cancel() { form_->reject(); }

void prompt_form::order_keys(QWidget* field) {
  QWidget::setTabOrder(field, confirm_button_);
  QWidget::setTabOrder(confirm_button_, cancel_button_);
}

// ---- edit_prompt ----

edit_prompt::edit_prompt() : prompt_form(156) {
  field_ = new QLineEdit(client_panel());
  field_->setObjectName(QStringLiteral("text_field"));
  place(field_, design_rect(16, 40, 345, 24));
  order_keys(field_);
  auto* preview = new key_preview(form(), confirm_button(), cancel_button());
  form()->installEventFilter(preview);
  for (QWidget* child : form()->findChildren<QWidget*>()) child->installEventFilter(preview);
}

QString edit_prompt::field_text() const { return field_->text(); }

void edit_prompt::start_field(const QString& text) {
  field_->setText(text);
  field_->selectAll();
  field_->setFocus();
}

// ---- memo_prompt ----

memo_prompt::memo_prompt() : prompt_form(156 + 96) {
  field_ = new QPlainTextEdit(client_panel());
  field_->setObjectName(QStringLiteral("text_field"));
  place(field_, design_rect(16, 40, 345, 120));
  field_->setLineWrapMode(QPlainTextEdit::NoWrap);
  field_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  field_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  // Tab leaves the field as in every other control of the wizard; the texts
  // asked for here have no use for tab characters.
  field_->setTabChangesFocus(true);
  order_keys(field_);
}

QString memo_prompt::field_text() const { return field_->toPlainText(); }

void memo_prompt::start_field(const QString& text) {
  field_->setPlainText(text);
  field_->selectAll();
  field_->setFocus();
}

// ---- about_box ----

namespace {

// The about box's design: form 375 x 220, panel at (10, 10) 346 x 135, four
// rows of labels at left 12 every 24 pixels from 12, each 317 x 16, and the
// button at (137, 150) 92 x 30.
constexpr int kAboutWidth = 375;
constexpr int kAboutHeight = 220;
constexpr int kPanelMargin = 10;  // the panel's distance from the form's edges
constexpr int kPanelWidth = 346;
constexpr int kButtonLeft = 137;
constexpr int kLabelLeft = 12;
constexpr int kLabelTop = 12;
constexpr int kLabelWidth = 317;
constexpr int kLabelHeight = 16;
constexpr int kRowStep = 24;

QString compiler_name() {
#if defined(__clang__)
  return QStringLiteral("Clang %1.%2.%3")
      .arg(__clang_major__)
      .arg(__clang_minor__)
      .arg(__clang_patchlevel__);
#elif defined(__GNUC__)
  return QStringLiteral("GCC %1.%2.%3").arg(__GNUC__).arg(__GNUC_MINOR__).arg(__GNUC_PATCHLEVEL__);
#else
  return QStringLiteral("an unnamed compiler");
#endif
}

}  // namespace

QString about_title_text() {
  return QStringLiteral("Vostra Dirscribe 3.0, version " DIRSCRIBE_VERSION);
}

QString about_build_text() {
  const QString built_with = QStringLiteral(QT_VERSION_STR);
  const QString running = QString::fromLatin1(qVersion());
  QString text = QStringLiteral("Built with %1 and Qt %2").arg(compiler_name(), built_with);
  // Qt's libraries may be newer than the headers the program was built with;
  // say so only when they are, since that is when it matters for a report.
  if (running != built_with) text += QStringLiteral(", running on Qt %1").arg(running);
  return text + QStringLiteral(".");
}

QString about_licences_text() {
  return QStringLiteral("Uses Qt 6 (LGPL-3.0), zlib (zlib licence) and OpenSSL (Apache-2.0).");
}

about_box::about_box()
    : form_(make_form("about_form",
                      QSize(logical_pixels(kAboutWidth), logical_pixels(kAboutHeight)))) {
  form_->setWindowTitle(QStringLiteral("About Dirscribe"));
  panel_ = new QFrame(form_.get());
  panel_->setObjectName(QStringLiteral("about_panel"));
  // A sunken box draws a lowered outer and a raised inner bevel: an etched
  // frame around the texts.
  panel_->setFrameStyle(QFrame::Box | QFrame::Sunken);
  panel_->setGeometry(design_rect(kPanelMargin, kPanelMargin, kPanelWidth, 135));

  const char* names[4] = {"about_title", "about_build", "about_text", "about_licences"};
  for (int row = 0; row < 4; ++row) {
    labels_[row] = new QLabel(panel_);
    labels_[row]->setObjectName(QString::fromLatin1(names[row]));
    labels_[row]->setTextFormat(Qt::PlainText);
    // Translated descriptions and other compilers' names may be longer than
    // a row; fit_texts gives a wrapped text the rows it needs.
    labels_[row]->setWordWrap(true);
    labels_[row]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  }
  QFont title_font = labels_[0]->font();
  title_font.setBold(true);
  labels_[0]->setFont(title_font);

  button_ = make_button(form_.get(), "about_button", QStringLiteral("OK"),
                        design_rect(kButtonLeft, 150, 92, 30));
  button_->setDefault(true);
  button_->setFocus();
  QObject::connect(button_, &QPushButton::clicked, form_.get(), &QDialog::accept);

  labels_[2]->setText(QStringLiteral("Writes HTML listings of folder trees."));
  fill(nullptr);
  centre_on_screen(form_.get());
}

about_box::~about_box() = default;

void about_box::fill(const phrase_table* language) {
  labels_[0]->setText(about_title_text());
  labels_[1]->setText(about_build_text());
  labels_[3]->setText(about_licences_text());
  if (language != nullptr) {
    form_->setWindowTitle(to_qt(language->text(kPhraseAboutCaption)));
    labels_[2]->setText(to_qt(language->text(kPhraseAboutText)));
    button_->setText(to_qt(language->text(kPhraseAboutButton)));
  }
  fit_texts();
}

bool about_box::show(dialog_host& dialogs, QWidget* over) {
  if (over != nullptr) centre_over(form_.get(), over);
  return dialogs.modal_form(*form_) == QDialog::Accepted;
}

void about_box::fit_texts() {
  const int left = logical_pixels(kLabelLeft);
  const int width = logical_pixels(kLabelWidth);
  const int row_height = logical_pixels(kLabelHeight);
  // The design's space between one row's bottom and the next row's top.
  const int gap = logical_pixels(kRowStep) - row_height;
  int top = logical_pixels(kLabelTop);
  for (QLabel* label : labels_) {
    label->ensurePolished();
    const int height = std::max(row_height, label->heightForWidth(width));
    label->setGeometry(left, top, width, height);
    top += height + gap;
  }
  const int labels_bottom = top - gap;

  // The design's height counts the window's caption and border, and its
  // button sits a few pixels under the panel, close to the window's edge. A
  // Qt form's height is its inside only, so the panel takes that room and the
  // button sits one margin below it and one above the form's bottom: the
  // form keeps the design's height until the texts need more.
  const int margin = logical_pixels(kPanelMargin);
  const int button_height = button_->height();
  const int panel_height = std::max(logical_pixels(kAboutHeight) - 3 * margin - button_height,
                                    labels_bottom + logical_pixels(kLabelTop));
  panel_->setGeometry(margin, margin, logical_pixels(kPanelWidth), panel_height);
  const int button_top = margin + panel_height + margin;
  button_->move(logical_pixels(kButtonLeft), button_top);
  form_->setFixedSize(logical_pixels(kAboutWidth), button_top + button_height + margin);
}

}  // namespace dirscribe
