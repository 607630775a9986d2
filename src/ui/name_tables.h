// The names the interface description may give instead of a number for the
// integer properties Color, Cursor and ModalResult, and what the values mean
// to Qt.
#pragma once

#include <QColor>
#include <QPalette>
#include <optional>
#include <string_view>

namespace dirscribe {

// A colour value: 0x80000000 + n for system colour n, otherwise 0x00BBGGRR.
inline constexpr int kColorDefault = 0x20000000;  // clDefault
inline constexpr int kColorNone = 0x1FFFFFFF;     // clNone

// Looks `name` up in the table of property `property` ("Color", "Cursor" or
// "ModalResult", exactly). Names match ignoring case, first match wins. An
// unknown name gives -1; nullopt when the property has no table.
std::optional<int> named_integer(std::string_view property, std::string_view name);

// The palette role a system colour stands for, so that it follows the
// desktop's palette (a dark desktop gives dark system colours); nullopt for a
// value that is not a system colour.
std::optional<QPalette::ColorRole> system_color_role(int value);

// The colour of a 0x00BBGGRR value; invalid for clNone, clDefault and system
// colours.
QColor rgb_color(int value);

// The Qt cursor shape of a cursor value; Qt::ArrowCursor for crDefault and
// for values without a shape of their own.
Qt::CursorShape cursor_shape(int value);

}  // namespace dirscribe
