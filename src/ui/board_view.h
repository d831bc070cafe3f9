#pragma once

#include <QTransform>
#include <QWidget>

#include <utility>
#include <vector>

#include "game/controller.h"

namespace tesmor {

// The central widget. It paints the board and panel from the controller's display state in
// client coordinates and turns mouse buttons into the controller's clicks. At its designed size
// its pixels are the client coordinates; larger or smaller, the client area is scaled to fit,
// keeping its proportions, centred across and held at the top, and so are the toolbar buttons
// placed on it.
class BoardView final : public QWidget {
  Q_OBJECT

 public:
  BoardView(Controller& controller, QWidget* parent);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

  // Keeps a child (a toolbar button) on a rectangle of the client area as the view is resized.
  void PlaceChild(QWidget* child, const QRect& clientRect);
  // Repaints a rectangle given in client coordinates.
  void UpdateClientRect(const QRect& clientRect);
  // The client coordinates of a point of the widget.
  QPoint ToClient(QPointF widgetPoint) const;
  // The client scale: widget pixels per client pixel.
  double scale() const { return scale_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  bool Designed() const { return scale_ == 1.0 && left_ == 0.0; }
  QTransform ClientToWidget() const;
  void LayOutChildren();
  void PaintMargins(QPainter& painter);

  Controller& controller_;
  double scale_ = 1.0;
  double left_ = 0.0;  // widget x of the client area's left edge
  std::vector<std::pair<QWidget*, QRect>> children_;
};

}  // namespace tesmor
