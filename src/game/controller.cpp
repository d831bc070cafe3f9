#include "game/controller.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <iostream>
#include <iterator>

#include "board/forbidden.h"
#include "board/input_echo.h"
#include "board/move_text.h"
#include "board/symmetry.h"
#include "book/book_location.h"
#include "game/openings.h"
#include "game/position_file.h"

namespace tesmor {

namespace {

// The longest "大师" may think on the window's thread.
constexpr std::chrono::milliseconds WindowThreadMasterTime{1000};

constexpr const char* kNoticeCaption = "提示消息";
constexpr const char* kResultCaption = "游戏结束";
constexpr const char* kFileCaption = "提示信息";

bool IsPoint(int value) {
  return value >= 0 && value < CellCount;
}

// Tells the user at start-up that there is no book, or that the book lost moves to damage and
// the computer plays from the rest.
void ReportBook(Host& host, const BookLoadReport& book) {
  if (!book.loaded) {
    host.MessageBox("棋谱读取失败！", kFileCaption, MessageIcon::Exclamation, MessageButtons::Ok);
  } else if (book.damaged) {
    std::cerr << "tesmor: " << BookDamageNote(book) << "\n";
    host.MessageBox(BookDamageText(book.movesKept), kFileCaption, MessageIcon::Exclamation,
                    MessageButtons::Ok);
  }
}

}  // namespace

Controller::Controller(Host& host, ComputerPlayer& computer, RandomSource& random)
    : host_(host), computer_(computer), random_(random), menu_(host) {
  ClearGameState(game_);
}

void Controller::Start() {
  menu_.ShowAll(settings_);
  ReportBook(host_, computer_.LoadOpeningBook());
  gameInProgress_ = false;
  Command(CmdPlayBlack);
}

// ---------------------------------------------------------------------------------------------
// Commands

bool Controller::IsGuarded(int command) const {
  // The thinking time is read when a search starts, so a change while one runs waits for the
  // next.
  for (const MasterTimeItem& item : MasterTimeItems)
    if (command == item.command) return false;
  switch (command) {
    case CmdStop:
    case CmdExit:
    case CmdShowNumbers:
    case CmdUseBook:
    case CmdMarkForbidden:
    case CmdCopyRecord:
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
  if (!SettingsCommand(command)) GameCommand(command);
  ShowState();
}

// The commands that change a setting; false for the others.
bool Controller::SettingsCommand(int command) {
  switch (command) {
    case CmdModeComputer:
    case CmdModeTwoPlayers:
      ModeCommand(command);
      return true;
    case CmdRulesFree:
    case CmdRulesForbidden:
    case CmdRulesRif:
      RulesCommand(command);
      return true;
    case CmdFastSearch:
    case CmdAccurateSearch:
    case CmdExactSearch:
      SearchModeCommand(command);
      return true;
    case CmdShowNumbers:
      ToggleShowNumbers();
      return true;
    case CmdUseBook:
      ToggleUseBook();
      return true;
    case CmdMarkForbidden:
      ToggleMarkForbidden();
      return true;
    default:
      break;
  }
  for (size_t level = 0; level < std::size(LevelCommands); ++level) {
    if (command != LevelCommands[level]) continue;
    LevelCommand(static_cast<int>(level));
    return true;
  }
  for (const MasterTimeItem& item : MasterTimeItems) {
    if (command != item.command) continue;
    settings_.masterTime = item.time;
    menu_.Show(settings_);
    return true;
  }
  return false;
}

void Controller::GameCommand(int command) {
  switch (command) {
    case CmdPlayBlack:
    case CmdPlayWhite:
    case CmdTwoPlayers:
      NewGame(command);
      break;
    case CmdOpen:
      LoadGame();
      break;
    case CmdSave:
      SaveGame();
      break;
    case CmdCopyRecord:
      host_.SetClipboardText(MoveListText(game_));
      break;
    case CmdPasteRecord:
      PasteRecord();
      break;
    case CmdHint:
      if (rif() && (game_.moveCount == 4 || rifFifthState_ != 0)) break;
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
    case CmdTakeBackTurn:
      TakeBackTurn();
      break;
    case CmdExit:
      host_.Quit();
      break;
    case CmdAbout:
      host_.ShowAbout();
      break;
    default:
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
      if (settings_.playMode == TwoHumans) {
        Command(CmdTwoPlayers);
      } else {
        random_.Seed();
        Command(random_.Next() % 2 == 1 ? CmdPlayBlack : CmdPlayWhite);
      }
      break;
    case ModeButton:
      Command(settings_.playMode == TwoHumans ? CmdModeComputer : CmdModeTwoPlayers);
      break;
    case RulesButton:
      if (rif())
        Command(CmdRulesFree);
      else if (settings_.rules == RuleSet::Free)
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

void Controller::BoardClick(BoardPoint point) {
  if (OnBoard(point.row, point.col)) HandleBoardClick(point.row, point.col);
  ShowState();
}

void Controller::RightClick() {
  if (!computing_) Command(CmdTakeBack);
}

int Controller::HandleWorkerMessage(const WorkerMessage& message) {
  switch (message.event) {
    case WorkerEvent::ComputerMoved:
      computing_ = false;
      PlaceStone(message.colour, message.answer);
      ShowState();
      break;
    case WorkerEvent::ProgressChanged:
      host_.InvalidatePanelLine(message.value);
      break;
    case WorkerEvent::ProposePoint:
      return ProposePoint(message.value, message.length);
    case WorkerEvent::PlayProposal:
      BoardClick({PointRow(message.value), PointCol(message.value)});
      break;
    case WorkerEvent::NoVcfFound:
      host_.MessageBox("没有找到VCF！", kNoticeCaption, MessageIcon::Information,
                       MessageButtons::Ok);
      break;
    case WorkerEvent::Finished:
      computing_ = false;
      ShowState();
      break;
  }
  return 0;
}

int Controller::ProposePoint(int point, int vcfLength) {
  // The point is marked on the board while the box asks about it.
  proposedPoint_ = IsPoint(point) ? point : NoPoint;
  UpdateMarks();
  std::string text = "提示：" + PointText(point);
  if (vcfLength > 0) text += "\n连续冲四，第" + std::to_string(vcfLength) + "手必胜";
  const MessageAnswer answer =
      host_.MessageBox(text, kNoticeCaption, MessageIcon::Information, MessageButtons::OkCancel);
  proposedPoint_ = NoPoint;
  UpdateMarks();
  return answer == MessageAnswer::Ok ? 1 : 0;
}

// ---------------------------------------------------------------------------------------------
// Game flow

void Controller::ResetGame() {
  ClearGameState(game_);
  game_.forbiddenRulesOn = settings_.rules != RuleSet::Free;
  outcomeStones_.clear();
  SyncDisplay();
  ClearProgress();
}

void Controller::NewGame(int kind) {
  if (computing_) {
    BusyNotice();
    return;
  }
  secondOffer_ = {-1, -1};
  rifFifthState_ = 0;
  settings_.playMode = kind == CmdPlayBlack   ? HumanBlack
                       : kind == CmdPlayWhite ? HumanWhite
                                              : TwoHumans;
  gameInProgress_ = true;
  ResetGame();
  menu_.Show(settings_);

  if (kind == CmdPlayWhite && rif()) {
    LayComputerOpening();
    return;
  }
  host_.RepaintAll();
  RefreshPanel();
  if (kind == CmdPlayWhite) PlaceStone(Black, ComputeOnWindowThread());
}

void Controller::HandleBoardClick(int row, int col) {
  PlayMode& mode = settings_.playMode;
  if (mode == HumanBlack || mode == HumanWhite) {
    if (game_.moveCount % 2 == 0)
      mode = HumanBlack;
    else
      mode = rifFifthState_ == 0 ? HumanWhite : HumanBlack;
  }
  if (!gameInProgress_ || computing_) return;
  const bool occupied = game_.cell(row, col) != Empty;
  const int point = PointIndex(row, col);

  switch (mode) {
    case TwoHumans:
      if (!occupied) PlaceStone(game_.SideToMove(), ComputerAnswer::Play(point));
      break;
    case HumanWhite:
      if (occupied) return;
      PlaceStone(White, ComputerAnswer::Play(point));
      if (rif() && game_.moveCount < 3) return;
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
  PlaceStone(Black, ComputerAnswer::Play(PointIndex(row, col)));
  if (!rif()) {
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

// A stone of either player, or the computer's answer; a human's stone is a plain point.
void Controller::PlaceStone(int colour, const ComputerAnswer& answer) {
  using Kind = ComputerAnswer::Kind;
  if (answer.kind == Kind::Resignation) {
    AnnounceResult(colour == Black ? "白方胜！（黑方认输）" : "黑方胜！（白方认输）");
    return;
  }
  if (colour == Black && answer.kind == Kind::OfferingPair && rif() && game_.moveCount == 4) {
    PlaceComputerOfferings(answer);
    return;
  }
  if (colour == White && rif() && rifFifthState_ == 2) {
    ComputerTakesOfferingAwayAndReplies(answer);
    return;
  }
  if (!RecordStone(colour, answer.kind == Kind::Point ? answer.point : NoPoint)) return;

  if (colour == Black)
    BlackResultTests();
  else if (WinnerAtFocus(game_) != 0)
    AnnounceResult("白方胜！", CellMark::Winning);
}

void Controller::BlackResultTests() {
  if (WinnerAtFocus(game_) != 0) {
    AnnounceResult("黑方胜！", CellMark::Winning);
    return;
  }
  switch (ForbiddenKindAt(game_, game_.focusRow, game_.focusCol)) {
    case ThreeThree:
      AnnounceResult("白方胜！（黑方三·三禁手）", CellMark::Foul);
      return;
    case FourFour:
      AnnounceResult("白方胜！（黑方四·四禁手）", CellMark::Foul);
      return;
    case Overline:
      AnnounceResult("白方胜！（黑方长连禁手）", CellMark::Foul);
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
  UpdateMarks();
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

// Ends the game; a five or a foul at the focus stays marked on the board, shown before the box.
void Controller::AnnounceResult(const char* text, CellMark decided) {
  gameInProgress_ = false;
  outcomeKind_ = decided;
  if (decided == CellMark::Winning)
    outcomeStones_ = FiveStones(game_, game_.focusRow, game_.focusCol);
  else if (decided == CellMark::Foul)
    outcomeStones_ = {BoardPoint{game_.focusRow, game_.focusCol}};
  UpdateMarks();
  host_.MessageBox(text, kResultCaption, MessageIcon::Information, MessageButtons::Ok);
}

bool Controller::TakeBackRefused(bool fromMenu, int stones) {
  if (computing_) {
    if (fromMenu) BusyNotice();
    return true;
  }
  if (game_.moveCount < stones || (rif() && rifFifthState_ != 0)) {
    Notice("无法悔棋！");
    return true;
  }
  return false;
}

void Controller::TakeBack(bool fromMenu) {
  if (TakeBackRefused(fromMenu, 1)) return;
  RemoveNewestStone();
  RefreshPanel();
}

// Takes back whole turns, so that the human keeps their colour: against the computer its answer
// and the human's move before it (only the human's move when the game ended on it), between two
// humans the newest move of each.
void Controller::TakeBackTurn() {
  int stones = 2;
  if (settings_.playMode != TwoHumans) {
    const int human = settings_.playMode == HumanWhite ? White : Black;
    if (game_.SideToMove() != human) stones = 1;
  }
  if (TakeBackRefused(true, stones)) return;
  for (int i = 0; i < stones; ++i) RemoveNewestStone();
  RefreshPanel();
}

void Controller::RemoveNewestStone() {
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
  outcomeStones_.clear();
}

MoveRequest Controller::MakeRequest() {
  MoveRequest request;
  request.level = settings_.level;
  request.masterTime = settings_.masterTime;
  request.mode = settings_.mode;
  request.rules = settings_.rules;
  request.useBook = settings_.useBook;
  request.offeringsOpen = rifFifthState_ == 2;
  request.secondOffer = secondOffer_;
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
  // A move played without a search leaves no figures of an earlier search behind.
  ClearProgress();
  job_ = {kind, game_, MakeRequest(), &panel_};
  host_.StartWorker(kind);
}

// The two computer moves that the window's thread computes itself: White's first stone when the
// human plays White without the RIF opening, and the fourth stone after a swap.
ComputerAnswer Controller::ComputeOnWindowThread() {
  class PanelOnWindowThread final : public SearchProgress {
   public:
    explicit PanelOnWindowThread(Controller& controller) : controller_(controller) {}
    void Progress(ProgressField field, int value) override {
      controller_.ShowProgress(field, value);
    }

   private:
    Controller& controller_;
  } progress(*this);
  MoveRequest request = MakeRequest();
  request.progress = &progress;
  // Nothing can stop a computation on the window's thread, and the window does not answer while it
  // runs: "大师" gets at most a second here, whatever its thinking time.
  request.masterTime = std::min(request.masterTime, WindowThreadMasterTime);
  stopRequested_ = false;
  ClearProgress();
  return computer_.ChooseMove(game_, request);
}

void Controller::ShowProgress(ProgressField field, int value) {
  const int line = ProgressLine(field);
  panel_.Set(line, ProgressText(field, value));
  host_.InvalidatePanelLine(line);
}

// ---------------------------------------------------------------------------------------------
// Settings

void Controller::RulesCommand(int command) {
  const RuleSet rules = command == CmdRulesRif    ? RuleSet::Rif
                        : command == CmdRulesFree ? RuleSet::Free
                                                  : RuleSet::Forbidden;
  if (rules == RuleSet::Rif) {
    settings_.useBook = true;
    if (settings_.level == 0) settings_.level = 1;
  }
  settings_.rules = rules;
  game_.forbiddenRulesOn = rules != RuleSet::Free;
  menu_.Show(settings_);
}

void Controller::ModeCommand(int command) {
  // Against the computer the side is settled at the next click, by the side to move.
  settings_.playMode = command == CmdModeTwoPlayers ? TwoHumans : HumanBlack;
  menu_.Show(settings_);
}

void Controller::LevelCommand(int level) {
  settings_.level = level;
  menu_.Show(settings_);
}

void Controller::SearchModeCommand(int command) {
  settings_.mode = command == CmdExactSearch      ? SearchMode::Exact
                   : command == CmdAccurateSearch ? SearchMode::Accurate
                                                  : SearchMode::Fast;
  menu_.Show(settings_);
}

void Controller::ToggleShowNumbers() {
  settings_.showNumbers = !settings_.showNumbers;
  menu_.Show(settings_);
  host_.RepaintAll();
}

void Controller::ToggleUseBook() {
  settings_.useBook = !settings_.useBook;
  menu_.Show(settings_);
}

void Controller::ToggleMarkForbidden() {
  settings_.markForbidden = !settings_.markForbidden;
  menu_.Show(settings_);
}

void Controller::LoadGame() {
  const std::optional<std::string> path = host_.OpenFileDialog("读取文件", lastFileName_);
  if (!path) return;
  lastFileName_ = *path;
  const PositionFileResult read = ReadPositionFile(*path);
  if (!read.ok) {
    std::cerr << "tesmor: " << EchoInput(*path) << ": " << read.error << "\n";
    host_.MessageBox("文件读取失败！\n" + read.error, kFileCaption, MessageIcon::Exclamation,
                     MessageButtons::Ok);
    return;
  }
  ApplyPositionFile(game_, read.file);
  ShowPosition();
}

// A position put in place of the game's, from a file or from text: what ended the last game is
// no longer on the board.
void Controller::ShowPosition() {
  outcomeStones_.clear();
  SyncDisplay();
  RefreshPanel();
  host_.RepaintAll();
}

// Reads the clipboard's moves as a file is read: a text with any fault is refused as a whole,
// with its reason, and the game stays as it was.
void Controller::PasteRecord() {
  GameState parsed = game_;
  MoveTextError error;
  const std::string text = host_.ClipboardText();
  std::string reason;
  if (text.find_first_not_of(" \t\r\n,") == std::string::npos)
    reason = "剪贴板中没有棋谱";
  else if (!ReadMoveList(text, parsed, error))
    reason = (error.fault == MoveTextFault::PlayedTwice ? "重复的落点：" : "无法识别的落点：") +
             error.word;
  if (!reason.empty()) {
    host_.MessageBox("棋谱读取失败！\n" + reason, kFileCaption, MessageIcon::Exclamation,
                     MessageButtons::Ok);
    return;
  }
  PositionFile file;
  file.moves.assign(parsed.history.begin(), parsed.history.begin() + parsed.moveCount);
  ApplyPositionFile(game_, file);
  ShowPosition();
}

void Controller::SaveGame() {
  const std::optional<std::string> path = host_.SaveFileDialog("保存文件", lastFileName_);
  if (!path) return;
  lastFileName_ = *path;
  std::string error;
  if (!WritePositionFile(*path, game_, &error)) {
    std::cerr << "tesmor: " << *path << ": " << error << "\n";
    host_.MessageBox("文件保存失败！", kFileCaption, MessageIcon::Exclamation, MessageButtons::Ok);
  }
}

// ---------------------------------------------------------------------------------------------
// Screen

void Controller::RefreshPanel() {
  if (panel_.Set(PanelOpeningLine, game_.moveCount < 3 ? std::string() : OpeningName(game_)))
    host_.InvalidatePanelLine(PanelOpeningLine);
  if (panel_.Set(PanelMoveCountLine, std::to_string(game_.moveCount) + "手"))
    host_.InvalidatePanelLine(PanelMoveCountLine);
  if (panel_.Set(PanelTurnLine, TurnText())) host_.InvalidatePanelLine(PanelTurnLine);
  if (panel_.Set(PanelGuideLine, GuideText())) host_.InvalidatePanelLine(PanelGuideLine);
}

// Whose turn it is; against the computer, whether that is the human or the computer (after a
// single take-back the human plays the other colour, and this line says so).
std::string Controller::TurnText() const {
  if (!gameInProgress_) return "对局结束";
  const int side = rifFifthState_ == 1 ? Black : game_.SideToMove();
  std::string text = side == Black ? "轮到：黑方" : "轮到：白方";
  if (settings_.playMode == TwoHumans) return text;
  const bool computerThinks = computing_ && job_.kind == WorkerKind::ComputerMove;
  return text + (computerThinks ? "（电脑）" : "（您）");
}

// What the RIF opening waits for from the human.
std::string Controller::GuideText() const {
  if (!rif() || !gameInProgress_ || computing_) return "";
  if (rifFifthState_ == 1) return "请下第二个五手打点";
  if (rifFifthState_ == 2) return "请选择去掉的五手";
  return "";
}

void Controller::ClearProgress() {
  for (const ProgressField field : {ProgressField::Depth, ProgressField::Score,
                                    ProgressField::BestPoint, ProgressField::CurrentPoint}) {
    const int line = ProgressLine(field);
    const bool figure = field == ProgressField::Depth || field == ProgressField::Score;
    if (panel_.Set(line, figure ? "0" : "")) host_.InvalidatePanelLine(line);
  }
}

// Brings the panel's notes and the board's marks up to date after an event.
void Controller::ShowState() {
  RefreshPanel();
  UpdateMarks();
}

// Works out every mark from the record and the settings and has the cells whose mark changed
// repainted. Called after each change to the game, and before a box that asks about the board.
void Controller::UpdateMarks() {
  BoardMarks marks{};
  const bool blackToMove = game_.SideToMove() == Black && rifFifthState_ == 0;
  if (settings_.markForbidden && gameInProgress_ && blackToMove)
    for (const BoardPoint p : ForbiddenPoints(game_))
      marks[CellIndex(p.row, p.col)] = CellMark::Forbidden;
  for (const BoardPoint p : outcomeStones_) marks[CellIndex(p.row, p.col)] = outcomeKind_;
  if (IsPoint(proposedPoint_))
    marks[CellIndex(PointRow(proposedPoint_), PointCol(proposedPoint_))] = CellMark::Proposed;
  for (int cell = 0; cell < CellCount; ++cell) {
    if (marks[cell] == marks_[cell]) continue;
    host_.InvalidateCell(cell / BoardSize, cell % BoardSize, marks[cell] == CellMark::None);
  }
  marks_ = marks;
}

void Controller::SyncDisplay() {
  displayCells_ = game_.cells;
  displayMoveCount_ = game_.moveCount;
}

void Controller::BusyNotice() {
  Notice("计算中，暂时无法使用该功能！");
}

void Controller::Notice(const char* text) {
  host_.MessageBox(text, kNoticeCaption, MessageIcon::Exclamation, MessageButtons::Ok);
}

}  // namespace tesmor
