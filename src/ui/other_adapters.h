// Adapters of the remaining classes: pickers, bars and sliders, bevels and
// shapes, the splitter, trees and lists, and the components that are not
// visual (image list, menus).
#pragma once

#include <QDateTimeEdit>
#include <QHeaderView>
#include <QIcon>
#include <QKeySequenceEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTreeWidget>
#include <vector>

#include "ui/basic_adapters.h"
#include "ui/control.h"

namespace dirscribe {

// TDateTimePicker: a date or a time of day.
class date_time_picker_adapter : public control<QDateTimeEdit> {
  Q_OBJECT
  DIRSCRIBE_CONTROL_PROPERTIES
  Q_PROPERTY(described::picker_kind Kind READ read_kind WRITE write_kind)

 public:
  date_time_picker_adapter();
  described::picker_kind read_kind() const { return kind_; }
  void write_kind(described::picker_kind kind);

 private:
  described::picker_kind kind_ = described::dtkDate;
};

// A value between a least and a greatest, as progress bars, sliders, spin
// boxes and scroll bars have.
#define DIRSCRIBE_RANGE_PROPERTIES                  \
  Q_PROPERTY(int Min READ minimum WRITE setMinimum) \
  Q_PROPERTY(int Max READ maximum WRITE setMaximum) \
  Q_PROPERTY(int Position READ value WRITE setValue)

// TProgressBar.
class progress_bar_adapter : public control<QProgressBar> {
  Q_OBJECT
  DIRSCRIBE_CONTROL_PROPERTIES
  DIRSCRIBE_RANGE_PROPERTIES

 public:
  progress_bar_adapter() { setValue(0); }
};

// TTrackBar: a horizontal slider.
class track_bar_adapter : public control<QSlider> {
  Q_OBJECT
  DIRSCRIBE_CONTROL_PROPERTIES
  DIRSCRIBE_RANGE_PROPERTIES

 public:
  track_bar_adapter() { setOrientation(Qt::Horizontal); }
};

// TUpDown: a number stepped up and down.
class up_down_adapter : public control<QSpinBox> {
  Q_OBJECT
  DIRSCRIBE_CONTROL_PROPERTIES
  DIRSCRIBE_RANGE_PROPERTIES
};

// TScrollBar.
class scroll_bar_adapter : public control<QScrollBar> {
  Q_OBJECT
  DIRSCRIBE_CONTROL_PROPERTIES
  Q_PROPERTY(described::scroll_bar_kind Kind READ read_kind WRITE write_kind)
  DIRSCRIBE_RANGE_PROPERTIES

 public:
  scroll_bar_adapter() { setOrientation(Qt::Horizontal); }
  described::scroll_bar_kind read_kind() const {
    return orientation() == Qt::Horizontal ? described::sbHorizontal : described::sbVertical;
  }
  void write_kind(described::scroll_bar_kind kind) {
    setOrientation(kind == described::sbHorizontal ? Qt::Horizontal : Qt::Vertical);
  }
};

// TBevel: a line or a box drawn in the system's bevel colours.
class bevel_adapter : public control<QFrame> {
  Q_OBJECT
  DIRSCRIBE_CONTROL_PROPERTIES
  Q_PROPERTY(described::bevel_shape Shape READ read_shape WRITE write_shape)

 public:
  bevel_adapter() { write_shape(described::bsBox); }
  described::bevel_shape read_shape() const { return shape_; }
  void write_shape(described::bevel_shape shape);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  described::bevel_shape shape_ = described::bsBox;
};

// TShape: a rectangle, rounded rectangle or ellipse.
class shape_adapter : public control<QWidget> {
  Q_OBJECT
  DIRSCRIBE_CONTROL_PROPERTIES
  Q_PROPERTY(described::shape_kind Shape READ read_shape WRITE write_shape)

