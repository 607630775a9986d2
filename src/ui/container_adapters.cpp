#include "ui/container_adapters.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QStyleOptionGroupBox>

#include "ui/basic_adapters.h"

namespace dirscribe {

namespace {

QFrame::Shadow shadow_of(described::bevel_kind bevel) {
  return bevel == described::bvLowered  ? QFrame::Sunken
         : bevel == described::bvRaised ? QFrame::Raised
                                        : QFrame::Plain;
}

}  // namespace

panel_adapter::panel_adapter() { apply_bevels(); }

void panel_adapter::write_caption(const QString& caption) {
  caption_ = caption;
  update();
}

void panel_adapter::write_bevel_inner(described::bevel_kind bevel) {
  bevel_inner_ = bevel;
  apply_bevels();
}

void panel_adapter::write_bevel_outer(described::bevel_kind bevel) {
  bevel_outer_ = bevel;
  apply_bevels();
}

void panel_adapter::apply_bevels() {
  const bool outer = bevel_outer_ != described::bvNone && bevel_outer_ != described::bvSpace;
  const bool inner = bevel_inner_ != described::bvNone && bevel_inner_ != described::bvSpace;
  if (!outer && !inner) {
    setFrameStyle(QFrame::NoFrame);
  } else {
    setFrameShape(QFrame::Panel);
    setFrameShadow(shadow_of(outer ? bevel_outer_ : bevel_inner_));
    setLineWidth(1);
    setMidLineWidth(outer && inner ? 1 : 0);
  }
  arrange();
}

void panel_adapter::write_auto_size(bool on) {
  auto_size_ = on;
  arrange();
}

void panel_adapter::write_alignment(described::text_alignment alignment) {
  alignment_ = alignment;
  update();
}

void panel_adapter::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  if (caption_.isEmpty()) return;
  QPainter painter(this);
  const Qt::Alignment horizontal = alignment_ == described::taLeftJustify    ? Qt::AlignLeft
                                   : alignment_ == described::taRightJustify ? Qt::AlignRight
                                                                             : Qt::AlignHCenter;
  const int inset = read_padding();
  painter.setPen(palette().color(foregroundRole()));
  painter.drawText(contentsRect().adjusted(inset, 0, -inset, 0), horizontal | Qt::AlignVCenter,
                   without_mnemonics(caption_));
}

QRect titled_container::client_area() const {
  QStyleOptionGroupBox option;
  initStyleOption(&option);
  return style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxContents, this);
}

void group_box_adapter::write_auto_size(bool on) {
  auto_size_ = on;
  arrange();
}

radio_group_adapter::radio_group_adapter()
    : items_(std::make_unique<string_list_object>()), group_(new QButtonGroup(this)) {
  connect(items_.get(), &string_list_object::changed, this, [this] { rebuild_buttons(); });
}

int radio_group_adapter::read_item_index() const { return group_->checkedId(); }

void radio_group_adapter::write_item_index(int index) {
  if (index >= 0 && index < static_cast<int>(buttons_.size())) {
    buttons_[static_cast<size_t>(index)]->setChecked(true);
    return;
  }
  // No item chosen: every button off.
  group_->setExclusive(false);
  for (QRadioButton* button : buttons_) button->setChecked(false);
  group_->setExclusive(true);
}

void radio_group_adapter::write_columns(int columns) {
  columns_ = columns < 1 ? 1 : columns;
  place_buttons();
}

void radio_group_adapter::rebuild_buttons() {
  const int chosen = read_item_index();
  for (QRadioButton* button : buttons_) delete button;
  buttons_.clear();
  int id = 0;
  for (const QString& item : items_->strings()) {
    auto* button = new QRadioButton(item, this);
    group_->addButton(button, id++);
    button->show();
    buttons_.push_back(button);
  }
  write_item_index(chosen);
  place_buttons();
}

