// What every container adapter shares: it lays its children out by their
// Align whenever it changes size or a child shows or hides.
#pragma once

#include <QChildEvent>
#include <QEvent>
#include <QResizeEvent>

#include "ui/control.h"

namespace dirscribe {

// The properties every container publishes besides those of a control.
#define DIRSCRIBE_CONTAINER_PROPERTIES                          \
  DIRSCRIBE_CONTROL_PROPERTIES                                  \
  Q_PROPERTY(int Padding READ read_padding WRITE write_padding) \
  Q_PROPERTY(int Spacing READ read_spacing WRITE write_spacing)

template <typename Widget>
class container : public control<Widget>, public described_container {
 public:
  QWidget* container_widget() override { return this; }
  QRect client_area() const override { return this->contentsRect(); }

  int read_padding() const override { return padding_; }
  void write_padding(int padding) {
    padding_ = padding < 0 ? 0 : padding;
    arrange();
  }
  int read_spacing() const override { return spacing_; }
  void write_spacing(int spacing) {
    spacing_ = spacing < 0 ? 0 : spacing;
    arrange();
  }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    Widget::resizeEvent(event);
    arrange();
  }

  void childEvent(QChildEvent* event) override {
    Widget::childEvent(event);
    // A child that shows or hides later changes what its siblings get.
    if (event->added() && event->child()->isWidgetType()) event->child()->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched->parent() == this &&
        (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent)) {
      arrange();
    }
    return Widget::eventFilter(watched, event);
  }

 private:
  int padding_ = 0;
  int spacing_ = 0;
};

}  // namespace dirscribe
