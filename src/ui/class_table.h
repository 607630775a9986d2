// The 40 component classes the interface description may name, in their
// fixed search order, each with the adapter that makes it.
#pragma once

#include <QObject>
#include <memory>
#include <span>
#include <string_view>

namespace dirscribe {

struct component_class {
  std::string_view name;                 // as the description writes it, e.g. "TButton"
  std::unique_ptr<QObject> (*create)();  // a new adapter without parent or owner
};

// Fills the class table. Safe to call more than once; only the first call
// does anything.
void register_classes();

// The whole table in search order (empty before register_classes).
std::span<const component_class> class_table();

// The first class whose name equals `name` ignoring ASCII case, or nullptr
// when none does (or the table was never registered).
const component_class* find_class(std::string_view name);

}  // namespace dirscribe
