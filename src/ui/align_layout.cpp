// The Align layout: every container places its aligned children in the order
// top, bottom, left, right, client, each taking its strip off what is left.

#include <QWidget>
#include <algorithm>
#include <vector>

#include "ui/control.h"

namespace dirscribe {

namespace {

struct placed_child {
  QWidget* widget;
  described_control* control;
};

// The children that take part: visible widgets of the container that are
// described controls and not windows of their own.
std::vector<placed_child> layout_children(QWidget* container) {
  std::vector<placed_child> children;
  for (QObject* object : container->children()) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr || widget->isWindow() || widget->isHidden()) continue;
    auto* control = dynamic_cast<described_control*>(widget);
    if (control != nullptr) children.push_back({widget, control});
  }
  return children;
}

std::vector<placed_child> with_align(const std::vector<placed_child>& children,
                                     described::align_kind align) {
  std::vector<placed_child> chosen;
  for (const placed_child& child : children) {
    if (child.control->read_align() == align) chosen.push_back(child);
  }
  // Controls of one side keep the order of their positions, as they were
  // drawn; the nearest to that side goes first.
  std::stable_sort(chosen.begin(), chosen.end(), [align](const auto& a, const auto& b) {
    switch (align) {
      case described::alTop:
        return a.widget->y() < b.widget->y();
      case described::alBottom:
        return a.widget->geometry().bottom() > b.widget->geometry().bottom();
      case described::alLeft:
        return a.widget->x() < b.widget->x();
      case described::alRight:
        return a.widget->geometry().right() > b.widget->geometry().right();
      default:
        return a.widget->x() < b.widget->x();
    }
  });
  return chosen;
}

void set_geometry(QWidget* widget, int left, int top, int width, int height) {
  const QRect wanted(left, top, std::max(width, 0), std::max(height, 0));
  if (widget->geometry() != wanted) widget->setGeometry(wanted);
}

// What the top and bottom strips need together, margins included but not
// the spacing between them: the height an auto-height container stacks.
struct stacked_strips {
  int height = 0;
  int count = 0;
};

// Places the children aligned to `side` (alTop or alBottom) across the width
// of `area`, the nearest to that side first, each keeping its height; takes
// each strip and the spacing after it off `area` and adds it to `stacked`.
void place_horizontal_strips(const std::vector<placed_child>& children, described::align_kind side,
                             int spacing, QRect& area, stacked_strips& stacked) {
  for (const placed_child& child : with_align(children, side)) {
    const int margin = child.control->read_margin();
    const int height = child.widget->height();
    const int top =
        side == described::alTop ? area.top() + margin : area.bottom() + 1 - margin - height;
    set_geometry(child.widget, area.left() + margin, top, area.width() - 2 * margin, height);
    if (side == described::alTop) {
      area.setTop(area.top() + height + 2 * margin + spacing);
    } else {
      area.setBottom(area.bottom() - height - 2 * margin - spacing);
    }
    stacked.height += height + 2 * margin;
    ++stacked.count;
  }
}

// Places the children aligned to `side` (alLeft or alRight) down the height
// of `area`, the nearest to that side first, each keeping its width; takes
// each strip and the spacing after it off `area`.
void place_vertical_strips(const std::vector<placed_child>& children, described::align_kind side,
                           int spacing, QRect& area) {
  for (const placed_child& child : with_align(children, side)) {
    const int margin = child.control->read_margin();
    const int width = child.widget->width();
    const int left =
        side == described::alLeft ? area.left() + margin : area.right() + 1 - margin - width;
    set_geometry(child.widget, left, area.top() + margin, width, area.height() - 2 * margin);
    if (side == described::alLeft) {
      area.setLeft(area.left() + width + 2 * margin + spacing);
    } else {
      area.setRight(area.right() - width - 2 * margin - spacing);
    }
  }
}

// Gives every client-aligned child all of `area`, less its margin.
void place_client(const std::vector<placed_child>& children, const QRect& area) {
  for (const placed_child& child : with_align(children, described::alClient)) {
    const int margin = child.control->read_margin();
    set_geometry(child.widget, area.left() + margin, area.top() + margin, area.width() - 2 * margin,
                 area.height() - 2 * margin);
  }
}

// With `flows`, lines the unaligned children up from the left of `area`,
// centred in its height (a tool bar); otherwise leaves them where they are.
// Returns the lowest bottom edge among them, measured from `content_top`
// (0 without any).
int place_unaligned(const std::vector<placed_child>& children, bool flows, int spacing,
                    const QRect& area, int content_top) {
  int unaligned_bottom = 0;
  int flow_left = area.left();
  for (const placed_child& child : with_align(children, described::alNone)) {
    if (flows) {
      const int margin = child.control->read_margin();
      const QSize size = child.widget->size();
      set_geometry(child.widget, flow_left + margin,
                   area.top() + (area.height() - size.height()) / 2, size.width(), size.height());
      flow_left += size.width() + 2 * margin + spacing;
    }
    unaligned_bottom =
        std::max(unaligned_bottom, child.widget->geometry().bottom() + 1 - content_top);
  }
  return unaligned_bottom;
}

}  // namespace

void arrange_parent(QWidget* widget) {
  if (widget->isWindow()) return;
  if (auto* parent = dynamic_cast<described_container*>(widget->parentWidget())) {
    parent->arrange();
  }
}

void described_container::arrange() {
  if (arranging_) {
    again_ = true;
    return;
  }
  arranging_ = true;
  QWidget* widget = container_widget();
  // A size change below can ask for another round; a few rounds settle it.
  for (int round = 0; round < 4; ++round) {
    again_ = false;
    const int padding = read_padding();
    const int spacing = read_spacing();
    const QRect client = client_area();
    QRect area = client.adjusted(padding, padding, -padding, -padding);
    const std::vector<placed_child> children = layout_children(widget);

    stacked_strips stacked;  // what the top and bottom strips need, for AutoSize
    place_horizontal_strips(children, described::alTop, spacing, area, stacked);
    place_horizontal_strips(children, described::alBottom, spacing, area, stacked);
    place_vertical_strips(children, described::alLeft, spacing, area);
    place_vertical_strips(children, described::alRight, spacing, area);
    place_client(children, area);
    const int unaligned_bottom =
        place_unaligned(children, flows_unaligned(), spacing, area, client.top() + padding);

    if (auto_height() && !widget->isWindow()) {
      const int content =
          std::max(stacked.height + spacing * std::max(stacked.count - 1, 0), unaligned_bottom);
      const int frame = widget->height() - client.height();
      const int wanted = frame + 2 * padding + content;
      if (wanted != widget->height()) {
        widget->resize(widget->width(), wanted);
        arrange_parent(widget);
        again_ = true;
      }
    }
    if (!again_) break;
  }
  arranging_ = false;
}

}  // namespace dirscribe
