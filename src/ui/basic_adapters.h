// Adapters of the simple controls: labels, buttons, check and radio boxes,
// text fields, lists and the image. Each publishes the description's property
// names for one class of the class table.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTextEdit>
#include <QToolButton>

#include "ui/control.h"

namespace dirscribe {

// A caption with "&" marks as the description writes it, shown without the
// marks: a single "&" disappears and "&&" stands for "&".
QString without_mnemonics(const QString& caption);

// TLabel: a caption; its mnemonic moves the focus to FocusControl.
class label_adapter : public control<QLabel> {
  Q_OBJECT
  DIRSCRIBE_CONTROL_PROPERTIES
  Q_PROPERTY(QString Caption READ read_caption WRITE write_caption)
  Q_PROPERTY(bool AutoSize READ read_auto_size WRITE write_auto_size)
  Q_PROPERTY(bool WordWrap READ read_word_wrap WRITE write_word_wrap)
  Q_PROPERTY(described::text_alignment Alignment READ read_alignment WRITE write_alignment)
  Q_PROPERTY(described::text_layout Layout READ read_layout WRITE write_layout)
  Q_PROPERTY(QString FocusControl READ read_focus_control WRITE write_focus_control)

 public:
  label_adapter();
  QString read_caption() const { return caption_; }
  void write_caption(const QString& caption);
  bool read_auto_size() const { return auto_size_; }
  void write_auto_size(bool on);
  bool read_word_wrap() const { return wordWrap(); }
  void write_word_wrap(bool on);
  described::text_alignment read_alignment() const { return alignment_; }
  void write_alignment(described::text_alignment alignment);
  described::text_layout read_layout() const { return layout_; }
  void write_layout(described::text_layout layout);
  QString read_focus_control() const { return focus_control_; }
  void write_focus_control(const QString& name);
  // Finds FocusControl among the label's siblings, then in its window.
  void finish_build() override;

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void show_caption();
  void apply_alignment();
  void fit();

  QString caption_;
  QString focus_control_;
  bool auto_size_ = false;
  described::text_alignment alignment_ = described::taLeftJustify;
  described::text_layout layout_ = described::tlTop;
};

// TStaticText: a label.
class static_text_adapter : public label_adapter {
  Q_OBJECT
};

// TButton: a push button; ModalResult closes its window with that result.
class button_adapter : public control<QPushButton> {
  Q_OBJECT
  DIRSCRIBE_CONTROL_PROPERTIES
  Q_PROPERTY(QString Caption READ read_caption WRITE write_caption)
  Q_PROPERTY(int ModalResult READ read_modal_result WRITE write_modal_result)
  Q_PROPERTY(bool Default READ read_default WRITE write_default)
  Q_PROPERTY(bool Cancel READ read_cancel WRITE write_cancel)
  Q_PROPERTY(bool AutoSize READ read_auto_size WRITE write_auto_size)

 public:
  button_adapter();
  QString read_caption() const { return text(); }
  void write_caption(const QString& caption);
  int read_modal_result() const { return modal_result_; }
  void write_modal_result(int result) { modal_result_ = result; }
  bool read_default() const { return isDefault(); }
  void write_default(bool on) { setDefault(on); }
  bool read_cancel() const { return cancel_; }
  // On: Escape anywhere in the button's window clicks it.
  void write_cancel(bool on);
  bool read_auto_size() const { return auto_size_; }
  void write_auto_size(bool on);

 protected:
  void fit();

 private:
  int modal_result_ = 0;
  bool cancel_ = false;
  QShortcut* escape_ = nullptr;  // owned by the button, made when Cancel is first set
  bool auto_size_ = false;
};

// TBitBtn: a push button with a picture.
class bit_btn_adapter : public button_adapter {
  Q_OBJECT
  Q_PROPERTY(QObject* Glyph READ read_glyph CONSTANT)

 public:
  bit_btn_adapter();
  QObject* read_glyph() const { return glyph_.get(); }

