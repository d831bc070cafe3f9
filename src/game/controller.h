#pragma once

#include <array>
#include <atomic>
#include <string>

#include "board/board.h"
#include "board/random_source.h"
#include "game/commands.h"
#include "game/computer_player.h"
#include "game/host.h"
#include "game/menu_state.h"
#include "game/panel.h"
#include "game/settings.h"

namespace tesmor {

// What a worker computes on: its own copy of the record and the settings as they were when it
// started, so that the window's thread may go on reading and changing its own.
struct WorkerJob {
  WorkerKind kind = WorkerKind::ComputerMove;
  GameState game;
  MoveRequest request;
  PanelLines* panel = nullptr;  // where the search's progress lines go
};

// The spine of the program: owns the game being played, the settings chosen in the menus and the
// turn-taking between the human and the computer, including the RIF opening procedure. Everything
// here runs on the window's thread; it reaches the screen only through its Host. Not copyable:
// the workers and the host hold references into it.
class Controller {
 public:
  Controller(Host& host, ComputerPlayer& computer, RandomSource& random);
  Controller(const Controller&) = delete;
  Controller& operator=(const Controller&) = delete;

  // The window has been created: read the book, set up menus and buttons, start a game as Black.
  void Start();

  // A menu command; commands of greyed items are ignored, as the menu cannot send them.
  void Command(int command);
  // A click on toolbar button 0..7.
  void ToolbarButton(int button);
  // The left button on a board point; the right button anywhere.
  void BoardClick(BoardPoint point);
  void RightClick();
  // A worker's message, handled on the window's thread. Returns the answer of a message box the
  // worker raised.
  int HandleWorkerMessage(const WorkerMessage& message);

  // The job of the worker that the host was just asked to start.
  const WorkerJob& CurrentJob() const { return job_; }
  // The panel lines a worker's search writes into.
  PanelLines& panel() { return panel_; }
  // The one stop flag: set by the stop command and by whoever shuts the program down, cleared
  // when a computation starts, read by every search.
  std::atomic<bool>& stopRequested() { return stopRequested_; }

  // What the window paints from.
  const std::array<int32_t, CellCount>& displayCells() const { return displayCells_; }
  int displayMoveCount() const { return displayMoveCount_; }
  const GameState& game() const { return game_; }
  bool showNumbers() const { return settings_.showNumbers; }
  MoveRecord secondOffer() const { return secondOffer_; }
  MoveRecord newestStone() const { return newestStone_; }

  // Settings and flags, for the front ends and the tests.
  const Settings& settings() const { return settings_; }
  bool computing() const { return computing_; }
  bool gameInProgress() const { return gameInProgress_; }
  int rifFifthState() const { return rifFifthState_; }
  bool MenuChecked(int command) const { return tesmor::MenuChecked(settings_, command); }
  bool MenuEnabled(int command) const { return tesmor::MenuEnabled(settings_, command); }
  int ButtonImage(int button) const { return ButtonImageFor(settings_, button); }

 private:
  bool rif() const { return settings_.rules == RuleSet::Rif; }

  // Game flow.
  void NewGame(int kind);
  void ResetGame();
  void HandleBoardClick(int row, int col);
  void HumanBlackClick(int row, int col);
  void PlaceStone(int colour, const ComputerAnswer& answer);
  void BlackResultTests();
  bool RecordStone(int colour, int point);
  void AppendStone(int row, int col);
  void AnnounceResult(const char* text);
  void TakeBack(bool fromMenu);
  void StartComputerTurn();
  void StartWorker(WorkerKind kind);
  MoveRequest MakeRequest();
  ComputerAnswer ComputeOnWindowThread();
  void ShowProgress(ProgressField field, int value);
  int ProposePoint(int point);

  // The RIF opening procedure (rif_opening.cpp).
  void CheckHumanOpening();
  void LayComputerOpening();
  void AcceptSecondOffering(int row, int col);
  void HumanTakesOfferingAway(int row, int col);
  void PlaceComputerOfferings(const ComputerAnswer& answer);
  void ComputerTakesOfferingAwayAndReplies(const ComputerAnswer& answer);

  // Commands.
  bool SettingsCommand(int command);
  void GameCommand(int command);
  void RulesCommand(int command);
  void ModeCommand(int command);
  void LevelCommand(int level);
  void SearchModeCommand(int command);
  void ToggleShowNumbers();
  void ToggleUseBook();
  void LoadGame();
  void SaveGame();

  // Screen.
  void RefreshPanel();
  void BusyNotice();
  void Notice(const char* text);
  void SyncDisplay();
  bool IsGuarded(int command) const;

  Host& host_;
  ComputerPlayer& computer_;
  RandomSource& random_;

  GameState game_;
  std::array<int32_t, CellCount> displayCells_{};
  int displayMoveCount_ = 0;
  MoveRecord newestStone_{0, 0};

  Settings settings_;
  MenuState menu_;
  bool gameInProgress_ = false;
  bool computing_ = false;
  std::atomic<bool> stopRequested_{false};
  int rifFifthState_ = 0;
  MoveRecord secondOffer_{-1, -1};

  PanelLines panel_;
  std::string lastFileName_;
  WorkerJob job_;
};

// Runs one worker's computation on the calling thread and reports through the link: the
// computer's move, the hint or the VCF search.
void RunWorkerJob(const WorkerJob& job, ComputerPlayer& computer, WindowLink& window);

}  // namespace tesmor
