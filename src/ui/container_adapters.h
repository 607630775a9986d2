// Adapters of the containers: forms, panels, group boxes, tab controls,
// scroll boxes, tool bars and the status bar. Each lays its children out by
// their Align (align_layout.cpp).
#pragma once

#include <QButtonGroup>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QRadioButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <vector>

#include "ui/container.h"

namespace dirscribe {

// TPanel: a plain area with optional bevels and a caption drawn in it.
class panel_adapter : public container<QFrame> {
  Q_OBJECT
  DIRSCRIBE_CONTAINER_PROPERTIES
  Q_PROPERTY(QString Caption READ read_caption WRITE write_caption)
  Q_PROPERTY(described::bevel_kind BevelInner READ read_bevel_inner WRITE write_bevel_inner)
  Q_PROPERTY(described::bevel_kind BevelOuter READ read_bevel_outer WRITE write_bevel_outer)
  Q_PROPERTY(bool AutoSize READ read_auto_size WRITE write_auto_size)
  Q_PROPERTY(described::text_alignment Alignment READ read_alignment WRITE write_alignment)

 public:
  panel_adapter();
  QString read_caption() const { return caption_; }
  void write_caption(const QString& caption);
  described::bevel_kind read_bevel_inner() const { return bevel_inner_; }
  void write_bevel_inner(described::bevel_kind bevel);
  described::bevel_kind read_bevel_outer() const { return bevel_outer_; }
  void write_bevel_outer(described::bevel_kind bevel);
  bool read_auto_size() const { return auto_size_; }
  void write_auto_size(bool on);
  bool auto_height() const override { return auto_size_; }
  described::text_alignment read_alignment() const { return alignment_; }
  void write_alignment(described::text_alignment alignment);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void apply_bevels();

  QString caption_;
  described::bevel_kind bevel_inner_ = described::bvNone;
  described::bevel_kind bevel_outer_ = described::bvNone;
  described::text_alignment alignment_ = described::taCenter;
  bool auto_size_ = false;
};

// A titled frame whose children share what its title leaves.
class titled_container : public container<QGroupBox> {
 public:
  QRect client_area() const override;
};

// TGroupBox: a titled frame; the title takes room at the top.
class group_box_adapter : public titled_container {
  Q_OBJECT
  DIRSCRIBE_CONTAINER_PROPERTIES
  Q_PROPERTY(QString Caption READ title WRITE setTitle)
  Q_PROPERTY(bool AutoSize READ read_auto_size WRITE write_auto_size)

 public:
  bool read_auto_size() const { return auto_size_; }
  void write_auto_size(bool on);
  bool auto_height() const override { return auto_size_; }

 private:
  bool auto_size_ = false;
};

// TRadioGroup: a titled frame of radio buttons made from Items, in Columns.
class radio_group_adapter : public titled_container {
  Q_OBJECT
  DIRSCRIBE_CONTAINER_PROPERTIES
  Q_PROPERTY(QString Caption READ title WRITE setTitle)
  Q_PROPERTY(QObject* Items READ read_items CONSTANT)
  Q_PROPERTY(int ItemIndex READ read_item_index WRITE write_item_index)
  Q_PROPERTY(int Columns READ read_columns WRITE write_columns)

 public:
  radio_group_adapter();
  QObject* read_items() const { return items_.get(); }
  int read_item_index() const;
  void write_item_index(int index);
  int read_columns() const { return columns_; }
  void write_columns(int columns);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void rebuild_buttons();
  void place_buttons();

  std::unique_ptr<string_list_object> items_;
  QButtonGroup* group_;                 // owned by this widget
  std::vector<QRadioButton*> buttons_;  // children of this widget
  int columns_ = 1;
};

// TScrollBox: an area that scrolls when its content is larger than it.
class scroll_box_adapter : public control<QScrollArea> {
  Q_OBJECT
  DIRSCRIBE_CONTROL_PROPERTIES
  Q_PROPERTY(described::scroll_style ScrollBars READ read_scroll_bars WRITE write_scroll_bars)

 public:
  scroll_box_adapter();
  // Where the description's children go.
  QWidget* content() const { return widget(); }
  described::scroll_style read_scroll_bars() const { return scroll_bars_; }
  void write_scroll_bars(described::scroll_style style);

 private:
  described::scroll_style scroll_bars_ = described::ssBoth;
};

// The inside of a scroll box: a container as high as its content needs.
class scroll_content : public container<QWidget> {
  Q_OBJECT
  DIRSCRIBE_CONTAINER_PROPERTIES