 private:
  std::unique_ptr<picture_object> glyph_;
};

// TSpeedButton: a tool button; buttons of one GroupIndex under one parent
// are pressed one at a time.
class speed_button_adapter : public control<QToolButton> {
  Q_OBJECT
  DIRSCRIBE_CONTROL_PROPERTIES
  Q_PROPERTY(QString Caption READ read_caption WRITE write_caption)
  Q_PROPERTY(QObject* Glyph READ read_glyph CONSTANT)
  Q_PROPERTY(bool Down READ read_down WRITE write_down)
  Q_PROPERTY(int GroupIndex READ read_group_index WRITE write_group_index)
  Q_PROPERTY(bool AllowAllUp READ read_allow_all_up WRITE write_allow_all_up)
  Q_PROPERTY(bool Flat READ read_flat WRITE write_flat)
  Q_PROPERTY(bool ShowCaption READ read_show_caption WRITE write_show_caption)

 public:
  speed_button_adapter();
  QString read_caption() const { return text(); }
  void write_caption(const QString& caption) { setText(caption); }
  QObject* read_glyph() const { return glyph_.get(); }
  bool read_down() const { return isChecked(); }
  void write_down(bool down);
  int read_group_index() const { return group_index_; }
  void write_group_index(int index);
  bool read_allow_all_up() const { return allow_all_up_; }
  void write_allow_all_up(bool on) { allow_all_up_ = on; }
  bool read_flat() const { return autoRaise(); }
  void write_flat(bool on) { setAutoRaise(on); }
  bool read_show_caption() const { return show_caption_; }
  void write_show_caption(bool on);

 protected:
  void nextCheckState() override;

 private:
  void update_style();

  std::unique_ptr<picture_object> glyph_;
  int group_index_ = 0;
  bool allow_all_up_ = false;
  bool show_caption_ = true;
};

// A check or radio box: a caption, a check mark, optionally as wide as its
// caption.
template <typename Box>
class check_control : public control<Box> {
 public:
  QString read_caption() const { return this->text(); }
  void write_caption(const QString& caption) {
    this->setText(caption);
    fit();
  }
  bool read_auto_size() const { return auto_size_; }
  void write_auto_size(bool on) {
    auto_size_ = on;
    fit();
  }

 private:
  void fit() {
    if (auto_size_) fit_width(this);
  }

  bool auto_size_ = false;
};

#define DIRSCRIBE_CHECK_PROPERTIES                                  \
  DIRSCRIBE_CONTROL_PROPERTIES                                      \
  Q_PROPERTY(QString Caption READ read_caption WRITE write_caption) \
  Q_PROPERTY(bool Checked READ isChecked WRITE setChecked)          \
  Q_PROPERTY(bool AutoSize READ read_auto_size WRITE write_auto_size)

// TCheckBox.
class check_box_adapter : public check_control<QCheckBox> {
  Q_OBJECT
  DIRSCRIBE_CHECK_PROPERTIES
};

// TRadioButton: radio buttons under one parent exclude each other.
class radio_button_adapter : public check_control<QRadioButton> {
  Q_OBJECT
  DIRSCRIBE_CHECK_PROPERTIES
};

// TEdit: one line of text.
class edit_adapter : public control<QLineEdit> {
  Q_OBJECT
  DIRSCRIBE_CONTROL_PROPERTIES
  Q_PROPERTY(QString Text READ text WRITE setText)
  Q_PROPERTY(bool ReadOnly READ isReadOnly WRITE setReadOnly)
  Q_PROPERTY(int MaxLength READ maxLength WRITE setMaxLength)
  Q_PROPERTY(QString TextHint READ placeholderText WRITE setPlaceholderText)
};

// A box of several lines of text: Lines fills it, one item a line.
template <typename Editor>
class text_box : public control<Editor> {
 public:
  text_box() : lines_(std::make_unique<string_list_object>()) {
    QObject::connect(lines_.get(), &string_list_object::changed, this,
                     [this] { this->setPlainText(lines_->strings().join(u'\n')); });
    write_scroll_bars(scroll_bars_);
  }
  QObject* read_lines() const { return lines_.get(); }
  bool read_word_wrap() const { return this->lineWrapMode() != Editor::NoWrap; }
  void write_word_wrap(bool on) {
    this->setLineWrapMode(on ? Editor::WidgetWidth : Editor::NoWrap);
  }
  described::scroll_style read_scroll_bars() const { return scroll_bars_; }
  void write_scroll_bars(described::scroll_style style) {
    scroll_bars_ = style;
    const bool horizontal = style == described::ssHorizontal || style == described::ssBoth;
    const bool vertical = style == described::ssVertical || style == described::ssBoth;
    this->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    this->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  }

