#include "ui/painting.h"

#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <QStringList>

#include <cmath>

namespace tesmor {

namespace {

constexpr double StoneRadius = 14.5;

QImage BuildStone(int colour) {
  // The grey level of every offset from the centre inside the disc, and the smallest.
  const int n = static_cast<int>(StoneRadius);
  const double r2 = StoneRadius * StoneRadius;
  std::array<std::array<int, 15>, 15> grey{};
  int darkest = 255;
  for (int i = 0; i <= n; ++i) {
    for (int j = 0; j <= n; ++j) {
      if (i * i + j * j > r2) {
        grey[i][j] = -1;
        continue;
      }
      grey[i][j] = static_cast<int>(255 * std::sqrt((2 * r2 - i * i - j * j) / (2 * r2)));
      darkest = std::min(darkest, grey[i][j]);
    }
  }
  // Black is the same table darkened by the rim's level; mirrored into a disc.
  const int shift = colour == Black ? darkest : 0;
  QImage image(2 * n + 1, 2 * n + 1, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  for (int dx = -n; dx <= n; ++dx) {
    for (int dy = -n; dy <= n; ++dy) {
      const int g = grey[std::abs(dx)][std::abs(dy)];
      if (g < 0) continue;
      image.setPixel(n + dx, n + dy, qRgb(g - shift, g - shift, g - shift));
    }
  }
  return image;
}

// GDI sizes a font by its character cell; Qt by its em. Take the largest pixel size whose cell
// still fits, so that text extents and placements come out as the layout expects.
QFont CellHeightFont(const QStringList& families, int cellHeight) {
  QFont font;
  font.setFamilies(families);
  font.setBold(true);
  font.setStyleStrategy(QFont::PreferAntialias);
  for (int size = cellHeight; size > 1; --size) {
    font.setPixelSize(size);
    if (QFontMetrics(font).height() <= cellHeight) break;
  }
  return font;
}

// Text placed by the top-left corner of its cell, as GDI's TextOut does.
void DrawTextAt(QPainter& painter, int left, int top, const QString& text) {
  painter.drawText(QPoint(left, top + painter.fontMetrics().ascent()), text);
}

// Text centred on a point: half the extent to the left and up, halves truncated.
void DrawCentred(QPainter& painter, int x, int y, const QString& text) {
  const QFontMetrics metrics = painter.fontMetrics();
  DrawTextAt(painter, x - metrics.horizontalAdvance(text) / 2, y - metrics.height() / 2, text);
}

// A line of the 3-pixel pen between two points on one row or column: centred on the line, the
// ends covered by the pen's width.
void ThickLine(QPainter& painter, QPoint a, QPoint b) {
  const QRect span = QRect(a, b).normalized();
  painter.fillRect(span.adjusted(-1, -1, 1, 1), Qt::black);
}

void DrawStone(QPainter& painter, int colour, int row, int col) {
  painter.drawImage(PointX(col) - 14, PointY(row) - 14, StoneImage(colour));
}

}  // namespace

const QImage& StoneImage(int colour) {
  static const QImage black = BuildStone(Black);
  static const QImage white = BuildStone(White);
  return colour == Black ? black : white;
}

QRect CellRect(int row, int col) {
  return QRect(PointX(col) - 17, PointY(row) - 17, 34, 34);
}

QRect PanelLineRect(int index) {
  return QRect(595, 81 + 35 * index, 120, 35);
}

QFont LabelFont() {
  static const QFont font = CellHeightFont(
      {"Times New Roman", "Liberation Serif", "Tinos", "Nimbus Roman", "DejaVu Serif"}, 20);
  return font;
}

QFont PanelFont() {
  static const QFont font =
      CellHeightFont({"楷体", "KaiTi", "AR PL UKai CN", "AR PL UKai TW", "AR PL UKai HK",
                      "AR PL KaitiM GB", "TW-Kai", "Noto Serif CJK SC"},
                     20);
  return font;
}

namespace {

// The background, the toolbar band, the frames, the grid, the star points and the labels.
void PaintBoardAndFrames(QPainter& painter) {
  painter.fillRect(QRect(0, 0, ClientWidth, ClientHeight), BoardColour);

  // Toolbar band: the rectangle (-1, -1)-(800, 30) with a black border; the buttons lie on it.
  painter.fillRect(QRect(0, 0, 799, 29), ToolbarColour);
  painter.fillRect(QRect(-1, 29, 801, 1), Qt::black);

  // Panel box (575, 61)-(740, 559), border in the default black pen.
  painter.fillRect(QRect(575, 61, 165, 498), Qt::black);
  painter.fillRect(QRect(576, 62, 163, 496), PanelColour);

  // Board frame and panel frame with the 3-pixel pen.
  const QPoint board[] = {{41, 61}, {41, 559}, {539, 559}, {539, 61}};
  const QPoint panel[] = {{575, 61}, {740, 61}, {740, 559}, {575, 559}};
  for (int i = 0; i < 4; ++i) {
    ThickLine(painter, board[i], board[(i + 1) % 4]);
    ThickLine(painter, panel[i], panel[(i + 1) % 4]);
  }

  // Grid.
  for (int k = 0; k < BoardSize; ++k) {
    painter.fillRect(QRect(45, PointY(k), 491, 1), Qt::black);
    painter.fillRect(QRect(PointX(k), 65, 1, 491), Qt::black);
  }

  // Star points D4, D12, L4, L12, H8.
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::black);
  for (const BoardPoint star : {BoardPoint{3, 3}, BoardPoint{11, 3}, BoardPoint{3, 11},
                                BoardPoint{11, 11}, BoardPoint{7, 7}})
    painter.drawEllipse(QRectF(PointX(star.col) - 4, PointY(star.row) - 4, 8, 8));
  painter.setBrush(Qt::NoBrush);

