#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "board/random_source.h"
#include "support/scripted_computer.h"
#include "ui/board_view.h"
#include "ui/geometry.h"
#include "ui/image_button.h"
#include "ui/main_window.h"
#include "ui/painting.h"

namespace tesmor::test {

// The point given as text, e.g. Pt("H8").
inline int Pt(const char* text) {
  return ParsePoint(text);
}

// Records each message box as "caption | text | buttons | icon" and presses the scripted button
// (else the first).
class BoxAnswerer final : public QObject {
 public:
  BoxAnswerer() {
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, [this] { Answer(); });
    timer_.start();
  }
  // The boxes shown since the last call.
  QStringList Take() { return std::exchange(seen, {}); }

  std::deque<QString> press;  // button texts, one per box
  QStringList seen;

 private:
  void Answer() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    QStringList buttons;
    QAbstractButton* chosen = box->buttons().value(0);
    for (QAbstractButton* button : box->buttons()) {
      buttons << button->text();
      if (!press.empty() && button->text() == press.front()) chosen = button;
    }
    if (!press.empty()) press.pop_front();
    const QMessageBox::Icon kind = box->icon();
    const char* icon = kind == QMessageBox::Warning       ? "!"
                       : kind == QMessageBox::Information ? "i"
                                                          : "?";
    seen << QStringList{box->windowTitle(), box->text(), buttons.join(' '), icon}.join(" | ");
    if (chosen) chosen->click();
  }

  QTimer timer_;
};

// Records the areas that a widget paints.
class PaintSpy final : public QObject {
 public:
  explicit PaintSpy(QWidget* widget) { widget->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(event)->region();
    return false;
  }
  QRegion painted;
};

// The pixels of the ring around a stone's rim whose colour is neither the board's nor a grey.
inline int BlendedRim(const QImage& image, QPoint centre, int radius) {
  int blended = 0;
  for (int dy = -radius - 2; dy <= radius + 2; ++dy)
    for (int dx = -radius - 2; dx <= radius + 2; ++dx) {
      const int d2 = dx * dx + dy * dy;
      if (d2 < (radius - 3) * (radius - 3) || d2 > (radius + 2) * (radius + 2)) continue;
      const QColor c = image.pixelColor(centre + QPoint(dx, dy));
      blended += c != BoardColour && !(c.red() == c.green() && c.green() == c.blue());
    }
  return blended;
}

// The view as painted, in client pixels (twice as many on a screen of ratio 2).
inline QImage Picture(BoardView* view) {
  return view->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline QPoint Centre(const char* point) {
  return {PointX(PointCol(Pt(point))), PointY(PointRow(Pt(point)))};
}

inline QRect Cell(const char* point) {
  return CellRect(PointRow(Pt(point)), PointCol(Pt(point)));
}

inline int Count(const QImage& image, const QRect& rect, const std::function<bool(QColor)>& test) {
  int n = 0;
  for (int y = rect.top(); y <= rect.bottom(); ++y)
    for (int x = rect.left(); x <= rect.right(); ++x) n += test(image.pixelColor(x, y));
  return n;
}

// The points whose cells hold more than a few pixels that pass the test.
inline QString CellsWith(const QImage& image, const std::function<bool(QColor)>& test) {
  QStringList points;
  for (int point = 0; point < CellCount; ++point)
    if (Count(image, CellRect(PointRow(point), PointCol(point)), test) > 5)
      points << QString::fromStdString(PointText(point));
  return points.join(' ');
}

inline bool IsRed(QColor c) {
  return c.red() > 180 && c.green() < 90 && c.blue() < 90;
}

// Runs open, which shows a modal Dialog, and hands the dialog to look every few milliseconds until
// look closes it.
template <typename Dialog, typename Look>
void WithDialog(const std::function<void()>& open, Look look) {
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) look(dialog);
  });
  timer.start(5);
  open();
}

// A started, shown window on the scripted computer (or on another player).
struct WindowFixture {
  explicit WindowFixture(std::vector<int> draws = {1}, ComputerPlayer* player = nullptr)
      : random(std::move(draws)) {
    window = std::make_unique<MainWindow>(player ? *player : computer, random);
    window->show();
    window->Start();
  }

  Controller& controller() { return window->controller(); }
  BoardView* view() { return window->boardView(); }
  int Moves() { return controller().game().moveCount; }
  void Do(int command) { window->action(command)->trigger(); }
  void Press(int button) { QTest::mouseClick(window->button(button), Qt::LeftButton); }

  void ClickAt(int x, int y, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(view(), button, Qt::NoModifier, QPoint(x, y));
  }
  void Click(const char* point) { ClickAt(Centre(point).x(), Centre(point).y()); }
  void RightClick() { ClickAt(300, 300, Qt::RightButton); }
  // A key pressed in the window, made active first (a message box may have had the focus).
  void Key(QKeyCombination key) {
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), key.key(), key.keyboardModifiers());
  }
  int Cell(const char* point) {
    const int p = Pt(point);
    return controller().game().cell(PointRow(p), PointCol(p));
  }
  // Black's H8 sets the computer searching until it is stopped; it then plays answer.
  bool StartLongSearch(const char* answer) {
    Do(CmdRulesFree);
    computer.moves = {ScriptedComputer::LongSearch};
    computer.stopAnswer = ComputerAnswer::Play(Pt(answer));
    Click("H8");
    return QTest::qWaitFor([this] { return computer.searching.load(); }, 20000);
  }
  bool WaitIdle() {
    return QTest::qWaitFor(
        [this] { return !controller().computing() && window->workers().live() == 0; }, 60000);
  }

  ScriptedComputer computer;
  SequenceRandom random;
  BoxAnswerer boxes;
  std::unique_ptr<MainWindow> window;
};

// A window where two people play: no computer answers a click.
struct TwoPlayerWindow : WindowFixture {
  TwoPlayerWindow() { Do(CmdModeTwoPlayers); }
};

}  // namespace tesmor::test
