#include "ui/keyboard_order.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "ui/control.h"

namespace dirscribe {

namespace {

int order_key(QWidget* widget, int made) {
  const auto* control = dynamic_cast<described_control*>(widget);
  const int order = control != nullptr ? control->read_tab_order() : -1;
  // Controls with a TabOrder come first, by it; then the rest as made.
  return order >= 0 ? order : INT_MAX / 2 + made;
}

void collect(QWidget* widget, std::vector<QWidget*>& chain) {
  std::vector<std::pair<int, QWidget*>> children;
  int made = 0;
  for (QObject* object : widget->children()) {
    auto* child = qobject_cast<QWidget*>(object);
    if (child == nullptr || child->isWindow()) continue;
    children.emplace_back(order_key(child, made++), child);
  }
  std::stable_sort(children.begin(), children.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [key, child] : children) {
    if (dynamic_cast<described_control*>(child) != nullptr &&
        (child->focusPolicy() & Qt::TabFocus) != 0) {
      chain.push_back(child);
    }
    collect(child, chain);
  }
}

}  // namespace

void apply_keyboard_order(QWidget* root) {
  std::vector<QWidget*> chain;
  collect(root, chain);
  for (size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
}

}  // namespace dirscribe