 public:
  described::shape_kind read_shape() const { return shape_; }
  void write_shape(described::shape_kind shape) {
    shape_ = shape;
    update();
  }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  described::shape_kind shape_ = described::stRectangle;
};

// TSplitter: a bar that, dragged, resizes the aligned control before it.
class splitter_adapter : public control<QFrame> {
  Q_OBJECT
  DIRSCRIBE_CONTROL_PROPERTIES
  Q_PROPERTY(int MinSize READ read_min_size WRITE write_min_size)

 public:
  splitter_adapter();
  int read_min_size() const { return min_size_; }
  void write_min_size(int size) { min_size_ = size < 0 ? 0 : size; }

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  QWidget* neighbour() const;

  int min_size_ = 30;
  QPoint drag_start_;
  QSize neighbour_start_;
};

// THotKey: a key combination typed by the user.
class hot_key_adapter : public control<QKeySequenceEdit> {
  Q_OBJECT
  DIRSCRIBE_CONTROL_PROPERTIES
};

// TAnimate: an area that shows a picture.
class animate_adapter : public control<QLabel> {
  Q_OBJECT
  DIRSCRIBE_CONTROL_PROPERTIES
};

// TTreeView: a tree of items; Items gives the top level.
class tree_view_adapter : public control<QTreeWidget> {
  Q_OBJECT
  DIRSCRIBE_CONTROL_PROPERTIES
  Q_PROPERTY(QObject* Items READ read_items CONSTANT)

 public:
  tree_view_adapter();
  QObject* read_items() const { return items_.get(); }

 private:
  std::unique_ptr<string_list_object> items_;
};

// TListView: rows under a header of Columns (the detail view).
class list_view_adapter : public control<QTreeWidget> {
  Q_OBJECT
  DIRSCRIBE_CONTROL_PROPERTIES
  Q_PROPERTY(QObject* Columns READ read_columns CONSTANT)

 public:
  list_view_adapter();
  QObject* read_columns() const { return columns_.get(); }

 private:
  std::unique_ptr<string_list_object> columns_;
};

// THeaderControl: a row of column headings, the Sections.
class header_control_adapter : public control<QHeaderView> {
  Q_OBJECT
  DIRSCRIBE_CONTROL_PROPERTIES
  Q_PROPERTY(QObject* Sections READ read_sections CONSTANT)

 public:
  header_control_adapter();
  QObject* read_sections() const { return sections_.get(); }

 private:
  std::unique_ptr<string_list_object> sections_;
  std::unique_ptr<QStandardItemModel> model_;
};

// TImageList: pictures of one size, kept for menus and buttons.
class image_list_adapter : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString Name READ objectName WRITE setObjectName)
  Q_PROPERTY(int Width READ read_width WRITE write_width)
  Q_PROPERTY(int Height READ read_height WRITE write_height)

 public:
  int read_width() const { return width_; }
  void write_width(int width) { width_ = width; }
  int read_height() const { return height_; }
  void write_height(int height) { height_ = height; }
  std::vector<QIcon>& icons() { return icons_; }

 private:
  int width_ = 16;
  int height_ = 16;
  std::vector<QIcon> icons_;
};

// TMainMenu: the menu bar of the form that owns it, filled by code.
class main_menu_adapter : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString Name READ objectName WRITE setObjectName)

 public:
  main_menu_adapter();
  ~main_menu_adapter() override;
  QMenuBar* menu_bar() const { return bar_; }
  // Hands the bar to the form it now belongs to; the caller gives it a
  // parent that owns it.
  QMenuBar* release_to_form();

 private:
  std::unique_ptr<QMenuBar> owned_bar_;  // until a form takes the bar
  QPointer<QMenuBar> bar_;
};

// TPopupMenu: a context menu, filled by code.
class popup_menu_adapter : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString Name READ objectName WRITE setObjectName)

 public:
  popup_menu_adapter() : menu_(std::make_unique<QMenu>()) {}
  QMenu* menu() const { return menu_.get(); }

 private:
  std::unique_ptr<QMenu> menu_;
};

}  // namespace dirscribe
