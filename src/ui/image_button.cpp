#include "ui/image_button.h"

#include <QPainter>

#include "ui/images.h"

namespace tesmor {

ImageButton::ImageButton(QWidget* parent) : QAbstractButton(parent) {
  setFocusPolicy(Qt::NoFocus);
  setFixedSize(24, 24);
}

void ImageButton::SetImage(int id) {
  imageId_ = id;
  image_ = ToolbarImage(id);
  update();
}

void ImageButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!isDown()) {
    painter.drawImage(0, 0, image_);
    return;
  }
  painter.drawImage(1, 1, image_);
  painter.setPen(QColor(64, 64, 64));
  painter.drawRect(0, 0, width() - 1, height() - 1);
}

}  // namespace tesmor
