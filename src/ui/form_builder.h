// Builds the windows that the interface description (root element
// "TvostraDSC") describes: one component per element, its properties set by
// name, and finds them again by path.
#pragma once

#include <QObject>
#include <QWidget>
#include <memory>
#include <string_view>
#include <vector>

#include "core/outcome.h"
#include "markup/xml_node.h"

namespace dirscribe {

// Stands for the application as the owner of the components of top-level
// elements. The first form it takes becomes the main form.
class form_application {
 public:
  form_application() = default;
  form_application(const form_application&) = delete;
  form_application& operator=(const form_application&) = delete;
  // Destroys the components it owns, the last taken first.
  ~form_application();

  // Takes ownership of a component made for a top-level element.
  QObject* adopt(std::unique_ptr<QObject> component);
  // The first form taken, or nullptr.
  QWidget* main_form() const { return main_form_; }

 private:
  std::vector<std::unique_ptr<QObject>> components_;
  QWidget* main_form_ = nullptr;
};

// Elements nested deeper than this are refused: real windows nest a few
// levels, and Qt walks widget trees recursively.
inline constexpr int kDeepestElement = 200;

// Walks `document` in pre-order and makes one component per element:
// the class from the "class" attribute, owned by the parent element's
// component (a top-level element's by `application`) and, unless it is a
// form, placed inside it; its Name is the tag, and every other attribute
// sets one property in document order (set_property; picture files named
// relative to `picture_folder`, the program folder for the real description). Each element's
// `object` then points at its component. After the whole walk, labels find their FocusControl and
// every form gets its keyboard order. Stops at the first failure, keeping what it made:
//   50000 "eNoClassAttr: " + element, when it has no "class";
//   50001 "eCantFindClassID: " + class;
//   50002 "eMemError: " + element + ", " + class (a control inside a
//         component that is not visual, or an element nested too deep);
//   50003 "eCantSetProp: " + element + ", " + attribute.
// REQUIRES: a QApplication exists.
outcome build_forms(xml_tree& document, form_application& application,
                    std::string_view picture_folder = {});

// The component made for the element that `path` finds (xml_find: absolute
// from "/", otherwise from `start`); nullptr when no element matches or it has
// no component. Works as well on a subtree moved into a document of its own.
QObject* find_component(const xml_tree& document, std::string_view path,
                        const xml_node* start = nullptr);

// find_component as a `T`, or nullptr when the component is not one.
template <typename T>
T* find_control(const xml_tree& document, std::string_view path, const xml_node* start = nullptr) {
  return qobject_cast<T*>(find_component(document, path, start));
}

}  // namespace dirscribe
