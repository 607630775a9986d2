#include "ui/basic_adapters.h"

#include <QPainter>
#include <QScrollBar>

namespace dirscribe {

QString without_mnemonics(const QString& caption) {
  QString shown;
  shown.reserve(caption.size());
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == u'&') {
      if (i + 1 < caption.size() && caption[i + 1] == u'&') {
        shown += u'&';
        ++i;
      }
      continue;
    }
    shown += caption[i];
  }
  return shown;
}

namespace {

Qt::Alignment horizontal(described::text_alignment alignment) {
  switch (alignment) {
    case described::taRightJustify:
      return Qt::AlignRight;
    case described::taCenter:
      return Qt::AlignHCenter;
    default:
      return Qt::AlignLeft;
  }
}

Qt::Alignment vertical(described::text_layout layout) {
  switch (layout) {
    case described::tlCenter:
      return Qt::AlignVCenter;
    case described::tlBottom:
      return Qt::AlignBottom;
    default:
      return Qt::AlignTop;
  }
}

}  // namespace

label_adapter::label_adapter() { apply_alignment(); }

void label_adapter::write_caption(const QString& caption) {
  caption_ = caption;
  show_caption();
}

void label_adapter::show_caption() {
  // Qt draws "&" as a mnemonic only for a label with a buddy; any other
  // label shows its caption without the marks.
  setText(buddy() != nullptr ? caption_ : without_mnemonics(caption_));
  fit();
}

void label_adapter::write_auto_size(bool on) {
  auto_size_ = on;
  fit();
}

void label_adapter::write_word_wrap(bool on) {
  setWordWrap(on);
  fit();
}

void label_adapter::write_alignment(described::text_alignment alignment) {
  alignment_ = alignment;
  apply_alignment();
}

void label_adapter::write_layout(described::text_layout layout) {
  layout_ = layout;
  apply_alignment();
}

void label_adapter::apply_alignment() { setAlignment(horizontal(alignment_) | vertical(layout_)); }

void label_adapter::write_focus_control(const QString& name) { focus_control_ = name; }

void label_adapter::finish_build() {
  if (focus_control_.isEmpty()) return;
  QWidget* target = nullptr;
  if (parentWidget() != nullptr) {
    target = parentWidget()->findChild<QWidget*>(focus_control_, Qt::FindDirectChildrenOnly);
  }
  if (target == nullptr) target = window()->findChild<QWidget*>(focus_control_);
  if (target == nullptr || target == this) return;
  setBuddy(target);
  show_caption();
}

void label_adapter::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (event->type() == QEvent::FontChange) fit();
}

void label_adapter::fit() {
  if (!auto_size_) return;
  if (wordWrap()) {
    resize(width(), heightForWidth(width()));
  } else {
    resize(sizeHint());
  }
  arrange_parent(this);
}

button_adapter::button_adapter() {
  connect(this, &QPushButton::clicked, this, [this] {
    if (modal_result_ == 0) return;
    // A button with a result closes its window with it.
    QWidget* form = window();
    form->setProperty("ModalResult", modal_result_);
    form->close();
  });
}

void button_adapter::write_caption(const QString& caption) {
  setText(caption);
  fit();
}

void button_adapter::write_auto_size(bool on) {
  auto_size_ = on;
  fit();
}

void button_adapter::fit() {
  if (auto_size_) fit_width(this);
}

void button_adapter::write_cancel(bool on) {
  cancel_ = on;
  if (on && escape_ == nullptr) {
    escape_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape_, &QShortcut::activated, this, &QPushButton::click);
  }
  if (escape_ != nullptr) escape_->setEnabled(on);
}

bit_btn_adapter::bit_btn_adapter() : glyph_(std::make_unique<picture_object>()) {
  connect(glyph_.get(), &picture_object::changed, this, [this] {
    const int side = fontMetrics().height();
    setIcon(glyph_->icon(QSize(side, side)));
    setIconSize(QSize(side, side));
    fit();
  });
}

speed_button_adapter::speed_button_adapter() : glyph_(std::make_unique<picture_object>()) {
  connect(glyph_.get(), &picture_object::changed, this, [this] {
    setIcon(glyph_->icon(QSize(24, 24)));
    setIconSize(QSize(24, 24));
    update_style();
  });
  update_style();
}

void speed_button_adapter::write_down(bool down) {
  setCheckable(true);
  setChecked(down);
  if (down && group_index_ != 0 && parentWidget() != nullptr) {
    for (auto* other : parentWidget()->findChildren<speed_button_adapter*>(
             QString(), Qt::FindDirectChildrenOnly)) {
      if (other != this && other->group_index_ == group_index_) other->setChecked(false);
    }
  }
}

void speed_button_adapter::write_group_index(int index) {
  group_index_ = index;
  setCheckable(index != 0 || isChecked());
}

void speed_button_adapter::nextCheckState() {
  if (group_index_ == 0) {
    QToolButton::nextCheckState();
    return;
  }
  // In a group a click presses the button; a pressed one comes up only when
  // the group allows all buttons up.
  if (isChecked()) {
    if (allow_all_up_) setChecked(false);
    return;
  }
  write_down(true);
}

void speed_button_adapter::write_show_caption(bool on) {
  show_caption_ = on;
  update_style();
}

void speed_button_adapter::update_style() {
  if (glyph_->empty()) {
    setToolButtonStyle(Qt::ToolButtonTextOnly);
  } else {
    setToolButtonStyle(show_caption_ ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly);
  }
}

combo_box_adapter::combo_box_adapter() : items_(std::make_unique<string_list_object>()) {
  setEditable(true);
  connect(items_.get(), &string_list_object::changed, this, [this] {
    const QString text = currentText();
    clear();
    addItems(items_->strings());
    // Free text survives a new list; a pure list starts unselected.
    if (isEditable()) {
      setEditText(text);
    } else {
      setCurrentIndex(-1);
    }
  });
}

void combo_box_adapter::write_text(const QString& text) {
  if (isEditable()) {
    setEditText(text);
  } else {
    setCurrentIndex(findText(text));
  }
}

void combo_box_adapter::write_style(described::combo_style style) {
  style_ = style;
  setEditable(style != described::csDropDownList);
}

list_box_adapter::list_box_adapter() : items_(std::make_unique<string_list_object>()) {
  connect(items_.get(), &string_list_object::changed, this, [this] {
    clear();
    addItems(items_->strings());
  });
}

image_adapter::image_adapter() : picture_(std::make_unique<picture_object>()) {
  connect(picture_.get(), &picture_object::changed, this, qOverload<>(&QWidget::update));
}

void image_adapter::write_stretch(bool on) {
  stretch_ = on;
  update();
}

void image_adapter::write_proportional(bool on) {
  proportional_ = on;
  update();
}

void image_adapter::write_center(bool on) {
  center_ = on;
  update();
}

void image_adapter::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  if (picture_->empty()) return;
  const QRect area = contentsRect();
  QSize size = picture_->natural_size();
  if (stretch_ ||
      (proportional_ && (size.width() > area.width() || size.height() > area.height()))) {
    size = proportional_ ? size.scaled(area.size(), Qt::KeepAspectRatio) : area.size();
  }
  QPoint origin = area.topLeft();
  if (center_ || proportional_) {
    origin += QPoint((area.width() - size.width()) / 2, (area.height() - size.height()) / 2);
  }
  QPainter painter(this);
  painter.drawPixmap(origin, picture_->pixmap(size, devicePixelRatioF()));
}

}  // namespace dirscribe
