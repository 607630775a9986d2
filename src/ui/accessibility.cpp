#include "ui/accessibility.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QTabBar>
#include <QWidget>
#include <algorithm>
#include <cstdlib>

namespace dirscribe {

namespace {

// Marks a name this file gave, so that the next pass may renew it.
constexpr char kGivenName[] = "dirscribe_given_name";

bool takes_tab_focus(const QWidget* widget) {
  return (widget->focusPolicy() & Qt::TabFocus) != 0 && widget->focusProxy() == nullptr;
}

// Controls that carry no caption of their own, so that something else must
// name them: edits, lists, pickers, and the progress bar.
bool needs_a_name(const QWidget* widget) {
  if (qobject_cast<const QAbstractButton*>(widget) != nullptr ||
      qobject_cast<const QLabel*>(widget) != nullptr ||
      qobject_cast<const QGroupBox*>(widget) != nullptr ||
      qobject_cast<const QTabBar*>(widget) != nullptr) {
    return false;
  }
  if (qobject_cast<const QProgressBar*>(widget) != nullptr) return true;
  return takes_tab_focus(widget) && !widget->isWindow();
}

bool name_is_free(const QWidget* widget) {
  return widget->accessibleName().isEmpty() || widget->property(kGivenName).toBool();
}

void give_name(QWidget* widget, const QString& name) {
  widget->setAccessibleName(name);
  widget->setProperty(kGivenName, true);
  // Typing goes to an editable combo box's editor, so that is what a
  // screen reader announces on focus: it carries the combo box's name.
  if (auto* combo = qobject_cast<QComboBox*>(widget); combo != nullptr && combo->lineEdit()) {
    give_name(combo->lineEdit(), name);
  }
}

const QGroupBox* titled_group_of(const QWidget* widget) {
  for (const QWidget* parent = widget->parentWidget(); parent != nullptr;
       parent = parent->parentWidget()) {
    if (const auto* group = qobject_cast<const QGroupBox*>(parent);
        group != nullptr && !group->title().isEmpty()) {
      return group;
    }
    if (parent->isWindow()) break;
  }
  return nullptr;
}

// Two controls share a row when their vertical middles lie within half the
// smaller height of each other: labels, edits and buttons of one row differ
// in height by a few pixels, rows by a whole control.
bool same_row(const QRect& a, const QRect& b) {
  const int tolerance = std::min(a.height(), b.height()) / 2;
  return std::abs(a.center().y() - b.center().y()) <= tolerance;
}

// Tab enters a set of exclusive radio buttons at one of them (the one that
// last had focus, at first the first) and leaves it with the next press; the
// arrow keys move within the set. So a set is listed once, at its first
// button that Tab may stop at.
bool listed_set_already(const QWidget* widget, const std::vector<QWidget*>& order) {
  const auto* radio = qobject_cast<const QRadioButton*>(widget);
  if (radio == nullptr || !radio->autoExclusive()) return false;
  return std::any_of(order.begin(), order.end(), [radio](const QWidget* listed) {
    const auto* other = qobject_cast<const QRadioButton*>(listed);
    return other != nullptr && other->autoExclusive() &&
           other->parentWidget() == radio->parentWidget();
  });
}

void collect_in_reading_order(QWidget* container, std::vector<QWidget*>& order) {
  std::vector<QWidget*> children;
  for (QObject* object : container->children()) {
    auto* child = qobject_cast<QWidget*>(object);
    if (child != nullptr && !child->isWindow() && child->isVisibleTo(container)) {
      children.push_back(child);
    }
  }
  std::stable_sort(children.begin(), children.end(), [](QWidget* a, QWidget* b) {
    return a->geometry().top() < b->geometry().top();
  });
  // Rows from the top, then each row from the left.
  auto row_start = children.begin();
  while (row_start != children.end()) {
    auto row_end = row_start + 1;
    while (row_end != children.end() &&
           same_row((*row_start)->geometry(), (*row_end)->geometry())) {
      ++row_end;
    }
    std::stable_sort(row_start, row_end, [](QWidget* a, QWidget* b) {
      return a->geometry().left() < b->geometry().left();
    });
    row_start = row_end;
  }
  for (QWidget* child : children) {
    if (takes_tab_focus(child)) {
      if (child->isEnabled() && !listed_set_already(child, order)) order.push_back(child);
    } else {
      collect_in_reading_order(child, order);
    }
  }
}

}  // namespace

QString spoken_caption(const QString& caption) {
  QString spoken;
  spoken.reserve(caption.size());
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] != u'&') {
      spoken += caption[i];
    } else if (i + 1 < caption.size() && caption[i + 1] == u'&') {
      spoken += u'&';  // "&&" is a literal ampersand
      ++i;
    }
  }
  spoken = spoken.trimmed();
  if (spoken.endsWith(QStringLiteral("..."))) spoken.chop(3);
  if (spoken.endsWith(u'\u2026') || spoken.endsWith(u':')) spoken.chop(1);
  return spoken.trimmed();
}

QChar mnemonic_of(const QString& caption) {
  for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != u'&') continue;
    if (caption[i + 1] == u'&') {
      ++i;
      continue;
    }
    return caption[i + 1].toLower();
  }
  return {};
}

void name_controls_from_labels(QWidget* root) {
  const QList<QWidget*> widgets = root->findChildren<QWidget*>();
  for (QWidget* widget : widgets) {
    if (widget->property(kGivenName).toBool()) give_name(widget, QString());
  }
  // A label names its buddy first: it is the caption a sighted user reads
  // beside the control.
  for (QWidget* widget : widgets) {
    const auto* label = qobject_cast<const QLabel*>(widget);
    // A hidden label (another filter mode's) names nothing.
    if (label == nullptr || label->buddy() == nullptr || label->isHidden()) continue;
    const QString name = spoken_caption(label->text());
    if (!name.isEmpty() && name_is_free(label->buddy())) give_name(label->buddy(), name);
  }
  for (QWidget* widget : widgets) {
    // Named by now: by the program, or by a label above.
    if (!needs_a_name(widget) || !widget->accessibleName().isEmpty()) {
      continue;
    }
    if (const QGroupBox* group = titled_group_of(widget)) {
      give_name(widget, spoken_caption(group->title()));
    }
  }
}

void set_spoken_name(QWidget* control, const QString& name) {
  control->setAccessibleName(name);
  control->setProperty(kGivenName, false);
}

std::vector<QWidget*> reading_order(QWidget* root) {
  std::vector<QWidget*> order;
  collect_in_reading_order(root, order);
  return order;
}

}  // namespace dirscribe
