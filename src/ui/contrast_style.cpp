#include "ui/contrast_style.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOption>
#include <algorithm>
#include <cmath>

namespace dirscribe {

namespace {

double channel(double value) {
  value /= 255.0;
  return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& colour) {
  return 0.2126 * channel(colour.red()) + 0.7152 * channel(colour.green()) +
         0.0722 * channel(colour.blue());
}

QColor blend(const QColor& from, const QColor& to, double share) {
  const auto mix = [share](int a, int b) {
    return static_cast<int>(std::lround(a + (b - a) * share));
  };
  return QColor(mix(from.red(), to.red()), mix(from.green(), to.green()),
                mix(from.blue(), to.blue()));
}

void draw_edge(const QStyleOption* option, QPainter* painter, bool round) {
  if (!edges_need_drawing(option->palette)) return;
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing, round);
  painter->setBrush(Qt::NoBrush);
  painter->setPen(QPen(edge_colour(option->palette), 1));
  const QRectF edge = QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5);
  if (round) {
    painter->drawEllipse(edge);
  } else {
    painter->drawRect(edge);
  }
  painter->restore();
}

}  // namespace

double contrast_ratio(const QColor& a, const QColor& b) {
  const double la = luminance(a);
  const double lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool edges_need_drawing(const QPalette& palette) {
  const QColor window = palette.color(QPalette::Window);
  return contrast_ratio(window, window.darker(140)) < 1.5;
}

QColor edge_colour(const QPalette& palette) {
  const QColor window = palette.color(QPalette::Window);
  const QColor text = palette.color(QPalette::WindowText);
  // Half way is enough for any readable text colour; step on towards the
  // text where the text itself is faint.
  for (double share = 0.55; share < 1.0; share += 0.15) {
    const QColor edge = blend(window, text, share);
    if (contrast_ratio(edge, window) >= 3.0) return edge;
  }
  return text;
}

void contrast_style::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                   QPainter* painter, const QWidget* widget) const {
  QProxyStyle::drawPrimitive(element, option, painter, widget);
  switch (element) {
    case PE_FrameLineEdit:
    case PE_IndicatorCheckBox:
      draw_edge(option, painter, false);
      break;
    case PE_IndicatorRadioButton:
      draw_edge(option, painter, true);
      break;
    default:
      break;
  }
}

void contrast_style::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                        QPainter* painter, const QWidget* widget) const {
  QProxyStyle::drawComplexControl(control, option, painter, widget);
  // Spin boxes and date pickers draw their frame as part of the whole.
  if (const auto* spin = qstyleoption_cast<const QStyleOptionSpinBox*>(option);
      control == CC_SpinBox && spin != nullptr && spin->frame) {
    draw_edge(option, painter, false);
  }
}

void use_contrast_style() { QApplication::setStyle(new contrast_style); }

}  // namespace dirscribe