 private:
  std::unique_ptr<string_list_object> lines_;
  described::scroll_style scroll_bars_ = described::ssNone;
};

#define DIRSCRIBE_TEXT_BOX_PROPERTIES                                 \
  DIRSCRIBE_CONTROL_PROPERTIES                                        \
  Q_PROPERTY(QString Text READ toPlainText WRITE setPlainText)        \
  Q_PROPERTY(QObject* Lines READ read_lines CONSTANT)                 \
  Q_PROPERTY(bool ReadOnly READ isReadOnly WRITE setReadOnly)         \
  Q_PROPERTY(bool WordWrap READ read_word_wrap WRITE write_word_wrap) \
  Q_PROPERTY(described::scroll_style ScrollBars READ read_scroll_bars WRITE write_scroll_bars)

// TMemo: lines of plain text.
class memo_adapter : public text_box<QPlainTextEdit> {
  Q_OBJECT
  DIRSCRIBE_TEXT_BOX_PROPERTIES
};

// TRichEdit: lines of text that may be formatted (plain text is shown as
// such).
class rich_edit_adapter : public text_box<QTextEdit> {
  Q_OBJECT
  DIRSCRIBE_TEXT_BOX_PROPERTIES

 public:
  rich_edit_adapter() { setAcceptRichText(false); }
};

// TComboBox: a list to choose from, with or without free text.
class combo_box_adapter : public control<QComboBox> {
  Q_OBJECT
  DIRSCRIBE_CONTROL_PROPERTIES
  Q_PROPERTY(QString Text READ currentText WRITE write_text)
  Q_PROPERTY(QObject* Items READ read_items CONSTANT)
  Q_PROPERTY(int ItemIndex READ currentIndex WRITE setCurrentIndex)
  Q_PROPERTY(described::combo_style Style READ read_style WRITE write_style)

 public:
  combo_box_adapter();
  void write_text(const QString& text);
  QObject* read_items() const { return items_.get(); }
  described::combo_style read_style() const { return style_; }
  void write_style(described::combo_style style);

 private:
  std::unique_ptr<string_list_object> items_;
  described::combo_style style_ = described::csDropDown;
};

// TListBox: a list of items, one selected.
class list_box_adapter : public control<QListWidget> {
  Q_OBJECT
  DIRSCRIBE_CONTROL_PROPERTIES
  Q_PROPERTY(QObject* Items READ read_items CONSTANT)
  Q_PROPERTY(int ItemIndex READ currentRow WRITE setCurrentRow)

 public:
  list_box_adapter();
  QObject* read_items() const { return items_.get(); }

 private:
  std::unique_ptr<string_list_object> items_;
};

// TImage: a picture, drawn at its own size or stretched to the control.
class image_adapter : public control<QLabel> {
  Q_OBJECT
  DIRSCRIBE_CONTROL_PROPERTIES
  Q_PROPERTY(QObject* Picture READ read_picture CONSTANT)
  Q_PROPERTY(bool Stretch READ read_stretch WRITE write_stretch)
  Q_PROPERTY(bool Proportional READ read_proportional WRITE write_proportional)
  Q_PROPERTY(bool Center READ read_center WRITE write_center)

 public:
  image_adapter();
  QObject* read_picture() const { return picture_.get(); }
  picture_object& picture() { return *picture_; }
  bool read_stretch() const { return stretch_; }
  void write_stretch(bool on);
  bool read_proportional() const { return proportional_; }
  void write_proportional(bool on);
  bool read_center() const { return center_; }
  void write_center(bool on);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::unique_ptr<picture_object> picture_;
  bool stretch_ = false;
  bool proportional_ = false;
  bool center_ = false;
};

}  // namespace dirscribe
