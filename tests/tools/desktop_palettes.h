// Palettes as desktops hand them to Qt: a dark theme and a high-contrast
// theme. The wizard sets no palette of its own, so the tools and tests put
// these on the application to see the window as such a desktop shows it.
#pragma once

#include <QColor>
#include <QPalette>

namespace dirscribe {

inline QPalette dark_desktop_palette() {
  QPalette p;
  const QColor window(0x2b, 0x2b, 0x2b), base(0x1e, 0x1e, 0x1e), text(0xe8, 0xe8, 0xe8);
  const QColor button(0x3a, 0x3a, 0x3a), highlight(0x3d, 0x7a, 0xd6);
  p.setColor(QPalette::Window, window);
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::AlternateBase, window);
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::PlaceholderText, QColor(0xa0, 0xa0, 0xa0));
  p.setColor(QPalette::Button, button);
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::BrightText, Qt::white);
  p.setColor(QPalette::Highlight, highlight);
  p.setColor(QPalette::HighlightedText, Qt::white);
  p.setColor(QPalette::Link, QColor(0x8a, 0xb4, 0xf8));
  p.setColor(QPalette::ToolTipBase, base);
  p.setColor(QPalette::ToolTipText, text);
  p.setColor(QPalette::Light, QColor(0x50, 0x50, 0x50));
  p.setColor(QPalette::Midlight, QColor(0x44, 0x44, 0x44));
  p.setColor(QPalette::Mid, QColor(0x30, 0x30, 0x30));
  p.setColor(QPalette::Dark, QColor(0x18, 0x18, 0x18));
  p.setColor(QPalette::Shadow, Qt::black);
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    p.setColor(QPalette::Disabled, role, QColor(0x8c, 0x8c, 0x8c));
  }
  return p;
}

inline QPalette high_contrast_desktop_palette() {
  QPalette p;
  const QColor yellow(0xff, 0xff, 0x00), cyan(0x00, 0xff, 0xff);
  for (QPalette::ColorRole role :
       {QPalette::Window, QPalette::Base, QPalette::AlternateBase, QPalette::Button,
        QPalette::ToolTipBase, QPalette::Mid, QPalette::Dark, QPalette::Shadow}) {
    p.setColor(role, Qt::black);
  }
  for (QPalette::ColorRole role :
       {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::ToolTipText,
        QPalette::BrightText, QPalette::Light, QPalette::Midlight, QPalette::PlaceholderText}) {
    p.setColor(role, Qt::white);
  }
  p.setColor(QPalette::Highlight, cyan);
  p.setColor(QPalette::HighlightedText, Qt::black);
  p.setColor(QPalette::Link, yellow);
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    p.setColor(QPalette::Disabled, role, QColor(0xa6, 0xa6, 0xa6));
  }
  return p;
}

}  // namespace dirscribe
