// The enumerations the interface description names by identifier ("alClient",
// "bvLowered", ...). They are published to Qt's meta-object system so that
// setting a property by name can turn an identifier into its value, with case.
#pragma once

#include <QObject>

namespace described {
Q_NAMESPACE

// Where a control sits in its container (align_layout.h).
enum align_kind { alNone, alTop, alBottom, alLeft, alRight, alClient };
Q_ENUM_NS(align_kind)

// The bevels of a panel.
enum bevel_kind { bvNone, bvLowered, bvRaised, bvSpace };
Q_ENUM_NS(bevel_kind)

// Which scroll bars a text box shows.
enum scroll_style { ssNone, ssHorizontal, ssVertical, ssBoth };
Q_ENUM_NS(scroll_style)

// A combo box with free text, or a list to choose from only.
enum combo_style { csDropDown, csSimple, csDropDownList };
Q_ENUM_NS(combo_style)

// What a date-time picker edits.
enum picker_kind { dtkDate, dtkTime };
Q_ENUM_NS(picker_kind)

// Horizontal placement of a caption.
enum text_alignment { taLeftJustify, taRightJustify, taCenter };
Q_ENUM_NS(text_alignment)

// Vertical placement of a label's caption.
enum text_layout { tlTop, tlCenter, tlBottom };
Q_ENUM_NS(text_layout)

// How a form is placed when it first shows.
enum form_position { poDesigned, poScreenCenter };
Q_ENUM_NS(form_position)

// The direction of a scroll bar.
enum scroll_bar_kind { sbHorizontal, sbVertical };
Q_ENUM_NS(scroll_bar_kind)

// What a bevel draws.
enum bevel_shape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
Q_ENUM_NS(bevel_shape)

// What a shape draws.
enum shape_kind { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };
Q_ENUM_NS(shape_kind)

// A font's style, several joined with "|".
enum font_style_flag { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
Q_DECLARE_FLAGS(font_style, font_style_flag)
Q_FLAG_NS(font_style)

}  // namespace described

Q_DECLARE_OPERATORS_FOR_FLAGS(described::font_style)
