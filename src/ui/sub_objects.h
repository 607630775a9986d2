// The sub-objects a control publishes as object properties: its font, a
// picture, and string lists. The description reaches them with a dotted name
// ("Font.Size", "Picture.File", "Items.Strings").
#pragma once

#include <QIcon>
#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>

#include "ui/description_enums.h"

class QSvgRenderer;

namespace dirscribe {

// The font of one widget: every change is applied to the widget at once.
class font_object : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString Name READ read_name WRITE write_name)
  Q_PROPERTY(int Size READ read_size WRITE write_size)
  Q_PROPERTY(described::font_style Style READ read_style WRITE write_style)

 public:
  // `widget` is borrowed; the font object is owned by the widget's adapter.
  explicit font_object(QWidget* widget);

  QString read_name() const;
  void write_name(const QString& family);
  int read_size() const;
  void write_size(int points);  // sizes below 1 point are ignored
  described::font_style read_style() const;
  void write_style(described::font_style style);

 private:
  QWidget* widget_;
};

// A picture: a raster image, or a vector image drawn afresh at every size.
// Loading replaces what it held; `changed` tells the owning control.
class picture_object : public QObject {
  Q_OBJECT

 public:
  picture_object();
  ~picture_object() override;

  // Loads an image file (PNG, BMP, SVG, anything Qt reads). False, with the
  // picture unchanged, when the file cannot be read as an image.
  bool load_file(const QString& path);
  // Loads the bytes of a BMP image. False, unchanged, when they are not one.
  bool load_bmp(const QByteArray& bytes);
  void clear();

  bool empty() const;
  // The natural size in logical pixels.
  QSize natural_size() const;
  // The picture drawn at `size` logical pixels for a screen of `device_ratio`.
  // The last one drawn is kept, so repainting at the same size draws nothing
  // anew.
  QPixmap pixmap(QSize size, qreal device_ratio) const;
  // The picture as an icon, sharp at 1x and 2x.
  QIcon icon(QSize size) const;

 signals:
  void changed();

 private:
  void forget_drawn() { drawn_ = QPixmap(); }

  QImage image_;
  std::unique_ptr<QSvgRenderer> vector_;
  mutable QPixmap drawn_;  // the last pixmap() result
};

// A list of strings. `changed` tells the owning control to show the new list.
class string_list_object : public QObject {
  Q_OBJECT

 public:
  const QStringList& strings() const { return strings_; }
  void append(const QString& text);
  void assign(const QStringList& strings);
  void clear() { assign({}); }

 signals:
  void changed();

 private:
  QStringList strings_;
};

}  // namespace dirscribe
