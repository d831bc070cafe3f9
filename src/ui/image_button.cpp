#include "ui/image_button.h"

#include <QPainter>

#include "ui/images.h"

namespace tesmor {

ImageButton::ImageButton(QWidget* parent) : QAbstractButton(parent) {
  setFocusPolicy(Qt::NoFocus);
  setFixedSize(24, 24);
  setCursor(Qt::ArrowCursor);  // the board's busy cursor does not reach the buttons
}

void ImageButton::SetImage(int id) {
  imageId_ = id;
  image_ = ToolbarImage(id);
  update();
}

void ImageButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // On a scaled board the button is scaled with it: the picture fills it, the sink and the frame
  // keep their proportions.
  const double scale = width() / 24.0;
  painter.scale(scale, scale);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, scale != 1.0);
  if (!isDown()) {
    painter.drawImage(0, 0, image_);
    return;
  }
  painter.drawImage(1, 1, image_);
  painter.setPen(QColor(64, 64, 64));
  painter.drawRect(0, 0, 23, 23);
}

}  // namespace tesmor
