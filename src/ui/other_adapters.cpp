#include "ui/other_adapters.h"

#include <QMouseEvent>
#include <QPainter>

namespace dirscribe {

date_time_picker_adapter::date_time_picker_adapter() {
  setCalendarPopup(true);
  write_kind(described::dtkDate);
}

void date_time_picker_adapter::write_kind(described::picker_kind kind) {
  kind_ = kind;
  // The locale's own short formats, so dates read as the user expects.
  const QLocale locale;
  if (kind == described::dtkDate) {
    setDisplayFormat(locale.dateFormat(QLocale::ShortFormat));
    setCalendarPopup(true);
  } else {
    // Times keep their seconds: a filter window is exact to the second, and
    // a picker that cannot show them would lose them on the way back.
    QString format = locale.timeFormat(QLocale::ShortFormat);
    if (!format.contains(u's')) format.replace(QStringLiteral("mm"), QStringLiteral("mm:ss"));
    setDisplayFormat(format);
    setCalendarPopup(false);
  }
}

void bevel_adapter::write_shape(described::bevel_shape shape) {
  shape_ = shape;
  update();
}

void bevel_adapter::paintEvent(QPaintEvent*) {
  if (shape_ == described::bsSpacer) return;
  QPainter painter(this);
  const QColor dark = palette().color(QPalette::Mid);
  const QColor light = palette().color(QPalette::Light);
  const QRect box = rect().adjusted(0, 0, -1, -1);
  const auto line = [&](QPoint a, QPoint b, QPoint offset) {
    painter.setPen(dark);
    painter.drawLine(a, b);
    painter.setPen(light);
    painter.drawLine(a + offset, b + offset);
  };
  switch (shape_) {
    case described::bsTopLine:
      line(box.topLeft(), box.topRight(), {0, 1});
      break;
    case described::bsBottomLine:
      line(box.bottomLeft() - QPoint(0, 1), box.bottomRight() - QPoint(0, 1), {0, 1});
      break;
    case described::bsLeftLine:
      line(box.topLeft(), box.bottomLeft(), {1, 0});
      break;
    case described::bsRightLine:
      line(box.topRight() - QPoint(1, 0), box.bottomRight() - QPoint(1, 0), {1, 0});
      break;
    default:
      painter.setPen(dark);
      painter.drawRect(box.adjusted(0, 0, -1, -1));
      if (shape_ == described::bsFrame) {
        painter.setPen(light);
        painter.drawRect(box.adjusted(1, 1, 0, 0));
      }
  }
}

void shape_adapter::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(palette().color(QPalette::WindowText));
  painter.setBrush(palette().color(QPalette::Base));
  QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  const bool square = shape_ == described::stSquare || shape_ == described::stRoundSquare ||
                      shape_ == described::stCircle;
  if (square) {
    const qreal side = std::min(box.width(), box.height());
    box = QRectF(box.center() - QPointF(side / 2, side / 2), QSizeF(side, side));
  }
  switch (shape_) {
    case described::stRoundRect:
    case described::stRoundSquare:
      painter.drawRoundedRect(box, box.width() / 8, box.height() / 8);
      break;
    case described::stEllipse:
    case described::stCircle:
      painter.drawEllipse(box);
      break;
    default:
      painter.drawRect(box);
  }
}

splitter_adapter::splitter_adapter() {
  setCursor(Qt::SplitHCursor);
  resize(4, 4);
}

QWidget* splitter_adapter::neighbour() const {
  // The control aligned to the same side that ends where the splitter begins.
  QWidget* parent = parentWidget();
  if (parent == nullptr) return nullptr;
  QWidget* best = nullptr;
  int best_gap = 1 << 30;
  for (QWidget* sibling : parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    auto* control = dynamic_cast<described_control*>(sibling);
    if (sibling == this || control == nullptr || sibling->isHidden() ||
        control->read_align() != read_align()) {
      continue;
    }
    int gap = 0;
    switch (read_align()) {
      case described::alLeft:
        gap = x() - (sibling->geometry().right() + 1);
        break;
      case described::alRight:
        gap = sibling->x() - (geometry().right() + 1);
        break;
      case described::alTop:
        gap = y() - (sibling->geometry().bottom() + 1);
        break;
      case described::alBottom:
        gap = sibling->y() - (geometry().bottom() + 1);
        break;
      default:
        return nullptr;
    }
    if (gap >= 0 && gap < best_gap) {
      best_gap = gap;
      best = sibling;
    }
  }
  return best;
}

void splitter_adapter::mousePressEvent(QMouseEvent* event) {
  drag_start_ = event->globalPosition().toPoint();
  if (QWidget* other = neighbour()) neighbour_start_ = other->size();
  setCursor(read_align() == described::alTop || read_align() == described::alBottom
                ? Qt::SplitVCursor
                : Qt::SplitHCursor);
}

void splitter_adapter::mouseMoveEvent(QMouseEvent* event) {
  QWidget* other = neighbour();
  if (other == nullptr || (event->buttons() & Qt::LeftButton) == 0) return;
  const QPoint moved = event->globalPosition().toPoint() - drag_start_;
  QSize size = neighbour_start_;
  switch (read_align()) {
    case described::alLeft:
      size.setWidth(size.width() + moved.x());
      break;
    case described::alRight:
      size.setWidth(size.width() - moved.x());
      break;
    case described::alTop:
      size.setHeight(size.height() + moved.y());
      break;
    case described::alBottom:
      size.setHeight(size.height() - moved.y());
      break;
    default:
      return;
  }
  size = size.expandedTo(QSize(min_size_, min_size_));
  other->resize(size);
  arrange_parent(this);
}

tree_view_adapter::tree_view_adapter() : items_(std::make_unique<string_list_object>()) {
  setHeaderHidden(true);
  connect(items_.get(), &string_list_object::changed, this, [this] {
    clear();
    for (const QString& item : items_->strings()) addTopLevelItem(new QTreeWidgetItem({item}));
  });
}

list_view_adapter::list_view_adapter() : columns_(std::make_unique<string_list_object>()) {
  setRootIsDecorated(false);
  connect(columns_.get(), &string_list_object::changed, this, [this] {
    setColumnCount(static_cast<int>(std::max<qsizetype>(columns_->strings().size(), 1)));
    setHeaderLabels(columns_->strings());
  });
}

header_control_adapter::header_control_adapter()
    : control<QHeaderView>(Qt::Horizontal),
      sections_(std::make_unique<string_list_object>()),
      model_(std::make_unique<QStandardItemModel>()) {
  setModel(model_.get());
  connect(sections_.get(), &string_list_object::changed, this, [this] {
    model_->setColumnCount(static_cast<int>(sections_->strings().size()));
    model_->setHorizontalHeaderLabels(sections_->strings());
  });
}

main_menu_adapter::main_menu_adapter()
    : owned_bar_(std::make_unique<QMenuBar>()), bar_(owned_bar_.get()) {}

main_menu_adapter::~main_menu_adapter() = default;

QMenuBar* main_menu_adapter::release_to_form() { return owned_bar_.release(); }

}  // namespace dirscribe
