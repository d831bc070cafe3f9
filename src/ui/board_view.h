#pragma once

#include <QWidget>

#include "game/controller.h"

namespace tesmor {

// The central widget: its pixels are the client coordinates. It paints the board and panel from
// the controller's display state and turns mouse buttons into the controller's clicks.
class BoardView final : public QWidget {
  Q_OBJECT

 public:
  BoardView(Controller& controller, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  Controller& controller_;
};

}  // namespace tesmor
