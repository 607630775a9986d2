#include "ui/sub_objects.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>

namespace dirscribe {

font_object::font_object(QWidget* widget) : widget_(widget) {}

QString font_object::read_name() const { return widget_->font().family(); }

void font_object::write_name(const QString& family) {
  QFont font = widget_->font();
  font.setFamily(family);
  widget_->setFont(font);
}

int font_object::read_size() const { return widget_->font().pointSize(); }

void font_object::write_size(int points) {
  if (points < 1) return;
  QFont font = widget_->font();
  font.setPointSize(points);
  widget_->setFont(font);
}

described::font_style font_object::read_style() const {
  const QFont font = widget_->font();
  described::font_style style;
  if (font.bold()) style |= described::fsBold;
  if (font.italic()) style |= described::fsItalic;
  if (font.underline()) style |= described::fsUnderline;
  if (font.strikeOut()) style |= described::fsStrikeOut;
  return style;
}

void font_object::write_style(described::font_style style) {
  QFont font = widget_->font();
  font.setBold(style.testFlag(described::fsBold));
  font.setItalic(style.testFlag(described::fsItalic));
  font.setUnderline(style.testFlag(described::fsUnderline));
  font.setStrikeOut(style.testFlag(described::fsStrikeOut));
  widget_->setFont(font);
}

picture_object::picture_object() = default;
picture_object::~picture_object() = default;

bool picture_object::load_file(const QString& path) {
  if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive) ||
      path.endsWith(QStringLiteral(".svgz"), Qt::CaseInsensitive)) {
    auto renderer = std::make_unique<QSvgRenderer>(path);
    if (!renderer->isValid()) return false;
    vector_ = std::move(renderer);
    image_ = QImage();
    forget_drawn();
    emit changed();
    return true;
  }
  QImageReader reader(path);
  QImage image = reader.read();
  if (image.isNull()) return false;
  image_ = std::move(image);
  vector_.reset();
  forget_drawn();
  emit changed();
  return true;
}

bool picture_object::load_bmp(const QByteArray& bytes) {
  QImage image;
  if (!image.loadFromData(bytes, "BMP")) return false;
  image_ = std::move(image);
  vector_.reset();
  forget_drawn();
  emit changed();
  return true;
}

void picture_object::clear() {
  if (empty()) return;
  image_ = QImage();
  vector_.reset();
  forget_drawn();
  emit changed();
}

bool picture_object::empty() const { return image_.isNull() && !vector_; }

QSize picture_object::natural_size() const {
  if (vector_) return vector_->defaultSize();
  return image_.size();
}

QPixmap picture_object::pixmap(QSize size, qreal device_ratio) const {
  if (empty() || size.isEmpty()) return {};
  const QSize device_size = (QSizeF(size) * device_ratio).toSize();
  if (!drawn_.isNull() && drawn_.size() == device_size &&
      drawn_.devicePixelRatio() == device_ratio) {
    return drawn_;
  }
  QPixmap pixmap;
  if (vector_) {
    QImage canvas(device_size, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    vector_->render(&painter);
    painter.end();
    pixmap = QPixmap::fromImage(canvas);
  } else {
    pixmap = QPixmap::fromImage(
        image_.scaled(device_size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
  }
  pixmap.setDevicePixelRatio(device_ratio);
  drawn_ = pixmap;
  return pixmap;
}

QIcon picture_object::icon(QSize size) const {
  QIcon icon;
  if (empty()) return icon;
  icon.addPixmap(pixmap(size, 1.0));
  icon.addPixmap(pixmap(size, 2.0));
  return icon;
}

void string_list_object::append(const QString& text) {
  strings_.append(text);
  emit changed();
}

void string_list_object::assign(const QStringList& strings) {
  strings_ = strings;
  emit changed();
}

}  // namespace dirscribe
