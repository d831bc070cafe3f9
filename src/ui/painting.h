#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>

#include <array>
#include <string>

#include "board/board.h"
#include "game/panel.h"
#include "ui/geometry.h"

class QPainter;

namespace tesmor {

// The size of the central widget, whose pixels are the client coordinates that the painting and
// the click mapping use. A 770 x 650 window with a 3-pixel fixed frame, a 19-pixel caption and a
// 20-pixel menu bar leaves this much; everything the window paints lies inside it.
constexpr int ClientWidth = 764;
constexpr int ClientHeight = 605;

const QColor BoardColour(249, 214, 91);
const QColor ToolbarColour(223, 233, 245);
const QColor PanelColour(240, 240, 240);
const QColor NewestNumberColour(255, 0, 0);
const QColor NumberOutlineColour(255, 255, 255);
// Orange rather than red: a red mark would read as a move number.
const QColor NewestMarkColour(255, 120, 0);

// Everything one paint reads, gathered on the window's thread.
struct BoardScene {
  const std::array<int32_t, CellCount>* cells = nullptr;
  int moveCount = 0;
  const std::array<MoveRecord, CellCount>* history = nullptr;
  bool showNumbers = true;
  MoveRecord secondOffer{-1, -1};
  std::array<std::string, PanelLineCount> panel;
  // Device pixels per client pixel. At 1 the classic pixels are painted; at any other scale the
  // edges are smooth and the stones are shaded at the device's resolution.
  double deviceScale = 1.0;
};

// The whole client area in client coordinates, in the order that lets later parts draw over
// earlier ones; the painter's transform maps it onto the widget.
void PaintWindow(QPainter& painter, const BoardScene& scene);

// The shaded disc of one stone, 29 x 29 pixels centred on pixel (14, 14), transparent outside the
// disc. Built once per colour.
const QImage& StoneImage(int colour);

// The rectangles that one change invalidates.
QRect CellRect(int row, int col);
QRect PanelLineRect(int index);

// Bold fonts whose character cell (ascent plus descent) is 20 pixels: a serif for the labels and
// numbers, a Kai-style face for the panel. The named families come first; the fallbacks are what
// the set-up script installs.
QFont LabelFont();
QFont PanelFont();

}  // namespace tesmor
