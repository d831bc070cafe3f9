#include "ui/painting.h"

#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace tesmor {

namespace {

constexpr double StoneRadius = 14.5;
constexpr double StoneRadius2 = StoneRadius * StoneRadius;

// The shaded disc's grey level at a squared distance from its centre, in client pixels.
int ShadeAt(double distance2) {
  return static_cast<int>(255 * std::sqrt((2 * StoneRadius2 - distance2) / (2 * StoneRadius2)));
}

// Black is the white disc darkened by the level of its rim: the darkest pixel of the classic disc.
int BlackShift() {
  const int n = static_cast<int>(StoneRadius);
  int darkest = 255;
  for (int i = 0; i <= n; ++i)
    for (int j = 0; j <= n; ++j)
      if (i * i + j * j <= StoneRadius2) darkest = std::min(darkest, ShadeAt(i * i + j * j));
  return darkest;
}

QImage BuildStone(int colour) {
  const int n = static_cast<int>(StoneRadius);
  const int shift = colour == Black ? BlackShift() : 0;
  QImage image(2 * n + 1, 2 * n + 1, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  for (int dx = -n; dx <= n; ++dx) {
    for (int dy = -n; dy <= n; ++dy) {
      if (dx * dx + dy * dy > StoneRadius2) continue;
      const int g = ShadeAt(dx * dx + dy * dy) - shift;
      image.setPixel(n + dx, n + dy, qRgb(g, g, g));
    }
  }
  return image;
}

// The same disc sampled at every device pixel, the rim's pixels as transparent as they are
// uncovered. Its device pixel ratio is the scale, so that it covers the classic disc's 29 client
// pixels: the centre lies in the middle of the point's pixel.
QImage BuildSmoothStone(int colour, double scale) {
  const int size = static_cast<int>(std::ceil(2 * StoneRadius * scale));
  const int shift = colour == Black ? BlackShift() : 0;
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const double dx = (x + 0.5) / scale - StoneRadius;
      const double dy = (y + 0.5) / scale - StoneRadius;
      const double d2 = dx * dx + dy * dy;
      const double cover = std::clamp((StoneRadius - std::sqrt(d2)) * scale + 0.5, 0.0, 1.0);
      if (cover <= 0) continue;
      const int alpha = static_cast<int>(std::lround(255 * cover));
      const int g = std::max(0, ShadeAt(std::min(d2, StoneRadius2)) - shift) * alpha / 255;
      image.setPixel(x, y, qRgba(g, g, g, alpha));
    }
  }
  image.setDevicePixelRatio(scale);
  return image;
}

