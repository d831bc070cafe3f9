// Development helper, not installed: sets up a scene in the window and saves a picture of the
// screen around it. Meant for Xvfb:
//   xvfb-run -a build/bin/tesmor-screenshot docs/screenshot.png [play|forbidden|finished|hint]
// "play" (the default) plays a few moves against the computer; "forbidden" shows Black's
// forbidden points; "finished" a game won by a five; "hint" the hint's box and its point.
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include <functional>
#include <iostream>
#include <string>

#include "game/engine_computer.h"
#include "ui/main_window.h"

namespace {

using tesmor::Controller;

// Called with each message box that opens, before it is closed; nothing by default.
std::function<void(QMessageBox&)> onBox = [](QMessageBox&) {};

// Closes whatever message box opens (a missing book, a result) so that the script goes on.
void AnswerBoxes() {
  if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
    onBox(*box);
    box->done(0);
  }
  QTimer::singleShot(20, AnswerBoxes);
}

void WaitIdle(Controller& controller) {
  do QApplication::processEvents(QEventLoop::AllEvents, 50);
  while (controller.computing());
}

void Click(Controller& controller, const char* text) {
  const int point = tesmor::ParsePoint(text);
  controller.BoardClick({tesmor::PointRow(point), tesmor::PointCol(point)});
  WaitIdle(controller);
}

// Four moves of the human against the computer: the first free point of a short list each turn.
void PlayAgainstComputer(Controller& controller) {
  controller.Command(tesmor::CmdRulesForbidden);
  controller.Command(tesmor::CmdLevel2);
  const char* wanted[] = {"H8", "I9", "G9", "J8", "G7", "G10", "K9", "F8", "E9", "J6", "K5"};
  int played = 0;
  for (const char* text : wanted) {
    if (played == 4) break;
    const int point = tesmor::ParsePoint(text);
    if (controller.game().cell(tesmor::PointRow(point), tesmor::PointCol(point)) != tesmor::Empty)
      continue;
    Click(controller, text);
    ++played;
  }
}

// Two players under forbidden moves, Black to move with a three-three point.
void ForbiddenPoints(Controller& controller) {
  controller.Command(tesmor::CmdRulesForbidden);
  controller.Command(tesmor::CmdTwoPlayers);
  for (const char* text : {"F8", "E7", "G8", "I9", "H6", "J10", "H7", "G6", "J6", "K5"})
    Click(controller, text);
}

// Two players; Black's five in the H column ends the game.
void FinishedGame(Controller& controller) {
  controller.Command(tesmor::CmdRulesForbidden);
  controller.Command(tesmor::CmdTwoPlayers);
  for (const char* text : {"H8", "I8", "H9", "I9", "H10", "I10", "H7", "H11", "H6"})
    Click(controller, text);
}

// A few moves, then the computer's hint with its box open.
void HintOnTheBoard(Controller& controller) {
  controller.Command(tesmor::CmdRulesForbidden);
  controller.Command(tesmor::CmdTwoPlayers);
  controller.Command(tesmor::CmdLevel2);
  for (const char* text : {"H8", "I9", "G9", "I7", "I8", "G10"}) Click(controller, text);
  controller.Command(tesmor::CmdHint);
  WaitIdle(controller);
}

// The screen under the window and the box over it.
QPixmap ScreenAround(const QWidget& window, const QWidget& box) {
  const QRect area = window.frameGeometry().united(box.frameGeometry());
  return window.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::cerr << "usage: tesmor-screenshot FILE.png [play|forbidden|finished|hint]\n";
    return 2;
  }
  const std::string scene = argc == 3 ? argv[2] : "play";
  QApplication app(argc, argv);
  tesmor::EngineComputer computer(std::cout);
  tesmor::SequenceRandom random({1});
  tesmor::MainWindow window(computer, random);
  QTimer::singleShot(0, AnswerBoxes);
  window.Start();
  window.show();
  Controller& controller = window.controller();
  QPixmap shot;
  if (scene == "hint") {
    // The picture is taken while the box asks.
    onBox = [&](QMessageBox& box) {
      if (box.text().startsWith("提示：")) shot = ScreenAround(window, box);
    };
    HintOnTheBoard(controller);
  } else if (scene == "forbidden") {
    ForbiddenPoints(controller);
  } else if (scene == "finished") {
    FinishedGame(controller);
  } else {
    PlayAgainstComputer(controller);
  }
  QApplication::processEvents();
  if (shot.isNull()) shot = window.screen()->grabWindow(window.winId());
  if (!shot.save(QString::fromLocal8Bit(argv[1]))) {
    std::cerr << "tesmor-screenshot: cannot write " << argv[1] << "\n";
    return 1;
  }
  return 0;
}
