#include "ui/form_builder.h"

#include <string>

#include "ui/class_table.h"
#include "ui/container_adapters.h"
#include "ui/keyboard_order.h"
#include "ui/other_adapters.h"
#include "ui/property_setter.h"

namespace dirscribe {

form_application::~form_application() {
  // Later components may refer to earlier ones (a dialog to the main form).
  while (!components_.empty()) components_.pop_back();
}

QObject* form_application::adopt(std::unique_ptr<QObject> component) {
  QObject* raw = component.get();
  if (main_form_ == nullptr && qobject_cast<form_adapter*>(raw) != nullptr) {
    main_form_ = static_cast<QWidget*>(raw);
  }
  components_.push_back(std::move(component));
  return raw;
}

namespace {

bool is_element(const xml_node& node) {
  return node.type == xml_start_tag || node.type == xml_empty_element;
}

// Hands `component` to `owner`, which from then on owns it through Qt's
// parent chain. A form becomes a window of its own; any other control is
// placed inside the owner. False when it cannot be placed (a control inside a
// component that is not visual); `component` then still owns it.
bool place(std::unique_ptr<QObject>& component, QObject* owner, bool is_form) {
  auto* widget = qobject_cast<QWidget*>(component.get());
  auto* owner_widget = qobject_cast<QWidget*>(owner);
  if (widget == nullptr) {
    if (auto* menu = qobject_cast<main_menu_adapter*>(component.get())) {
      if (auto* form = qobject_cast<form_adapter*>(owner))
        form->attach_menu_bar(menu->release_to_form());
    }
    component.release()->setParent(owner);
    return true;
  }
  if (owner_widget == nullptr) return false;
  if (is_form) {
    widget->setParent(owner_widget, Qt::Window);
    component.release();
    return true;
  }
  if (auto* pages = qobject_cast<page_control_adapter*>(owner)) {
    if (auto* sheet = qobject_cast<tab_sheet_adapter*>(widget)) {
      component.release();
      pages->add_sheet(sheet);
      return true;
    }
  }
  if (auto* scroll_box = qobject_cast<scroll_box_adapter*>(owner))
    owner_widget = scroll_box->content();
  widget->setParent(owner_widget);
  widget->show();
  component.release();
  return true;
}

// Makes the component of one element and sets its properties.
outcome build_element(xml_node& node, int depth, form_application& application,
                      std::string_view picture_folder) {
  const tagged_value* class_value = node.attribute("class");
  if (class_value == nullptr) return {result_element_without_class, "eNoClassAttr: " + node.name};
  const std::string class_name = class_value->to_text();
  const component_class* entry = find_class(class_name);
  if (entry == nullptr) return {result_unknown_class, "eCantFindClassID: " + class_name};

  const std::string not_created = "eMemError: " + node.name + ", " + class_name;
  if (depth > kDeepestElement) return {result_component_not_created, not_created};
  std::unique_ptr<QObject> component = entry->create();
  if (!component) return {result_component_not_created, not_created};
  QObject* made = component.get();
  const bool is_form = qobject_cast<form_adapter*>(made) != nullptr;
  xml_node* parent = node.parent();
  if (parent == nullptr) {
    application.adopt(std::move(component));
  } else if (!place(component, static_cast<QObject*>(parent->object), is_form)) {
    return {result_component_not_created, not_created};
  }
  node.object = made;

  // A name the component refuses is no reason to stop.
  (void)set_property(made, "Name", node.name);
  // Attributes in the order written; with the attribute map only (a document
  // read without the list) in the map's order.
  if (!node.attribute_list.empty()) {
    for (size_t i = 0; i + 1 < node.attribute_list.size(); i += 2) {
      const std::string& name = node.attribute_list[i];
      if (name == "class") continue;
      if (!set_property(made, name, node.attribute_list[i + 1], picture_folder)) {
        return {result_property_not_set, "eCantSetProp: " + node.name + ", " + name};
      }
    }
  } else {
    for (const auto& [name, value] : node.attributes.entries()) {
      if (name == "class") continue;
      if (!set_property(made, name, value.to_text(), picture_folder)) {
        return {result_property_not_set, "eCantSetProp: " + node.name + ", " + name};
      }
    }
  }
  return {};
}

// Lets every control resolve names of other controls, once all exist.
void finish(xml_tree& document, form_application& application) {
  for (xml_node* node = document.first(); node != nullptr; node = node->next_in_document_order()) {
    if (!is_element(*node) || node->object == nullptr) continue;
    if (auto* control = dynamic_cast<described_control*>(static_cast<QObject*>(node->object))) {
      control->finish_build();
    }
  }
  for (xml_node* node = document.first(); node != nullptr; node = node->next()) {
    if (!is_element(*node) || node->object == nullptr) continue;
    if (auto* form = qobject_cast<QWidget*>(static_cast<QObject*>(node->object))) {
      apply_keyboard_order(form);
    }
  }
  (void)application;
}

}  // namespace

outcome build_forms(xml_tree& document, form_application& application,
                    std::string_view picture_folder) {
  register_classes();
  xml_node* node = document.first();
  int depth = 0;
  while (node != nullptr) {
    const bool element = is_element(*node);
    if (element) {
      if (outcome built = build_element(*node, depth, application, picture_folder); !built.ok())
        return built;
    }
    // Pre-order without recursion, counting the depth; only elements have
    // children worth entering.
    if (element && node->first_child() != nullptr) {
      node = node->first_child();
      ++depth;
      continue;
    }
    while (node != nullptr && node->next() == nullptr) {
      node = node->parent();
      --depth;
    }
    if (node != nullptr) node = node->next();
  }
  finish(document, application);
  return {};
}

QObject* find_component(const xml_tree& document, std::string_view path, const xml_node* start) {
  const xml_node* node = xml_find(document, path, start);
  if (node == nullptr) return nullptr;
  return static_cast<QObject*>(node->object);
}

}  // namespace dirscribe
