#include "ui/board_view.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/painting.h"

namespace tesmor {

BoardView::BoardView(Controller& controller, QWidget* parent)
    : QWidget(parent), controller_(controller) {
  setFixedSize(ClientWidth, ClientHeight);
  // Every paint fills its area itself, background first, so no erase is needed.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void BoardView::paintEvent(QPaintEvent*) {
  BoardScene scene;
  scene.cells = &controller_.displayCells();
  scene.moveCount = controller_.displayMoveCount();
  scene.history = &controller_.game().history.get();
  scene.showNumbers = controller_.showNumbers();
  scene.secondOffer = controller_.secondOffer();
  scene.panel = controller_.panel().Snapshot();
  QPainter painter(this);
  PaintWindow(painter, scene);
}

void BoardView::mousePressEvent(QMouseEvent* event) {
  const QPoint position = event->position().toPoint();
  if (event->button() == Qt::LeftButton)
    controller_.LeftClick(position.x(), position.y());
  else if (event->button() == Qt::RightButton)
    controller_.RightClick();
}

}  // namespace tesmor