 public:
  bool auto_height() const override { return false; }
};

// TTabControl: a row of tabs over one area; the pages in the area are
// switched by code.
class tab_control_adapter : public container<QFrame> {
  Q_OBJECT
  DIRSCRIBE_CONTAINER_PROPERTIES
  Q_PROPERTY(QObject* Tabs READ read_tabs CONSTANT)
  Q_PROPERTY(int TabIndex READ read_tab_index WRITE write_tab_index)

 public:
  tab_control_adapter();
  QRect client_area() const override;
  QObject* read_tabs() const { return tabs_.get(); }
  int read_tab_index() const { return bar_->currentIndex(); }
  void write_tab_index(int index) { bar_->setCurrentIndex(index); }
  QTabBar* tab_bar() const { return bar_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  std::unique_ptr<string_list_object> tabs_;
  QTabBar* bar_;  // a child of this widget
};

// TTabSheet: one page of a page control.
class tab_sheet_adapter : public container<QWidget> {
  Q_OBJECT
  DIRSCRIBE_CONTAINER_PROPERTIES
  Q_PROPERTY(QString Caption READ read_caption WRITE write_caption)

 public:
  QString read_caption() const { return caption_; }
  void write_caption(const QString& caption);
  // Set when the sheet becomes a page of `pages`.
  void set_page_control(QTabWidget* pages) { pages_ = pages; }

 private:
  QString caption_;
  QPointer<QTabWidget> pages_;
};

// TPageControl: pages with tabs; its TTabSheet children are the pages.
class page_control_adapter : public control<QTabWidget> {
  Q_OBJECT
  DIRSCRIBE_CONTROL_PROPERTIES
  Q_PROPERTY(int ActivePageIndex READ currentIndex WRITE setCurrentIndex)

 public:
  void add_sheet(tab_sheet_adapter* sheet);
};

// TToolBar: a bar whose unaligned buttons line up from the left.
class tool_bar_adapter : public container<QFrame> {
  Q_OBJECT
  DIRSCRIBE_CONTAINER_PROPERTIES

 public:
  tool_bar_adapter();
  bool flows_unaligned() const override { return true; }
};

// TCoolBar: a band of tool bars; laid out like a tool bar.
class cool_bar_adapter : public tool_bar_adapter {
  Q_OBJECT
};

// TStatusBar: a line of status text.
class status_bar_adapter : public control<QStatusBar> {
  Q_OBJECT
  DIRSCRIBE_CONTROL_PROPERTIES
  Q_PROPERTY(QString SimpleText READ read_simple_text WRITE write_simple_text)

 public:
  status_bar_adapter();
  QString read_simple_text() const;
  void write_simple_text(const QString& text);

 private:
  QLabel* text_;  // a child of this widget
};

// TForm: a window. The first form the description creates becomes the main
// window. A main menu, when it has one, takes room at the top.
class form_adapter : public container<QWidget> {
  Q_OBJECT
  DIRSCRIBE_CONTAINER_PROPERTIES
  Q_PROPERTY(QString Caption READ windowTitle WRITE setWindowTitle)
  Q_PROPERTY(int ClientWidth READ width WRITE write_client_width)
  Q_PROPERTY(int ClientHeight READ height WRITE write_client_height)
  Q_PROPERTY(described::form_position Position READ read_position WRITE write_position)
  Q_PROPERTY(int ModalResult READ read_modal_result WRITE write_modal_result)

 public:
  QRect client_area() const override;
  void write_client_width(int width) { resize(width, height()); }
  void write_client_height(int height) { resize(width(), height); }
  described::form_position read_position() const { return position_; }
  void write_position(described::form_position position) { position_ = position; }
  int read_modal_result() const { return modal_result_; }
  void write_modal_result(int result) { modal_result_ = result; }
  // Places the window at `position` and keeps it there when it first shows,
  // whatever its Position says.
  void place_at(QPoint position) {
    placed_ = true;
    move(position);
  }
  // Puts `bar` at the top of the window; the window owns it from here on.
  void attach_menu_bar(QMenuBar* bar);
  QMenuBar* menu_bar() const { return menu_bar_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void place_menu_bar();

  QPointer<QMenuBar> menu_bar_;
  described::form_position position_ = described::poDesigned;
  int modal_result_ = 0;
  bool placed_ = false;
};

}  // namespace dirscribe
