// Keeps the edges of fields and boxes visible under any desktop palette. The
// platform style draws them a shade darker than the window, which vanishes
// when the window is black or nearly so (dark and high-contrast themes); this
// style then draws them again in a colour taken from the text.
#pragma once

#include <QColor>
#include <QPalette>
#include <QProxyStyle>

namespace dirscribe {

// WCAG contrast ratio of two colours, 1 to 21.
double contrast_ratio(const QColor& a, const QColor& b);

// Whether the platform style's edges would be lost against the window: a
// shade darker than the window has less than 1.5:1 contrast with it.
bool edges_need_drawing(const QPalette& palette);

// The colour the edges are drawn in: between the window's text and the
// window, at least 3:1 against the window.
QColor edge_colour(const QPalette& palette);

class contrast_style : public QProxyStyle {
 public:
  // Wraps the application's default style.
  contrast_style() = default;

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                          QPainter* painter, const QWidget* widget = nullptr) const override;
};

// Puts contrast_style on the application. REQUIRES: a QApplication exists.
void use_contrast_style();

}  // namespace dirscribe
