#pragma once

#include <array>
#include <atomic>
#include <map>
#include <string>

#include "board/board.h"
#include "board/random_source.h"
#include "game/commands.h"
#include "game/computer_player.h"
#include "game/host.h"
#include "game/panel.h"

namespace tesmor {

// How the human plays: against the computer with Black or White, or two humans at one screen.
enum PlayMode : int { HumanBlack = 1, HumanWhite = 2, TwoHumans = 3 };

// What a worker computes on: the live game (which the window leaves alone while it runs) and the
// settings as they were when it started.
struct WorkerJob {
  WorkerKind kind = WorkerKind::ComputerMove;
  GameState* game = nullptr;
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
  // Mouse buttons at client coordinates.
  void LeftClick(int x, int y);
  void RightClick();
  // The one entry for window messages, from a worker or from the window itself: the UM_* kinds
  // and WM_LBUTTONDOWN. Returns the answer of a message box a worker raised.
  int HandleMessage(int message, int value);

  // The job of the worker that the host was just asked to start.
  WorkerJob CurrentJob() { return job_; }
  // The panel lines a worker's search writes into.
  PanelLines& panel() { return panel_; }
  std::atomic<bool>& stopRequested() { return stopRequested_; }

  // What the window paints from.
  const std::array<int32_t, CellCount>& displayCells() const { return displayCells_; }
  int displayMoveCount() const { return displayMoveCount_; }
  const GameState& game() const { return game_; }
  bool showNumbers() const { return showNumbers_; }
  MoveRecord secondOffer() const { return secondOffer_; }
  MoveRecord newestStone() const { return newestStone_; }

  // Settings and flags, for the front ends and the tests.
  bool computing() const { return computing_; }
  bool gameInProgress() const { return gameInProgress_; }
  int playMode() const { return playMode_; }
  int level() const { return level_; }
  int searchMode() const { return searchMode_; }
  bool rifRules() const { return rifRules_; }
  bool useBook() const { return useBook_; }
  int rifFifthState() const { return rifFifthState_; }
  bool MenuChecked(int command) const;
  bool MenuEnabled(int command) const;
  int ButtonImage(int button) const { return buttonImages_[button]; }

 private:
  struct MenuItemState {
    bool checked = false;
    bool enabled = true;
  };

  // Game flow.
  void NewGame(int kind);
  void ResetGame();
  void HandleBoardClick(int row, int col);
  void HumanBlackClick(int row, int col);
  void PlaceStone(int colour, int value);
  void BlackResultTests();
  bool RecordStone(int colour, int point);
  void AppendStone(int row, int col);
  void AnnounceResult(const char* text);
  void TakeBack(bool fromMenu);
  void StartComputerTurn();
  void StartWorker(WorkerKind kind);
  MoveRequest MakeRequest();
  int ComputeOnWindowThread();

  // The RIF opening procedure.
  void CheckHumanOpening();
  void LayComputerOpening();
  void AcceptSecondOffering(int row, int col);
  void HumanTakesOfferingAway(int row, int col);
  void PlaceComputerOfferings(int value);
  void ComputerTakesOfferingAwayAndReplies(int value);

  // Settings commands.
  void RulesCommand(int command);
  void ModeCommand(int command);
  void LevelCommand(int command);
  void SearchModeCommand(int command);
  void ToggleShowNumbers();
  void ToggleUseBook();
  void LoadGame();
  void SaveGame();

  // Screen.
  void RefreshPanel();
  void SetChecked(int command, bool checked);
  void SetEnabled(int command, bool enabled);
  void MoveTick(std::initializer_list<int> group, int ticked);
  void SetButton(int button, int image);
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

  int playMode_ = HumanBlack;
  bool gameInProgress_ = false;
  bool computing_ = false;
  int level_ = 9;
  int levelItem_ = CmdLevel8;
  int searchMode_ = CmdFastSearch;
  int rulesItem_ = CmdRulesRif;
  bool rifRules_ = true;
  bool useBook_ = true;
  bool showNumbers_ = true;
  std::atomic<bool> stopRequested_{false};
  int rifFifthState_ = 0;
  MoveRecord secondOffer_{-1, -1};

  std::map<int, MenuItemState> menu_;
  std::array<int, ToolbarButtonCount> buttonImages_{};
  PanelLines panel_;
  std::string lastFileName_;
  WorkerJob job_;
};

// Runs one worker's computation on the calling thread and reports through the link: the
// computer's move, the hint or the VCF search.
void RunWorkerJob(const WorkerJob& job, ComputerPlayer& computer, WindowLink& window);

}  // namespace tesmor