  // Coordinate labels.
  painter.setFont(LabelFont());
  painter.setPen(Qt::black);
  for (int i = 0; i < BoardSize; ++i) {
    const QString number = QString::number(i + 1);
    DrawTextAt(painter, 20 - painter.fontMetrics().horizontalAdvance(number) / 2, 545 - 35 * i,
               number);
    const QString letter(QChar('A' + i));
    DrawTextAt(painter, PointX(i) - painter.fontMetrics().horizontalAdvance(letter) / 2, 570,
               letter);
  }
}

// The stones, their numbers, the pending offering and the panel's text.
void PaintStonesAndPanel(QPainter& painter, const BoardScene& scene) {
  // Stones, in order of CellIndex.
  for (int cell = 0; cell < CellCount; ++cell) {
    const int value = (*scene.cells)[cell];
    if (value == Black || value == White)
      DrawStone(painter, value, cell / BoardSize, cell % BoardSize);
  }

  // Move numbers: red on the newest stone, white on Black's, black on White's.
  if (scene.showNumbers) {
    for (int i = 0; i < scene.moveCount; ++i) {
      const MoveRecord move = (*scene.history)[i];
      if (!OnBoard(move.row, move.col)) continue;
      painter.setPen(i == scene.moveCount - 1 ? NewestNumberColour
                     : i % 2 == 0             ? QColor(Qt::white)
                                              : QColor(Qt::black));
      DrawCentred(painter, PointX(move.col), PointY(move.row), QString::number(i + 1));
    }
  }

  // The pending second fifth-move offering.
  const MoveRecord offer = scene.secondOffer;
  if (offer.row >= 0 && offer.col >= 0 && OnBoard(offer.row, offer.col)) {
    DrawStone(painter, Black, offer.row, offer.col);
    painter.setPen(NewestNumberColour);
    DrawCentred(painter, PointX(offer.col), PointY(offer.row), QStringLiteral("5"));
  }

  // The information panel: labels from the left, values to the right edge.
  painter.setFont(PanelFont());
  painter.setPen(Qt::black);
  for (int i = 0; i < PanelLineCount; ++i) {
    const QString text = QString::fromStdString(scene.panel[static_cast<size_t>(i)]);
    const int left = i % 2 == 0 ? 595 : 715 - painter.fontMetrics().horizontalAdvance(text);
    DrawTextAt(painter, left, PanelLineTop(i), text);
  }
}

}  // namespace

void PaintWindow(QPainter& painter, const BoardScene& scene) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  PaintBoardAndFrames(painter);
  PaintStonesAndPanel(painter, scene);
  painter.restore();
}

}  // namespace tesmor
