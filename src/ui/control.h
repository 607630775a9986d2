// What every visual adapter shares: the common published properties of a
// control (position, size, Align, visibility, hint, colour, cursor, keyboard
// order, font) on top of the Qt widget it adapts.
#pragma once

#include <QApplication>
#include <QPalette>
#include <QString>
#include <QWidget>
#include <memory>
#include <type_traits>

#include "ui/description_enums.h"
#include "ui/name_tables.h"
#include "ui/sub_objects.h"

namespace dirscribe {

// What the Align layout and the keyboard order need of a described control.
class described_control {
 public:
  virtual ~described_control() = default;
  virtual described::align_kind read_align() const = 0;
  virtual int read_margin() const = 0;
  virtual int read_tab_order() const = 0;
  // Called once the whole description is built, so that names that point at
  // other controls (a label's FocusControl) can be resolved.
  virtual void finish_build() {}
};

// What a container gives the Align layout (align_layout.cpp).
class described_container {
 public:
  virtual ~described_container() = default;
  virtual QWidget* container_widget() = 0;
  // The part of the widget its aligned children share, before padding.
  virtual QRect client_area() const = 0;
  virtual int read_padding() const = 0;
  virtual int read_spacing() const = 0;
  // True when the container takes the height its children need.
  virtual bool auto_height() const { return false; }
  // True when its unaligned children flow from left to right (a tool bar).
  virtual bool flows_unaligned() const { return false; }

  // Places every visible child by its Align, in the fixed order; then, for
  // an auto-height container, takes the height the children need and asks
  // its own container to lay out again. Safe to call while it runs.
  void arrange();

 private:
  bool arranging_ = false;
  bool again_ = false;
};

// Asks the container that holds `widget`, if it is one, to lay out again.
void arrange_parent(QWidget* widget);

// Makes `widget` as wide as its content (its size hint); the height stays.
inline void fit_width(QWidget* widget) {
  widget->resize(widget->sizeHint().width(), widget->height());
  arrange_parent(widget);
}

// The properties every visual control publishes, for its Q_OBJECT class.
#define DIRSCRIBE_CONTROL_PROPERTIES                                        \
  Q_PROPERTY(QString Name READ read_name WRITE write_name)                  \
  Q_PROPERTY(int Left READ read_left WRITE write_left)                      \
  Q_PROPERTY(int Top READ read_top WRITE write_top)                         \
  Q_PROPERTY(int Width READ read_width WRITE write_width)                   \
  Q_PROPERTY(int Height READ read_height WRITE write_height)                \
  Q_PROPERTY(described::align_kind Align READ read_align WRITE write_align) \
  Q_PROPERTY(int Margin READ read_margin WRITE write_margin)                \
  Q_PROPERTY(bool Visible READ read_visible WRITE write_visible)            \
  Q_PROPERTY(bool Enabled READ read_enabled WRITE write_enabled)            \
  Q_PROPERTY(QString Hint READ read_hint WRITE write_hint)                  \
  Q_PROPERTY(int Color READ read_color WRITE write_color)                   \
  Q_PROPERTY(int Cursor READ read_cursor WRITE write_cursor)                \
  Q_PROPERTY(int TabOrder READ read_tab_order WRITE write_tab_order)        \
  Q_PROPERTY(bool TabStop READ read_tab_stop WRITE write_tab_stop)          \
  Q_PROPERTY(QObject* Font READ read_font CONSTANT)

// The common properties over the Qt widget `Widget`. Final adapters derive
// from this (or from container<Widget>), add Q_OBJECT and
// DIRSCRIBE_CONTROL_PROPERTIES, and publish their own properties.
template <typename Widget>
class control : public Widget, public described_control {
 public:
  control() : font_(std::make_unique<font_object>(this)) {
    default_focus_policy_ = this->focusPolicy();
  }
  // For widgets that need a constructor argument (a header's orientation).
  template <typename Argument>
  requires(!std::is_base_of_v<QObject, std::remove_cvref_t<Argument>>) explicit control(
      Argument&& argument)
      : Widget(std::forward<Argument>(argument)), font_(std::make_unique<font_object>(this)) {
    default_focus_policy_ = this->focusPolicy();
  }

  QString read_name() const { return this->objectName(); }
  void write_name(const QString& name) { this->setObjectName(name); }

  int read_left() const { return this->x(); }
  void write_left(int left) {
    this->move(left, this->y());
    arrange_parent(this);
  }
  int read_top() const { return this->y(); }
  void write_top(int top) {
    this->move(this->x(), top);
    arrange_parent(this);
  }
  int read_width() const { return this->width(); }
  void write_width(int width) {
    this->resize(width, this->height());
    arrange_parent(this);
  }
  int read_height() const { return this->height(); }
  void write_height(int height) {
    this->resize(this->width(), height);
    arrange_parent(this);
  }

  described::align_kind read_align() const override { return align_; }
  void write_align(described::align_kind align) {
    align_ = align;
    arrange_parent(this);
  }
  int read_margin() const override { return margin_; }
  void write_margin(int margin) {
    margin_ = margin < 0 ? 0 : margin;
    arrange_parent(this);
  }

  // The control's own wish, not whether its window shows yet.
  bool read_visible() const { return !this->isHidden(); }
  void write_visible(bool visible) {
    this->setVisible(visible);
    arrange_parent(this);
  }
  bool read_enabled() const { return !this->testAttribute(Qt::WA_ForceDisabled); }
  void write_enabled(bool enabled) { this->setEnabled(enabled); }

  QString read_hint() const { return this->toolTip(); }
  void write_hint(const QString& hint) { this->setToolTip(hint); }

  int read_color() const { return color_; }
  void write_color(int color) {
    color_ = color;
    if (const auto role = system_color_role(color)) {
      // A system colour stays a palette role, so it follows the desktop.
      this->setBackgroundRole(*role);
      this->setAutoFillBackground(true);
      return;
    }
    const QColor rgb = rgb_color(color);
    if (!rgb.isValid()) {
      this->setAutoFillBackground(false);
      return;
    }
    QPalette palette = this->palette();
    palette.setColor(this->backgroundRole(), rgb);
    this->setPalette(palette);
    this->setAutoFillBackground(true);
  }

  int read_cursor() const { return cursor_; }
  void write_cursor(int cursor) {
    cursor_ = cursor;
    if (cursor == 0) {
      this->unsetCursor();
    } else {
      this->setCursor(cursor_shape(cursor));
    }
  }

  int read_tab_order() const override { return tab_order_; }
  void write_tab_order(int order) { tab_order_ = order; }
  // Off: the control takes the focus by a click but is passed over by Tab.
  bool read_tab_stop() const { return (this->focusPolicy() & Qt::TabFocus) != 0; }
  void write_tab_stop(bool stop) {
    if (stop) {
      this->setFocusPolicy(default_focus_policy_ == Qt::NoFocus ? Qt::StrongFocus
                                                                : default_focus_policy_);
    } else if (this->focusPolicy() != Qt::NoFocus) {
      this->setFocusPolicy(Qt::ClickFocus);
    }
  }

  QObject* read_font() const { return font_.get(); }

 private:
  std::unique_ptr<font_object> font_;
  described::align_kind align_ = described::alNone;
  int margin_ = 0;
  int color_ = kColorDefault;
  int cursor_ = 0;
  int tab_order_ = -1;
  Qt::FocusPolicy default_focus_policy_ = Qt::NoFocus;
};

}  // namespace dirscribe
