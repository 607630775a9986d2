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

    int stacked_height = 0;  // what the top and bottom strips need, for AutoSize
    int stacked_count = 0;
    for (const placed_child& child : with_align(children, described::alTop)) {
      const int margin = child.control->read_margin();
      const int height = child.widget->height();
      set_geometry(child.widget, area.left() + margin, area.top() + margin,
                   area.width() - 2 * margin, height);
      area.setTop(area.top() + height + 2 * margin + spacing);
      stacked_height += height + 2 * margin;
      ++stacked_count;
    }
    for (const placed_child& child : with_align(children, described::alBottom)) {
      const int margin = child.control->read_margin();
      const int height = child.widget->height();
      set_geometry(child.widget, area.left() + margin, area.bottom() + 1 - margin - height,
                   area.width() - 2 * margin, height);
      area.setBottom(area.bottom() - height - 2 * margin - spacing);
      stacked_height += height + 2 * margin;
      ++stacked_count;
    }
    for (const placed_child& child : with_align(children, described::alLeft)) {
      const int margin = child.control->read_margin();
      const int width = child.widget->width();
      set_geometry(child.widget, area.left() + margin, area.top() + margin, width,
                   area.height() - 2 * margin);
      area.setLeft(area.left() + width + 2 * margin + spacing);
    }
    for (const placed_child& child : with_align(children, described::alRight)) {
      const int margin = child.control->read_margin();
      const int width = child.widget->width();
      set_geometry(child.widget, area.right() + 1 - margin - width, area.top() + margin, width,
                   area.height() - 2 * margin);
      area.setRight(area.right() - width - 2 * margin - spacing);
    }
    for (const placed_child& child : with_align(children, described::alClient)) {
      const int margin = child.control->read_margin();
      set_geometry(child.widget, area.left() + margin, area.top() + margin,
                   area.width() - 2 * margin, area.height() - 2 * margin);
    }

    int unaligned_bottom = 0;  // lowest edge of the unaligned children, from the content's top
    int flow_left = area.left();
    for (const placed_child& child : with_align(children, described::alNone)) {
      if (flows_unaligned()) {
        // A tool bar lines its buttons up from the left, centred in height.
        const int margin = child.control->read_margin();
        const QSize size = child.widget->size();
        set_geometry(child.widget, flow_left + margin,
                     area.top() + (area.height() - size.height()) / 2, size.width(), size.height());
        flow_left += size.width() + 2 * margin + spacing;
      }
      unaligned_bottom = std::max(unaligned_bottom,
                                  child.widget->geometry().bottom() + 1 - (client.top() + padding));
    }

    if (auto_height() && !widget->isWindow()) {
      const int content =
          std::max(stacked_height + spacing * std::max(stacked_count - 1, 0), unaligned_bottom);
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