void radio_group_adapter::place_buttons() {
  if (buttons_.empty()) return;
  const QRect area =
      client_area().adjusted(read_padding(), read_padding(), -read_padding(), -read_padding());
  const int count = static_cast<int>(buttons_.size());
  const int rows = (count + columns_ - 1) / columns_;
  const int column_width = area.width() / columns_;
  const int row_height = std::max(area.height() / rows, buttons_.front()->sizeHint().height());
  for (int i = 0; i < count; ++i) {
    const int column = i / rows;
    const int row = i % rows;
    buttons_[static_cast<size_t>(i)]->setGeometry(area.left() + column * column_width,
                                                  area.top() + row * row_height, column_width,
                                                  row_height);
  }
}

void radio_group_adapter::resizeEvent(QResizeEvent* event) {
  titled_container::resizeEvent(event);
  place_buttons();
}

scroll_box_adapter::scroll_box_adapter() {
  setWidget(new scroll_content);
  setWidgetResizable(true);
  setFrameShape(QFrame::NoFrame);
}

void scroll_box_adapter::write_scroll_bars(described::scroll_style style) {
  scroll_bars_ = style;
  const bool horizontal = style == described::ssHorizontal || style == described::ssBoth;
  const bool vertical = style == described::ssVertical || style == described::ssBoth;
  setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

tab_control_adapter::tab_control_adapter()
    : tabs_(std::make_unique<string_list_object>()), bar_(new QTabBar(this)) {
  bar_->setDrawBase(true);
  bar_->setExpanding(false);
  connect(tabs_.get(), &string_list_object::changed, this, [this] {
    while (bar_->count() > 0) bar_->removeTab(0);
    for (const QString& tab : tabs_->strings()) bar_->addTab(tab);
    arrange();
  });
}

QRect tab_control_adapter::client_area() const {
  return contentsRect().adjusted(0, bar_->sizeHint().height(), 0, 0);
}

void tab_control_adapter::resizeEvent(QResizeEvent* event) {
  bar_->setGeometry(0, 0, width(), bar_->sizeHint().height());
  container<QFrame>::resizeEvent(event);
}

void tab_sheet_adapter::write_caption(const QString& caption) {
  caption_ = caption;
  if (pages_ != nullptr) {
    const int index = pages_->indexOf(this);
    if (index >= 0) pages_->setTabText(index, caption);
  }
}

void page_control_adapter::add_sheet(tab_sheet_adapter* sheet) {
  addTab(sheet, sheet->read_caption());
  sheet->set_page_control(this);
}

tool_bar_adapter::tool_bar_adapter() { setFrameStyle(QFrame::NoFrame); }

status_bar_adapter::status_bar_adapter() : text_(new QLabel(this)) {
  addWidget(text_, 1);
  setSizeGripEnabled(false);
}

QString status_bar_adapter::read_simple_text() const { return text_->text(); }

void status_bar_adapter::write_simple_text(const QString& text) { text_->setText(text); }

QRect form_adapter::client_area() const {
  QRect area = contentsRect();
  if (menu_bar_ != nullptr) area.setTop(area.top() + menu_bar_->sizeHint().height());
  return area;
}

void form_adapter::attach_menu_bar(QMenuBar* bar) {
  bar->setParent(this);
  menu_bar_ = bar;
  bar->show();
  place_menu_bar();
  arrange();
}

void form_adapter::place_menu_bar() {
  if (menu_bar_ != nullptr) menu_bar_->setGeometry(0, 0, width(), menu_bar_->sizeHint().height());
}

void form_adapter::resizeEvent(QResizeEvent* event) {
  place_menu_bar();
  container<QWidget>::resizeEvent(event);
}

void form_adapter::showEvent(QShowEvent* event) {
  container<QWidget>::showEvent(event);
  if (placed_ || position_ != described::poScreenCenter) return;
  placed_ = true;
  // Centred on the screen, or at the top left when larger than the screen.
  if (const QScreen* screen = this->screen()) {
    const QRect available = screen->availableGeometry();
    move(available.left() + std::max((available.width() - frameGeometry().width()) / 2, 0),
         available.top() + std::max((available.height() - frameGeometry().height()) / 2, 0));
  }
}

}  // namespace dirscribe
