// Development helper, not installed: plays a few moves against the computer in the window and
// saves a picture of the screen around it. Meant for Xvfb:
//   xvfb-run -a build/bin/tesmor-screenshot docs/screenshot.png
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include <iostream>

#include "game/engine_computer.h"
#include "ui/main_window.h"

namespace {

// Closes whatever message box opens (a missing book, a result) so that the script goes on.
void AnswerBoxes() {
  if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->done(0);
  QTimer::singleShot(20, AnswerBoxes);
}

void WaitIdle(tesmor::Controller& controller) {
  do QApplication::processEvents(QEventLoop::AllEvents, 50);
  while (controller.computing());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: tesmor-screenshot FILE.png\n";
    return 2;
  }
  QApplication app(argc, argv);
  tesmor::EngineComputer computer(std::cout);
  tesmor::SequenceRandom random({1});
  tesmor::MainWindow window(computer, random);
  QTimer::singleShot(0, AnswerBoxes);
  window.Start();
  window.show();
  tesmor::Controller& controller = window.controller();
  controller.Command(tesmor::CmdRulesForbidden);
  controller.Command(tesmor::CmdLevel2);
  // The human's stones: the first free point of a short list each turn.
  const char* wanted[] = {"H8", "I9", "G9", "J8", "G7", "G10", "K9", "F8", "E9", "J6", "K5"};
  int played = 0;
  for (const char* text : wanted) {
    if (played == 4) break;
    const int point = tesmor::ParsePoint(text);
    const int row = tesmor::PointRow(point), col = tesmor::PointCol(point);
    if (controller.game().cell(row, col) != tesmor::Empty) continue;
    controller.BoardClick({row, col});
    WaitIdle(controller);
    ++played;
  }
  QApplication::processEvents();
  const QPixmap shot = window.screen()->grabWindow(window.winId());
  if (!shot.save(QString::fromLocal8Bit(argv[1]))) {
    std::cerr << "tesmor-screenshot: cannot write " << argv[1] << "\n";
    return 1;
  }
  return 0;
}
