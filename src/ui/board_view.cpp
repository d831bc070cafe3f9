#include "ui/board_view.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "ui/geometry.h"
#include "ui/painting.h"

namespace tesmor {

BoardView::BoardView(Controller& controller, QWidget* parent)
    : QWidget(parent), controller_(controller) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  // Every paint fills its area itself, background first, so no erase is needed.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize BoardView::sizeHint() const {
  return {ClientWidth, ClientHeight};
}

QSize BoardView::minimumSizeHint() const {
  return {ClientWidth / 2, ClientHeight / 2};
}

QTransform BoardView::ClientToWidget() const {
  return QTransform::fromTranslate(left_, 0).scale(scale_, scale_);
}

QPoint BoardView::ToClient(QPointF widgetPoint) const {
  return {static_cast<int>(std::floor((widgetPoint.x() - left_) / scale_)),
          static_cast<int>(std::floor(widgetPoint.y() / scale_))};
}

void BoardView::PlaceChild(QWidget* child, const QRect& clientRect) {
  children_.emplace_back(child, clientRect);
  LayOutChildren();
}

void BoardView::LayOutChildren() {
  for (const auto& [child, clientRect] : children_) {
    const QRect placed = ClientToWidget().mapRect(QRectF(clientRect)).toRect();
    child->setFixedSize(placed.size());
    child->move(placed.topLeft());
  }
}

void BoardView::UpdateClientRect(const QRect& clientRect) {
  if (Designed())
    update(clientRect);
  else  // smooth edges may reach a pixel beyond the scaled rectangle
    update(ClientToWidget().mapRect(QRectF(clientRect)).toAlignedRect().adjusted(-1, -1, 1, 1));
}

void BoardView::resizeEvent(QResizeEvent*) {
  scale_ = std::min(static_cast<double>(width()) / ClientWidth,
                    static_cast<double>(height()) / ClientHeight);
  left_ = (width() - ClientWidth * scale_) / 2;
  LayOutChildren();
}

// Beside a scaled client area: the board's colour, with the toolbar band running the whole width.
void BoardView::PaintMargins(QPainter& painter) {
  painter.fillRect(rect(), BoardColour);
  painter.fillRect(QRectF(0, 0, width(), 29 * scale_), ToolbarColour);
  painter.fillRect(QRectF(0, 29 * scale_, width(), scale_), Qt::black);
}

void BoardView::paintEvent(QPaintEvent*) {
  BoardScene scene;
  scene.cells = &controller_.displayCells();
  scene.moveCount = controller_.displayMoveCount();
  scene.history = &controller_.game().history.get();
  scene.showNumbers = controller_.showNumbers();
  scene.secondOffer = controller_.secondOffer();
  scene.panel = controller_.panel().Snapshot();
  scene.deviceScale = devicePixelRatioF() * scale_;
  QPainter painter(this);
  if (!Designed()) {
    PaintMargins(painter);
    painter.setTransform(ClientToWidget());
  }
  PaintWindow(painter, scene);
}

void BoardView::mousePressEvent(QMouseEvent* event) {
  const QPoint position = ToClient(event->position());
  if (event->button() == Qt::LeftButton) {
    if (const auto point = ClickToPoint(position.x(), position.y())) controller_.BoardClick(*point);
  } else if (event->button() == Qt::RightButton)
    controller_.RightClick();
}

}  // namespace tesmor
