// What assistive technology and keyboard users get from the window: spoken
// names for controls, mnemonics, and the order in which a page reads.
#pragma once

#include <QChar>
#include <QString>
#include <vector>

class QWidget;

namespace dirscribe {

// A caption as it is spoken: mnemonic marks removed ("&&" stays "&"), and a
// trailing colon or ellipsis dropped ("&Include files:" reads "Include files").
QString spoken_caption(const QString& caption);

// The mnemonic of a caption, lower-cased: the character after a single "&";
// a null character when the caption has none.
QChar mnemonic_of(const QString& caption);

// Names every control under `root` that takes keyboard focus and has no name
// of its own: after the label whose buddy it is, or failing that after the
// titled group box it sits in. A name given this way is renewed on the next
// call, so calling again after captions change keeps the names in step; a
// name set by the program (setAccessibleName) is never touched.
void name_controls_from_labels(QWidget* root);

// Sets a name the program chose; name_controls_from_labels leaves it alone.
void set_spoken_name(QWidget* control, const QString& name);

// The visible, enabled controls under `root` that Tab reaches, in reading
// order: each container's children row by row, top to bottom, and left to
// right within a row, a container read whole before the next sibling. A
// control that takes focus is read as one (a combo box's inner editor is not
// listed apart); a set of exclusive radio buttons is listed once, as Tab
// stops in it once.
std::vector<QWidget*> reading_order(QWidget* root);

}  // namespace dirscribe
