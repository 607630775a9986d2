// Shared by the tests of the wizard's widgets.
#pragma once

#include <gtest/gtest.h>

#include <QWidget>
#include <string>
#include <vector>

#include "markup/document_reader.h"
#include "markup/xml_node.h"
#include "ui/control.h"

namespace dirscribe {

// A description read the way the resource document is read: names with case,
// attributes in their order.
inline xml_tree parse_description(const std::string& text) {
  xml_tree tree;
  document_options options;
  options.lower_case_names = false;
  options.normalise_line_ends = true;
  options.attributes_as_map = false;
  const outcome read = parse_text(text, tree, options);
  EXPECT_TRUE(read.ok()) << read.message();
  return tree;
}

// Every pair of visible sibling controls that overlap, and every visible
// control that reaches outside its parent, under `widget`.
inline void collect_layout_faults(QWidget* widget, std::vector<std::string>& faults) {
  std::vector<QWidget*> shown;
  for (QObject* object : widget->children()) {
    auto* child = qobject_cast<QWidget*>(object);
    if (child == nullptr || child->isWindow() || child->isHidden() ||
        dynamic_cast<described_control*>(child) == nullptr) {
      continue;
    }
    shown.push_back(child);
    const std::string name = child->objectName().toStdString();
    if (!widget->rect().contains(child->geometry())) faults.push_back(name + " sticks out");
    if (child->width() <= 0 || child->height() <= 0) faults.push_back(name + " has no room");
    collect_layout_faults(child, faults);
  }
  for (size_t i = 0; i < shown.size(); ++i) {
    for (size_t j = i + 1; j < shown.size(); ++j) {
      if (shown[i]->geometry().intersects(shown[j]->geometry())) {
        faults.push_back(shown[i]->objectName().toStdString() + " overlaps " +
                         shown[j]->objectName().toStdString());
      }
    }
  }
}

}  // namespace dirscribe
