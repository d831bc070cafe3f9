#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "game/controller.h"
#include "support/diagram.h"
#include "support/scripted_computer.h"

namespace tesmor::test {

// A screen that records what the controller does to it and answers message boxes from a script;
// its clipboard is a string.
class FakeHost : public Host {
 public:
  struct Box {
    std::string text;
    std::string caption;
    MessageIcon icon;
    MessageButtons buttons;
  };
  struct Cell {
    int row;
    int col;
    bool erase;
  };

  MessageAnswer MessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                           MessageButtons buttons) override {
    boxes.push_back({text, caption, icon, buttons});
    if (answers.empty())
      return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    const MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void Beep() override { ++beeps; }
  void InvalidateCell(int row, int col, bool erase) override {
    invalidated.push_back({row, col, erase});
  }
  void InvalidatePanelLine(int index) override { panelLines.push_back(index); }
  void RepaintAll() override { ++repaints; }
  void SetMenuChecked(int command, bool checked) override { checkedItems[command] = checked; }
  void SetMenuEnabled(int, bool) override {}
  void SetButtonImage(int button, int image) override { buttonImages[button] = image; }
  void StartWorker(WorkerKind kind) override { workers.push_back(kind); }
  // Each dialog is recorded as "title lastName".
  std::optional<std::string> OpenFileDialog(const std::string& title,
                                            const std::string& lastName) override {
    dialogs.push_back(title + " " + lastName);
    return dialogAnswer;
  }
  std::optional<std::string> SaveFileDialog(const std::string& title,
                                            const std::string& lastName) override {
    return OpenFileDialog(title, lastName);
  }
  void SetClipboardText(const std::string& text) override { clipboard = text; }
  std::string ClipboardText() override { return clipboard; }
  void ShowAbout() override { ++abouts; }
  void Quit() override { quit = true; }

  // The texts of the message boxes shown since the last call, and forget them.
  std::vector<std::string> TakeTexts() {
    std::vector<std::string> texts;
    for (const Box& box : boxes) texts.push_back(box.text);
    boxes.clear();
    return texts;
  }

  std::vector<Box> boxes;
  std::deque<MessageAnswer> answers;
  int beeps = 0, repaints = 0, abouts = 0;
  bool quit = false;
  std::vector<Cell> invalidated;
  std::vector<int> panelLines;
  std::map<int, bool> checkedItems;
  std::map<int, int> buttonImages;
  std::vector<WorkerKind> workers;
  std::optional<std::string> dialogAnswer;
  std::vector<std::string> dialogs;
  std::string clipboard;
};

// A controller on a fake host with its computer, whose workers run when the test says.
template <class Computer>
class ControllerHarness {
 public:
  void Start() { controller.Start(); }
  // Starts under the rules command, with two players when asked, and forgets the boxes so far.
  void Start(int rules, bool twoPlayers = false) {
    Start();
    controller.Command(rules);
    if (twoPlayers) controller.Command(CmdTwoPlayers);
    host.TakeTexts();
  }

  void Click(const char* point) { ClickAt(P(point)); }
  void ClickAt(int p) { controller.BoardClick({PointRow(p), PointCol(p)}); }
  void Clicks(std::initializer_list<const char*> points) {
    for (const char* point : points) Click(point);
  }
  // Runs the pending worker on this thread, its messages going straight to the controller.
  void RunWorker() {
    ASSERT_FALSE(host.workers.empty()) << "no worker was started";
    host.workers.erase(host.workers.begin());
    Link link(controller);
    RunWorkerJob(controller.CurrentJob(), computer, link);
  }

  int Cell(const char* point) const { return CellAt(P(point)); }
  int CellAt(int p) const { return controller.game().cell(PointRow(p), PointCol(p)); }
  int Moves() const { return controller.game().moveCount; }
  // The displayed cells always match the game's while no worker runs.
  void ExpectDisplayInSync() const {
    EXPECT_EQ(controller.displayCells(), controller.game().cells);
    EXPECT_EQ(controller.displayMoveCount(), controller.game().moveCount);
  }

  Computer computer;
  FakeHost host;
  SequenceRandom random{{1}};
  Controller controller{host, computer, random};

 private:
  struct Link : WindowLink {
    explicit Link(Controller& c) : controller(c) {}
    int Send(const WorkerMessage& message) override {
      return controller.HandleWorkerMessage(message);
    }
    Controller& controller;
  };
};

// A controller on a fake host with a scripted computer.
class ControllerFixture : public ControllerHarness<ScriptedComputer> {
 public:
  // The computer's next answer, then its worker run.
  void Answer(ComputerAnswer move) {
    computer.moves = {move};
    RunWorker();
  }
  void Answer(int point) { Answer(ComputerAnswer::Play(point)); }
};

}  // namespace tesmor::test
