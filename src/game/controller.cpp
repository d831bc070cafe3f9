#include "game/controller.h"

#include <array>
#include <iostream>

#include "board/forbidden.h"
#include "board/symmetry.h"
#include "game/geometry.h"
#include "game/openings.h"
#include "game/position_file.h"

namespace tesmor {

namespace {

constexpr const char* kNoticeCaption = "提示消息";
constexpr const char* kResultCaption = "游戏结束";
constexpr const char* kFileCaption = "提示信息";

enum class SwapDecision { Always, Random, Never };

// Whether the computer, as White, swaps after the human's legal opening, by opening number.
SwapDecision SwapDecisionFor(int opening) {
  switch (opening) {
    case 3:
    case 9:
    case 11:
    case 14:
    case 18:
    case 24:
      return SwapDecision::Random;
    case 13:
    case 26:
      return SwapDecision::Never;
    default:
      return SwapDecision::Always;
  }
}

// The opening the computer lays as Black, by a draw in 0..21.
int ComputerOpeningFor(int draw) {
  static constexpr std::array<int, 22> kTable = {5,  8,  10, 12, 22, 25, 9, 9,  14, 14, 24,
                                                 24, 18, 18, 3,  3,  3,  3, 11, 11, 11, 11};
  return kTable[static_cast<size_t>(draw)];
}

bool IsPoint(int value) {
  return value >= 0 && value < CellCount;
}

}  // namespace

Controller::Controller(Host& host, ComputerPlayer& computer, RandomSource& random)
    : host_(host), computer_(computer), random_(random) {
  ClearGameState(game_);
  for (const MenuEntry& entry : MenuBar())
    if (entry.command != 0) menu_[entry.command] = {};
  for (int button = 0; button < ToolbarButtonCount; ++button)
    buttonImages_[button] = InitialButtonImages[button];
}

void Controller::Start() {
  for (int command :
       {CmdModeComputer, CmdRulesRif, CmdLevel8, CmdFastSearch, CmdShowNumbers, CmdUseBook})
    SetChecked(command, true);
  SetEnabled(CmdLevel0, false);
  SetEnabled(CmdUseBook, false);
  for (int button = 0; button < ToolbarButtonCount; ++button)
    host_.SetButtonImage(button, buttonImages_[button]);
  if (!computer_.LoadOpeningBook())
    host_.MessageBox("棋谱读取失败！", kFileCaption, MessageIcon::Exclamation, MessageButtons::Ok);
  gameInProgress_ = false;
  Command(CmdPlayBlack);
}

// ---------------------------------------------------------------------------------------------
// Commands

bool Controller::IsGuarded(int command) const {
  switch (command) {
    case CmdStop:
    case CmdExit:
    case CmdShowNumbers:
    case CmdUseBook:
    case CmdAbout:
      return false;
    default:
      return true;
  }
}

void Controller::Command(int command) {
  if (!MenuEnabled(command)) return;
  if (IsGuarded(command) && computing_) {
    BusyNotice();
    return;
  }
  switch (command) {
    case CmdPlayBlack:
    case CmdPlayWhite:
    case CmdTwoPlayers:
      NewGame(command);
      break;
    case CmdModeComputer:
    case CmdModeTwoPlayers:
      ModeCommand(command);
      break;
    case CmdRulesFree:
    case CmdRulesForbidden:
    case CmdRulesRif:
      RulesCommand(command);
      break;
    case CmdOpen:
      LoadGame();
      break;
    case CmdSave:
      SaveGame();
      break;
    case CmdHint:
      if (rifRules_ && (game_.moveCount == 4 || rifFifthState_ != 0)) break;
      StartWorker(WorkerKind::Hint);
      break;
    case CmdStop:
      stopRequested_ = true;
      break;
    case CmdVcf:
      StartWorker(WorkerKind::Vcf);
      break;
    case CmdTakeBack:
      TakeBack(true);
      break;
    case CmdExit:
      host_.Quit();
      break;
    case CmdFastSearch:
    case CmdAccurateSearch:
    case CmdExactSearch:
      SearchModeCommand(command);
      break;
    case CmdShowNumbers:
      ToggleShowNumbers();
      break;
    case CmdUseBook:
      ToggleUseBook();
      break;
    case CmdAbout:
      host_.ShowAbout();
      break;
    default:
      for (int level : LevelCommands)
        if (command == level) LevelCommand(command);
      break;
  }
}

void Controller::ToolbarButton(int button) {
  if (computing_) {
    if (button == StopButton)
      Command(CmdStop);
    else
      BusyNotice();
    return;
  }
  switch (button) {
    case 0:
      if (playMode_ == TwoHumans) {
        Command(CmdTwoPlayers);
      } else {
        random_.Seed();
        Command(random_.Next() % 2 == 1 ? CmdPlayBlack : CmdPlayWhite);
      }
      break;
    case ModeButton:
      Command(playMode_ == TwoHumans ? CmdModeComputer : CmdModeTwoPlayers);
      break;
    case RulesButton:
      if (rifRules_)
        Command(CmdRulesFree);
      else if (!game_.forbiddenRulesOn)
        Command(CmdRulesForbidden);
      else
        Command(CmdRulesRif);
      break;
    case 3:
      Command(CmdSave);
      break;
    case 4:
      Command(CmdOpen);
      break;
    case 5:
      Command(CmdHint);
      break;
    case 7:
      Command(CmdVcf);
      break;
    default:
      break;  // the stop button does nothing while idle
  }
}

void Controller::LeftClick(int x, int y) {
  const BoardPoint point = ClickToPoint(x & 0xFFFF, y & 0xFFFF);
  if (point.row >= 0) HandleBoardClick(point.row, point.col);
}

void Controller::RightClick() {
  if (!computing_) Command(CmdTakeBack);
}

int Controller::HandleMessage(int message, int value) {
  switch (message) {
    case UM_COMPUTER_MOVE_WHITE:
      computing_ = false;
      return HandleMessage(UM_PLACE_WHITE, value);
    case UM_COMPUTER_MOVE_BLACK:
      computing_ = false;
      return HandleMessage(UM_PLACE_BLACK, value);
    case UM_PLACE_BLACK:
      PlaceStone(Black, value);
      break;
    case UM_PLACE_WHITE:
      PlaceStone(White, value);
      break;
    case UM_COMPUTATION_DONE:
      computing_ = false;
      break;
    case UM_BUSY_NOTICE:
      BusyNotice();
      break;
    case UM_PANEL_LINE:
      host_.InvalidatePanelLine(value);
      break;
    case UM_SHOW_PROPOSAL: {
      const MessageAnswer answer =
          host_.MessageBox("提示：" + PointText(value), kNoticeCaption, MessageIcon::Information,
                           MessageButtons::OkCancel);
      return answer == MessageAnswer::Ok ? 1 : 0;
    }
    case UM_SHOW_NO_VCF:
      host_.MessageBox("没有找到VCF！", kNoticeCaption, MessageIcon::Information,
                       MessageButtons::Ok);
      break;
    case WM_LBUTTONDOWN:
      LeftClick(ClickX(value), ClickY(value));
      break;
    default:
      break;
  }
  return 0;
}

// ---------------------------------------------------------------------------------------------
// Game flow

void Controller::ResetGame() {
  ClearGameState(game_);
  game_.forbiddenRulesOn = rulesItem_ != CmdRulesFree;
  SyncDisplay();
}

void Controller::NewGame(int kind) {
  if (computing_) {
    BusyNotice();
    return;
  }
  secondOffer_ = {-1, -1};
  rifFifthState_ = 0;
  playMode_ = kind == CmdPlayBlack ? HumanBlack : kind == CmdPlayWhite ? HumanWhite : TwoHumans;
  gameInProgress_ = true;
  ResetGame();
  const bool againstComputer = kind != CmdTwoPlayers;
  MoveTick({CmdModeComputer, CmdModeTwoPlayers},
           againstComputer ? CmdModeComputer : CmdModeTwoPlayers);
  SetButton(ModeButton, againstComputer ? ImageComputer : ImageTwoPlayers);

  if (kind == CmdPlayWhite && rifRules_) {
    LayComputerOpening();
    return;
  }
  host_.RepaintAll();
  RefreshPanel();
  if (kind == CmdPlayWhite) HandleMessage(UM_PLACE_BLACK, ComputeOnWindowThread());
}

void Controller::HandleBoardClick(int row, int col) {
  if (playMode_ == HumanBlack || playMode_ == HumanWhite) {
    if (game_.moveCount % 2 == 0)
      playMode_ = HumanBlack;
    else
      playMode_ = rifFifthState_ == 0 ? HumanWhite : HumanBlack;
  }
  if (!gameInProgress_ || computing_) return;
  const bool occupied = game_.cell(row, col) != Empty;
  const int point = PointIndex(row, col);

  switch (playMode_) {
    case TwoHumans:
      if (!occupied)
        HandleMessage(game_.moveCount % 2 == 0 ? UM_PLACE_BLACK : UM_PLACE_WHITE, point);
      break;
    case HumanWhite:
      if (occupied) return;
      HandleMessage(UM_PLACE_WHITE, point);
      if (rifRules_ && game_.moveCount < 3) return;
      StartComputerTurn();
      break;
    default:
      HumanBlackClick(row, col);
      break;
  }
}

void Controller::HumanBlackClick(int row, int col) {
  const bool occupied = game_.cell(row, col) != Empty;
  const MoveRecord firstOffer = game_.history[4];
  const bool onFirstOffer =
      rifFifthState_ == 2 && game_.moveCount >= 5 && firstOffer.row == row && firstOffer.col == col;
  if (occupied && !onFirstOffer) return;
  if (rifFifthState_ == 1) {
    AcceptSecondOffering(row, col);
    return;
  }
  if (rifFifthState_ == 2) {
    HumanTakesOfferingAway(row, col);
    return;
  }
  HandleMessage(UM_PLACE_BLACK, PointIndex(row, col));
  if (!rifRules_) {
    StartComputerTurn();
  } else if (game_.moveCount < 3) {
    return;
  } else if (game_.moveCount == 3) {
    CheckHumanOpening();
  } else if (game_.moveCount == 5) {
    rifFifthState_ = 1;
  } else {
    StartComputerTurn();
  }
}

void Controller::PlaceStone(int colour, int value) {
  if (value == Resign) {
    AnnounceResult(colour == Black ? "白方胜！（黑方认输）" : "黑方胜！（白方认输）");
    return;
  }
  if (colour == Black && value >= PointPairBase && rifRules_ && game_.moveCount == 4) {
    PlaceComputerOfferings(value);
    return;
  }
  if (colour == White && rifRules_ && rifFifthState_ == 2) {
    ComputerTakesOfferingAwayAndReplies(value);
    return;
  }
  if (!RecordStone(colour, value)) return;

  if (colour == Black)
    BlackResultTests();
  else if (WinnerAtFocus(game_) != 0)
    AnnounceResult("白方胜！");
}

void Controller::BlackResultTests() {
  if (WinnerAtFocus(game_) != 0) {
    AnnounceResult("黑方胜！");
    return;
  }
  switch (ForbiddenKindAt(game_, game_.focusRow, game_.focusCol)) {
    case ThreeThree:
      AnnounceResult("白方胜！（黑方三·三禁手）");
      return;
    case FourFour:
      AnnounceResult("白方胜！（黑方四·四禁手）");
      return;
    case Overline:
      AnnounceResult("白方胜！（黑方长连禁手）");
      return;
    default:
      break;
  }
  if (game_.moveCount == CellCount) AnnounceResult("和棋！");
}

// Plays a stone of the given colour on an empty point, in the game and on the screen. A value
// that is no empty point is a fault of whoever produced it: refused, reported, nothing changed.
bool Controller::RecordStone(int colour, int point) {
  if (!IsPoint(point) || game_.cell(PointRow(point), PointCol(point)) != Empty ||
      game_.moveCount >= CellCount) {
    std::cerr << "tesmor: refused to place " << (colour == Black ? "Black" : "White")
              << " on move value " << point << ": not an empty point\n";
    return false;
  }
  if (colour != game_.SideToMove()) {
    std::cerr << "tesmor: refused to place " << (colour == Black ? "Black" : "White")
              << " on move value " << point << ": not that colour's turn\n";
    return false;
  }
  const int row = PointRow(point);
  const int col = PointCol(point);
  AppendStone(row, col);
  displayCells_[CellIndex(row, col)] = colour;
  ++displayMoveCount_;
  host_.Beep();
  RefreshPanel();
  return true;
}

// Records a stone of the side to move in the game and marks its cell, and the previous newest
// stone's, for repainting; the display copies are the caller's.
void Controller::AppendStone(int row, int col) {
  RecordMove(game_, row, col);
  host_.InvalidateCell(newestStone_.row, newestStone_.col, false);
  host_.InvalidateCell(row, col, false);
  newestStone_ = {row, col};
}

void Controller::AnnounceResult(const char* text) {
  gameInProgress_ = false;
  host_.MessageBox(text, kResultCaption, MessageIcon::Information, MessageButtons::Ok);
}

void Controller::TakeBack(bool fromMenu) {
  if (computing_) {
    if (fromMenu) BusyNotice();
    return;
  }
  if (game_.moveCount == 0 || (rifRules_ && rifFifthState_ != 0)) {
    Notice("无法悔棋！");
    return;
  }
  const MoveRecord removed = game_.history[game_.moveCount - 1];
  UndoMove(game_);
  displayCells_[CellIndex(removed.row, removed.col)] = Empty;
  host_.InvalidateCell(removed.row, removed.col, true);
  if (game_.moveCount >= 1) {
    const MoveRecord previous = game_.history[game_.moveCount - 1];
    newestStone_ = previous;
    host_.InvalidateCell(previous.row, previous.col, false);
  }
  displayMoveCount_ = game_.moveCount;
  gameInProgress_ = true;
  RefreshPanel();
}

MoveRequest Controller::MakeRequest() {
  MoveRequest request;
  request.levelArg = level_ + 6;
  request.settings.searchMode = searchMode_;
  request.settings.rifRules = rifRules_;
  request.settings.useBook = useBook_;
  request.settings.rifFifthState = rifFifthState_;
  request.settings.secondOffer = secondOffer_;
  request.stopRequested = &stopRequested_;
  return request;
}

void Controller::StartComputerTurn() {
  if (gameInProgress_) StartWorker(WorkerKind::ComputerMove);
}

void Controller::StartWorker(WorkerKind kind) {
  computing_ = true;
  // A stop given while nothing was computed must not end this computation; clearing it here, on
  // the window's thread before the worker exists, cannot lose a stop given after the start.
  stopRequested_ = false;
  job_ = {kind, &game_, MakeRequest(), &panel_};
  host_.StartWorker(kind);
}

// The two computer moves that the window's thread computes itself: White's first stone when the
// human plays White without the RIF opening, and the fourth stone after a swap.
int Controller::ComputeOnWindowThread() {
  class PanelOnWindowThread final : public SearchProgress {
   public:
    explicit PanelOnWindowThread(Controller& controller) : controller_(controller) {}
    void PanelLine(int index, const std::string& text) override {
      controller_.panel_.Set(index, text);
      controller_.host_.InvalidatePanelLine(index);
    }

   private:
    Controller& controller_;
  } progress(*this);
  MoveRequest request = MakeRequest();
  request.progress = &progress;
  stopRequested_ = false;
  return computer_.ChooseComputerMove(game_, request);
}

// ---------------------------------------------------------------------------------------------
// The RIF opening procedure

void Controller::CheckHumanOpening() {
  const NamedOpening* opening = FindOpening(game_);
  if (!opening) {
    Notice("非法开局！");
    NewGame(CmdPlayBlack);
    return;
  }
  bool swap = false;
  switch (SwapDecisionFor(opening->number)) {
    case SwapDecision::Always:
      swap = true;
      break;
    case SwapDecision::Random:
      random_.Seed();
      swap = random_.Next() % 2 == 1;
      break;
    case SwapDecision::Never:
      break;
  }
  if (swap)
    Notice("电脑交换！");  // the human now plays White and lays the fourth stone
  else
    StartComputerTurn();
}

void Controller::LayComputerOpening() {
  random_.Seed();
  const int opening = ComputerOpeningFor(random_.Next() % 22);
  for (int point : OpeningStones(opening)) {
    const int row = PointRow(point);
    const int col = PointCol(point);
    RecordMove(game_, row, col);
    newestStone_ = {row, col};
  }
  SyncDisplay();
  host_.RepaintAll();
  RefreshPanel();

  const MessageAnswer answer = host_.MessageBox("是否交换？", kNoticeCaption,
                                                MessageIcon::Exclamation, MessageButtons::YesNo);
  if (answer == MessageAnswer::Yes) HandleMessage(UM_PLACE_WHITE, ComputeOnWindowThread());
}

void Controller::AcceptSecondOffering(int row, int col) {
  if (SameFifthOfferingExists(game_, row, col)) {
    Notice("已存在同型打点！");
    return;
  }
  secondOffer_ = {row, col};
  rifFifthState_ = 2;
  host_.Beep();
  host_.InvalidateCell(row, col, false);
  StartComputerTurn();
}

void Controller::HumanTakesOfferingAway(int row, int col) {
  const MoveRecord first = game_.history[4];
  const MoveRecord second = secondOffer_;
  if (row == first.row && col == first.col) {
    game_.ReplaceNewestMove(second.row, second.col);
    host_.InvalidateCell(first.row, first.col, true);
    host_.InvalidateCell(second.row, second.col, false);
  } else if (row == second.row && col == second.col) {
    host_.InvalidateCell(second.row, second.col, true);
  } else {
    return;
  }
  newestStone_ = game_.history[4];
  secondOffer_ = {-1, -1};
  rifFifthState_ = 0;
  host_.Beep();
  SyncDisplay();
}

void Controller::PlaceComputerOfferings(int value) {
  const int first = PairLow(value);
  const int second = PairHigh(value);
  if (!IsPoint(second) || second == first ||
      game_.cell(PointRow(second), PointCol(second)) != Empty) {
    std::cerr << "tesmor: refused the offerings " << value << ": the second is no empty point\n";
    return;
  }
  if (!RecordStone(Black, first)) return;
  secondOffer_ = {PointRow(second), PointCol(second)};
  rifFifthState_ = 2;
  host_.Beep();
  host_.InvalidateCell(secondOffer_.row, secondOffer_.col, false);
  BlackResultTests();
}

void Controller::ComputerTakesOfferingAwayAndReplies(int value) {
  const MoveRecord first = game_.history[4];
  const MoveRecord second = secondOffer_;
  const bool pair = value >= PointPairBase;
  const int reply = pair ? PairLow(value) : value;
  const bool takesFirst = pair && PairHigh(value) != PointIndex(second.row, second.col);

  // Check the reply against the board as it will be after the offering is gone.
  const bool replyFree = IsPoint(reply) &&
                         (game_.cell(PointRow(reply), PointCol(reply)) == Empty ||
                          (takesFirst && reply == PointIndex(first.row, first.col))) &&
                         !(takesFirst && reply == PointIndex(second.row, second.col));
  if (!replyFree) {
    std::cerr << "tesmor: refused White's answer " << value
              << " to the offerings: the reply is no empty point\n";
    return;
  }

  host_.InvalidateCell(second.row, second.col, !takesFirst);
  if (takesFirst) {
    game_.ReplaceNewestMove(second.row, second.col);
    host_.InvalidateCell(first.row, first.col, true);
  }
  AppendStone(PointRow(reply), PointCol(reply));
  SyncDisplay();
  secondOffer_ = {-1, -1};
  rifFifthState_ = 0;
  host_.Beep();
  RefreshPanel();
}

// ---------------------------------------------------------------------------------------------
// Settings

void Controller::RulesCommand(int command) {
  if (command == CmdRulesRif) {
    if (!useBook_) ToggleUseBook();
    if (level_ == 1) LevelCommand(CmdLevel1);
  }
  const bool rif = command == CmdRulesRif;
  SetEnabled(CmdUseBook, !rif);
  SetEnabled(CmdLevel0, !rif);
  MoveTick({CmdRulesFree, CmdRulesForbidden, CmdRulesRif}, command);
  rulesItem_ = command;
  SetButton(RulesButton, rif ? ImageRif : command == CmdRulesFree ? ImageFree : ImageForbidden);
  game_.forbiddenRulesOn = command != CmdRulesFree;
  rifRules_ = rif;
}

void Controller::ModeCommand(int command) {
  MoveTick({CmdModeComputer, CmdModeTwoPlayers}, command);
  if (command == CmdModeTwoPlayers) {
    SetButton(ModeButton, ImageTwoPlayers);
    playMode_ = TwoHumans;
  } else {
    SetButton(ModeButton, ImageComputer);
    playMode_ = HumanBlack;  // set to the side to move at the next click
  }
}

void Controller::LevelCommand(int command) {
  for (int level = 0; level < 10; ++level) {
    if (LevelCommands[level] != command) continue;
    SetChecked(levelItem_, false);
    SetChecked(command, true);
    levelItem_ = command;
    level_ = level + 1;
  }
}

void Controller::SearchModeCommand(int command) {
  MoveTick({CmdFastSearch, CmdAccurateSearch, CmdExactSearch}, command);
  searchMode_ = command;
}

void Controller::ToggleShowNumbers() {
  showNumbers_ = !MenuChecked(CmdShowNumbers);
  SetChecked(CmdShowNumbers, showNumbers_);
  host_.RepaintAll();
}

void Controller::ToggleUseBook() {
  useBook_ = !MenuChecked(CmdUseBook);
  SetChecked(CmdUseBook, useBook_);
}

void Controller::LoadGame() {
  const std::optional<std::string> path = host_.OpenFileDialog("读取文件", lastFileName_);
  if (!path) return;
  lastFileName_ = *path;
  const PositionFileResult read = ReadPositionFile(*path);
  if (!read.ok) {
    std::cerr << "tesmor: " << *path << ": " << read.error << "\n";
    host_.MessageBox("文件读取失败！", kFileCaption, MessageIcon::Exclamation, MessageButtons::Ok);
    return;
  }
  ApplyPositionFile(game_, read.file);
  SyncDisplay();
  RefreshPanel();
  host_.RepaintAll();
}

void Controller::SaveGame() {
  const std::optional<std::string> path = host_.SaveFileDialog("保存文件", lastFileName_);
  if (!path) return;
  lastFileName_ = *path;
  std::string error;
  if (!WritePositionFile(*path, game_, &error)) {
    std::cerr << "tesmor: " << error << "\n";
    host_.MessageBox("文件保存失败！", kFileCaption, MessageIcon::Exclamation, MessageButtons::Ok);
  }
}

// ---------------------------------------------------------------------------------------------
// Screen

void Controller::RefreshPanel() {
  if (panel_.Set(1, game_.moveCount < 3 ? std::string() : OpeningName(game_)))
    host_.InvalidatePanelLine(1);
  if (panel_.Set(3, std::to_string(game_.moveCount) + "手")) host_.InvalidatePanelLine(3);
}

void Controller::SyncDisplay() {
  displayCells_ = game_.cells;
  displayMoveCount_ = game_.moveCount;
}

bool Controller::MenuChecked(int command) const {
  const auto item = menu_.find(command);
  return item != menu_.end() && item->second.checked;
}

bool Controller::MenuEnabled(int command) const {
  const auto item = menu_.find(command);
  return item != menu_.end() && item->second.enabled;
}

void Controller::SetChecked(int command, bool checked) {
  menu_[command].checked = checked;
  host_.SetMenuChecked(command, checked);
}

void Controller::SetEnabled(int command, bool enabled) {
  menu_[command].enabled = enabled;
  host_.SetMenuEnabled(command, enabled);
}

void Controller::MoveTick(std::initializer_list<int> group, int ticked) {
  for (int command : group) SetChecked(command, command == ticked);
}

void Controller::SetButton(int button, int image) {
  buttonImages_[button] = image;
  host_.SetButtonImage(button, image);
}

void Controller::BusyNotice() {
  Notice("计算中，暂时无法使用该功能！");
}

void Controller::Notice(const char* text) {
  host_.MessageBox(text, kNoticeCaption, MessageIcon::Exclamation, MessageButtons::Ok);
}

}  // namespace tesmor