const QImage& SmoothStoneImage(int colour, double scale) {
  // Painting happens on the window's thread only; a screen has one or two scales.
  static std::map<std::pair<int, long>, QImage> cache;
  const std::pair<int, long> key{colour, std::lround(scale * 1000)};
  auto found = cache.find(key);
  if (found == cache.end()) found = cache.emplace(key, BuildSmoothStone(colour, scale)).first;
  return found->second;
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

// Text centred on a point with a one-pixel halo around its strokes, so that it stays legible on a
// stone of nearly its own darkness.
void DrawOutlinedCentred(QPainter& painter, int x, int y, const QString& text, QColor colour) {
  painter.setPen(NumberOutlineColour);
  for (const QPoint step : {QPoint(-1, -1), QPoint(0, -1), QPoint(1, -1), QPoint(-1, 0),
                            QPoint(1, 0), QPoint(-1, 1), QPoint(0, 1), QPoint(1, 1)})
    DrawCentred(painter, x + step.x(), y + step.y(), text);
  painter.setPen(colour);
  DrawCentred(painter, x, y, text);
}

// A line of the 3-pixel pen between two points on one row or column: centred on the line, the
// ends covered by the pen's width.
void ThickLine(QPainter& painter, QPoint a, QPoint b) {
  const QRect span = QRect(a, b).normalized();
  painter.fillRect(span.adjusted(-1, -1, 1, 1), Qt::black);
}

bool Classic(const BoardScene& scene) {
  return scene.deviceScale == 1.0;
}

void DrawStone(QPainter& painter, const BoardScene& scene, int colour, int row, int col) {
  const QImage& image =
      Classic(scene) ? StoneImage(colour) : SmoothStoneImage(colour, scene.deviceScale);
  painter.drawImage(PointX(col) - 14, PointY(row) - 14, image);
}

// Background, toolbar band, panel box, the frames, grid and star points.
void PaintFrame(QPainter& painter) {
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
}

void PaintCoordinateLabels(QPainter& painter) {
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

// A ring around the centre of the newest stone, for when no number says which it is. It leaves
// the stone's middle pixel alone and is drawn smooth at every scale.
void PaintNewestMark(QPainter& painter, MoveRecord newest) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(QPen(NewestMarkColour, 2));
  painter.setBrush(Qt::NoBrush);
  painter.drawEllipse(QPointF(PointX(newest.col) + 0.5, PointY(newest.row) + 0.5), 5, 5);
  painter.restore();
}

// Stones in order of CellIndex, then the move numbers or the newest stone's mark, then the
// pending second fifth-move offering.
void PaintStones(QPainter& painter, const BoardScene& scene) {
  for (int cell = 0; cell < CellCount; ++cell) {
    const int value = (*scene.cells)[cell];
    if (value == Black || value == White)
      DrawStone(painter, scene, value, cell / BoardSize, cell % BoardSize);
  }

  // Numbers: red on the newest stone (with a light halo on a Black one), white on Black's, black
  // on White's.
  for (int i = 0; i < scene.moveCount; ++i) {
    const MoveRecord move = (*scene.history)[i];
    if (!OnBoard(move.row, move.col)) continue;
    const bool newest = i == scene.moveCount - 1;
    if (!scene.showNumbers) {
      if (newest) PaintNewestMark(painter, move);
      continue;
    }
    const int x = PointX(move.col), y = PointY(move.row);
    const QString number = QString::number(i + 1);
    if (newest && i % 2 == 0) {
      DrawOutlinedCentred(painter, x, y, number, NewestNumberColour);
    } else {
      painter.setPen(newest       ? NewestNumberColour
                     : i % 2 == 0 ? QColor(Qt::white)
                                  : QColor(Qt::black));
      DrawCentred(painter, x, y, number);
    }
  }

  const MoveRecord offer = scene.secondOffer;
  if (offer.row >= 0 && offer.col >= 0 && OnBoard(offer.row, offer.col)) {
    DrawStone(painter, scene, Black, offer.row, offer.col);
    DrawOutlinedCentred(painter, PointX(offer.col), PointY(offer.row), QStringLiteral("5"),
                        NewestNumberColour);
  }
}

// The information panel: labels from the left, values to the right edge.
void PaintPanel(QPainter& painter, const BoardScene& scene) {
  painter.setFont(PanelFont());
  painter.setPen(Qt::black);
  for (int i = 0; i < PanelLineCount; ++i) {
    const QString text = QString::fromStdString(scene.panel[static_cast<size_t>(i)]);
    const int left = i % 2 == 0 ? 595 : 715 - painter.fontMetrics().horizontalAdvance(text);
    DrawTextAt(painter, left, PanelLineTop(i), text);
  }
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

void PaintWindow(QPainter& painter, const BoardScene& scene) {
  painter.save();
  // One client pixel per device pixel paints the classic pixels; any other scale paints smooth
  // edges at the device's own resolution.
  painter.setRenderHint(QPainter::Antialiasing, !Classic(scene));
  painter.setRenderHint(QPainter::SmoothPixmapTransform, !Classic(scene));
  PaintFrame(painter);
  PaintCoordinateLabels(painter);
  PaintStones(painter, scene);
  PaintPanel(painter, scene);
  painter.restore();
}

}  // namespace tesmor
