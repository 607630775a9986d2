// The order in which Tab moves through a window's controls.
#pragma once

#include <QWidget>

namespace dirscribe {

// Chains Qt's focus order through the described controls under `root`, depth
// first: a container's children come by TabOrder (those without one after,
// in the order they were made), and each container's inside follows it.
void apply_keyboard_order(QWidget* root);

}  // namespace dirscribe
