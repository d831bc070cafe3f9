#include "cli/gomocup_brain.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <iostream>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "board/input_echo.h"
#include "board/random_source.h"
#include "book/book_location.h"
#include "book/opening_book.h"
#include "cli/gomocup_protocol.h"
#include "game/computer_player.h"
#include "game/panel.h"
#include "search/computer_move.h"
#include "search/search_context.h"
#include "tesmor_version.h"

namespace tesmor {

namespace {

using Clock = std::chrono::steady_clock;
using namespace gomocup;

constexpr int DefaultLevel = MasterLevel;  // "大师"
constexpr int QuickLevel = 0;              // "0级"
// Below this much thinking time the level-0 move answers: it needs no stop.
constexpr int64_t MinSearchMs = 20;
// How long END waits for a stopped search before the process leaves without it.
constexpr auto EndGrace = std::chrono::milliseconds(500);

// The caches' share of the manager's memory limit (0: none): three quarters, leaving room for the
// evaluation, the book and the program itself, and never above the usual size.
size_t TableMegabytesWithin(int64_t maxMemoryBytes) {
  if (maxMemoryBytes == 0) return SearchContext::DefaultTableMegabytes;
  const int64_t megabytes = maxMemoryBytes / (int64_t{1} << 20) * 3 / 4 - 8;
  return static_cast<size_t>(
      std::clamp<int64_t>(megabytes, 1, SearchContext::DefaultTableMegabytes));
}

int64_t MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// A line of input as it may be quoted back: a manager reads replies as lines of ASCII.
std::string Quoted(const std::string& text) {
  return EchoInput(text, {.maxChars = 60, .asciiOnly = true});
}

// The master search's line: depth, score, nodes, speed and the principal variation.
std::string MasterMessage(const MasterResult& result, int64_t elapsedMs) {
  std::string message =
      "MESSAGE level master, depth " + std::to_string(result.depth) + ", score " +
      std::to_string(result.score) + ", nodes " + std::to_string(result.nodes) + ", speed " +
      std::to_string(result.nodes * 1000 / std::max<int64_t>(elapsedMs, 1)) + " nps, pv";
  for (const int point : result.pv) message += " " + MoveText(point);
  if (result.pv.empty()) message += " -";
  return message + ", " + result.decidedBy;
}

// Keeps the search's depth and score lines for the message that goes with the move. Written on
// the search thread, read after it has been joined.
class SearchReport final : public SearchProgress {
 public:
  void Progress(ProgressField field, int value) override {
    if (field == ProgressField::Depth) depth = ProgressText(field, value);
    if (field == ProgressField::Score) score = ProgressText(field, value);
  }
  std::string depth;
  std::string score;
};

// The brain: the position, the settings the manager sent, and at most one search, which runs on
// a worker thread on its own copy of the position. The main thread reads commands all along;
// while the search runs it acts on STOP, YXSTOP and END only, keeps every other line for later,
// and does not touch the search context. Not copyable: the worker holds `this`.
class Brain {
 public:
  Brain(int input, std::ostream& out, const MasterWeights& weights, int masterThreads);
  Brain(const Brain&) = delete;
  Brain& operator=(const Brain&) = delete;
  ~Brain();

  int Run();

 private:
  using Handler = void (Brain::*)(const std::string& args);
  struct Command {
    const char* keyword;
    Handler run;
  };
  static const Command* FindCommand(const std::string& keyword);

  enum class Block { None, Board, YxBoard };

  // Input and dispatch.
  void WaitForEvent();
  void HandleLine(const InputLine& line);
  void HandleWhileThinking(const InputLine& line);
  void HandleBlockLine(const InputLine& line);
  void AddBoardEntry(const BoardEntry& entry);
  void FinishBlock();

  // Commands.
  void Start(const std::string& args);
  void RectStart(const std::string& args);
  void Restart(const std::string& args);
  void Begin(const std::string& args);
  void Turn(const std::string& args);
  void Board(const std::string& args);
  void YxBoard(const std::string& args);
  void Info(const std::string& args);
  void About(const std::string& args);
  void End(const std::string& args);
  void Takeback(const std::string& args);
  void ShowForbid(const std::string& args);
  void Stop(const std::string& args);

  // Thinking.
  void NewGame();
  void StartThinking(Clock::time_point commandStart);
  void FinishThinking();
  void RequestStop();
  void Wake();

  void Reply(const std::string& line);
  void Error(const std::string& message);
  void DeferError(const std::string& message) { deferredErrors_.push_back(message); }

  int inputFd_;
  std::ostream& out_;
  LineSplitter input_;
  bool inputEnded_ = false;
  std::deque<InputLine> pending_;  // lines that came while the search ran
  bool quit_ = false;
  std::vector<std::string> deferredErrors_;  // INFO's errors wait for the next other command

  // Settings from INFO.
  bool renju_ = false;
  int level_ = DefaultLevel;
  TimeLimits limits_;

  // The position; the engine plays the side to move.
  GameState game_;
  Block block_ = Block::None;
  std::vector<BoardEntry> blockEntries_;
  std::string blockError_;
  Clock::time_point blockStart_;

  ClockRandom random_;
  OpeningBook book_;
  bool bookFound_ = false;
  bool bookNoticeGiven_ = false;
  SearchContext context_;
  SearchReport report_;

  std::thread worker_;
  bool thinking_ = false;
  std::atomic<bool> stop_{false};
  std::atomic<bool> done_{false};
  bool stopSent_ = false;
  ComputerAnswer result_;  // written by the worker before done_
  int searchLevel_ = QuickLevel;
  Clock::time_point commandStart_;
  Clock::time_point deadline_ = Clock::time_point::max();
  int wake_[2] = {-1, -1};
};

Brain::Brain(int input, std::ostream& out, const MasterWeights& weights, int masterThreads)
    : inputFd_(input), out_(out), context_(random_, &book_, nullptr) {
  ClearGameState(game_);
  context_.master().SetWeights(weights);
  context_.masterThreads = masterThreads;
  context_.SetStopFlag(&stop_);
  context_.progress = &report_;
  const BookLoadReport book = LoadOpeningBook(book_);
  bookFound_ = book.loaded;
  // The protocol owns standard output; a damaged book is told on standard error, where the
  // manager's log or the terminal shows it, before the first command is read.
  if (book.damaged) std::cerr << "pbrain-tesmor: " << BookDamageNote(book) << std::endl;
  if (::pipe(wake_) != 0) wake_[0] = wake_[1] = -1;
}

Brain::~Brain() {
  if (worker_.joinable()) {
    stop_ = true;
    worker_.join();
  }
  for (const int fd : wake_)
    if (fd >= 0) ::close(fd);
}

const Brain::Command* Brain::FindCommand(const std::string& keyword) {
  static const Command kCommands[] = {
      {"START", &Brain::Start},       {"RECTSTART", &Brain::RectStart},
      {"RESTART", &Brain::Restart},   {"BEGIN", &Brain::Begin},
      {"TURN", &Brain::Turn},         {"BOARD", &Brain::Board},
      {"YXBOARD", &Brain::YxBoard},   {"INFO", &Brain::Info},
      {"ABOUT", &Brain::About},       {"END", &Brain::End},
      {"TAKEBACK", &Brain::Takeback}, {"YXSHOWFORBID", &Brain::ShowForbid},
      {"STOP", &Brain::Stop},         {"YXSTOP", &Brain::Stop},
  };
  for (const Command& command : kCommands)
    if (keyword == command.keyword) return &command;
  return nullptr;
}

int Brain::Run() {
  while (!quit_) {
    if (thinking_) {
      if (done_) {
        FinishThinking();
      } else if (auto line = input_.Next()) {
        HandleWhileThinking(*line);
      } else {
        WaitForEvent();
      }
      continue;
    }
    if (!pending_.empty()) {
      const InputLine line = std::move(pending_.front());
      pending_.pop_front();
      HandleLine(line);
    } else if (auto line = input_.Next()) {
      HandleLine(*line);
    } else if (inputEnded_) {
      break;
    } else {
      WaitForEvent();
    }
  }
  return 0;
}

// Waits for input, for the worker's end, or for the search's deadline, whichever comes first.
void Brain::WaitForEvent() {
  pollfd fds[2] = {{wake_[0], POLLIN, 0}, {inputEnded_ ? -1 : inputFd_, POLLIN, 0}};
  int timeout = -1;
  if (thinking_ && !stop_ && deadline_ != Clock::time_point::max()) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline_ - Clock::now()).count();
    timeout = static_cast<int>(std::clamp<int64_t>(left, 0, 1000000));
  }
  // Without a wake-up pipe the worker's end is seen by polling.
  if (wake_[0] < 0 && thinking_ && (timeout < 0 || timeout > 10)) timeout = 10;
  const int ready = ::poll(fds, 2, timeout);
  if (ready > 0 && (fds[0].revents & POLLIN)) {
    char drain[64];
    [[maybe_unused]] const ssize_t n = ::read(wake_[0], drain, sizeof drain);
  }
  if (ready > 0 && (fds[1].revents & (POLLIN | POLLHUP | POLLERR))) {
    char chunk[4096];
    ssize_t n = 0;
    do {
      n = ::read(inputFd_, chunk, sizeof chunk);
    } while (n < 0 && errno == EINTR);
    if (n > 0) {
      input_.Feed(std::string_view(chunk, static_cast<size_t>(n)));
    } else {
      input_.Finish();
      inputEnded_ = true;
    }
  }
  if (thinking_ && !stop_ && Clock::now() >= deadline_) RequestStop();
}

void Brain::HandleLine(const InputLine& line) {
  if (block_ != Block::None) {
    HandleBlockLine(line);
    return;
  }
  if (line.tooLong) {
    Error("line too long: " + Quoted(line.text));
    return;
  }
  const CommandWords words = SplitCommand(line.text);
  const Command* command = FindCommand(words.keyword);
  if (!command || words.keyword != "INFO") {
    for (const std::string& message : deferredErrors_) Error(message);
    deferredErrors_.clear();
  }
  if (!command) {
    Reply("UNKNOWN command " + Quoted(line.text));
    return;
  }
  game_.forbiddenRulesOn = renju_;
  (this->*command->run)(words.rest);
}

void Brain::HandleWhileThinking(const InputLine& line) {
  const std::string keyword = SplitCommand(line.text).keyword;
  if (keyword == "STOP" || keyword == "YXSTOP") {
    RequestStop();
  } else if (keyword == "END") {
    End("");
  } else {
    pending_.push_back(line);
  }
}

// Inside BOARD or YXBOARD: entries up to DONE. A line that is a command ends the block with an
// error and then runs, so that a manager that forgot DONE is not swallowed.
void Brain::HandleBlockLine(const InputLine& line) {
  const CommandWords words = SplitCommand(line.text);
  if (!line.tooLong && words.keyword == "DONE" && words.rest.empty()) {
    FinishBlock();
    return;
  }
  if (!line.tooLong) {
    if (const auto entry = ParseBoardEntry(line.text)) {
      AddBoardEntry(*entry);
      return;
    }
    if (FindCommand(words.keyword)) {
      const char* name = block_ == Block::Board ? "BOARD" : "YXBOARD";
      block_ = Block::None;
      Error(std::string(name) + " ended without DONE; the position is unchanged");
      HandleLine(line);
      return;
    }
  }
  if (blockError_.empty()) blockError_ = "malformed line '" + Quoted(line.text) + "'";
}

void Brain::AddBoardEntry(const BoardEntry& entry) {
  if (!blockError_.empty()) return;
  const std::string where = std::to_string(entry.point.x) + "," + std::to_string(entry.point.y);
  if (entry.point.x < 0 || entry.point.x >= BoardSize || entry.point.y < 0 ||
      entry.point.y >= BoardSize) {
    blockError_ = where + " is off the 15x15 board";
  } else if (entry.field == 3) {
    blockError_ = where + ",3: the continuous game is not supported";
  } else if (entry.field != 1 && entry.field != 2) {
    blockError_ = where + "," + std::to_string(entry.field) + ": the field must be 1 or 2";
  } else {
    for (const BoardEntry& earlier : blockEntries_)
      if (earlier.point.x == entry.point.x && earlier.point.y == entry.point.y)
        blockError_ = where + " is given twice";
    if (blockError_.empty()) blockEntries_.push_back(entry);
  }
}

// The position of a BOARD or YXBOARD. The engine is to move, so equal counts make it Black and
// one stone more for the opponent make it White. Each colour's stones are played in the order
// given, alternating from Black: a list in the order the moves were played comes back as that
// game, and any other order gives the same stones.
void Brain::FinishBlock() {
  const Block kind = block_;
  block_ = Block::None;
  const std::string name = kind == Block::Board ? "BOARD" : "YXBOARD";
  if (!blockError_.empty()) {
    Error(name + ": " + blockError_ + "; the position is unchanged");
    return;
  }
  std::vector<int> own;
  std::vector<int> opponent;
  for (const BoardEntry& entry : blockEntries_)
    (entry.field == 1 ? own : opponent).push_back(PointFromProtocol(entry.point));
  if (opponent.size() != own.size() && opponent.size() != own.size() + 1) {
    Error(name + ": " + std::to_string(own.size()) + " own stones and " +
          std::to_string(opponent.size()) +
          " of the opponent do not leave the engine to move; the position is unchanged");
    return;
  }
  const std::vector<int>& black = opponent.size() == own.size() ? own : opponent;
  const std::vector<int>& white = opponent.size() == own.size() ? opponent : own;
  ClearGameState(game_);
  game_.forbiddenRulesOn = renju_;
  for (size_t i = 0; i < black.size(); ++i) {
    RecordMove(game_, PointRow(black[i]), PointCol(black[i]));
    if (i < white.size()) RecordMove(game_, PointRow(white[i]), PointCol(white[i]));
  }
  if (kind == Block::Board) StartThinking(blockStart_);
}

void Brain::Start(const std::string& args) {
  const auto size = ParseInteger(args);
  if (!size || *size != BoardSize) {
    Error("only the 15x15 board is supported");
    return;
  }
  NewGame();
  Reply("OK");
}

void Brain::RectStart(const std::string& args) {
  const auto size = ParseMove(args);
  if (!size || size->x != BoardSize || size->y != BoardSize) {
    Error("only the 15x15 board is supported");
    return;
  }
  NewGame();
  Reply("OK");
}

void Brain::Restart(const std::string&) {
  NewGame();
  Reply("OK");
}

void Brain::NewGame() {
  ClearGameState(game_);
  game_.forbiddenRulesOn = renju_;
  limits_.leftMs = limits_.matchMs > 0 ? limits_.matchMs : UnlimitedMs;
  if (!bookFound_ && !bookNoticeGiven_) {
    Reply("DEBUG no opening book M.lib found; renju openings come from the search");
    bookNoticeGiven_ = true;
  }
}

void Brain::Begin(const std::string&) {
  StartThinking(Clock::now());
}

void Brain::Turn(const std::string& args) {
  const Clock::time_point start = Clock::now();
  const auto move = ParseMove(args);
  if (!move) {
    Error("TURN needs a point x,y: '" + Quoted(args) + "'");
    return;
  }
  if (move->x == -1 && move->y == -1) {
    Error("passing is not supported");
    return;
  }
  if (move->x < 0 || move->x >= BoardSize || move->y < 0 || move->y >= BoardSize) {
    Error(Quoted(args) + " is off the 15x15 board");
    return;
  }
  const int point = PointFromProtocol(*move);
  if (game_.cell(PointRow(point), PointCol(point)) != Empty) {
    Error(MoveText(point) + " is already occupied");
    return;
  }
  RecordMove(game_, PointRow(point), PointCol(point));
  StartThinking(start);
}

void Brain::Board(const std::string&) {
  block_ = Block::Board;
  blockEntries_.clear();
  blockError_.clear();
  blockStart_ = Clock::now();
}

void Brain::YxBoard(const std::string& args) {
  Board(args);
  block_ = Block::YxBoard;
}

void Brain::Info(const std::string& args) {
  const CommandWords words = SplitCommand(args);
  const std::string& key = words.keyword;
  const auto value = ParseInteger(words.rest);
  auto needs = [&](const char* what) {
    DeferError("INFO " + Quoted(args) + ": the value must be " + what);
  };
  if (key == "TIMEOUT_TURN") {
    if (!value || *value < 0) return needs("milliseconds, 0 or more");
    limits_.turnMs = *value;
  } else if (key == "TIMEOUT_MATCH") {
    if (!value || *value < 0) return needs("milliseconds, 0 or more");
    limits_.matchMs = *value;
    limits_.leftMs = *value > 0 ? *value : UnlimitedMs;
  } else if (key == "TIME_LEFT") {
    if (!value) return needs("milliseconds");
    limits_.leftMs = std::min(*value, UnlimitedMs);
  } else if (key == "RULE") {
    if (!value) return needs("a number");
    const RuleChoice rule = RuleFromInfo(*value);
    renju_ = rule.forbidden;
    if (!rule.supported)
      DeferError("rule " + std::to_string(*value) +
                 " is not supported (0 freestyle, 4 or 2 renju); playing without forbidden moves");
  } else if (key == "LEVEL") {
    if (UpperCase(words.rest) == "MASTER") {
      level_ = MasterLevel;
      return;
    }
    if (!value || *value < 0 || *value > MasterLevel) return needs("a level 0..9, or 10 or master");
    level_ = static_cast<int>(*value);
  } else if (key == "MAX_MEMORY") {
    if (!value || *value < 0) return needs("bytes, 0 or more");
    // The classic levels' caches and the master search's table share the allowance.
    const size_t megabytes = TableMegabytesWithin(*value);
    context_.SetTableMegabytes(std::max<size_t>(megabytes / 2, 1));
    context_.SetMasterTableMegabytes(std::max<size_t>(megabytes / 2, 1));
  }
  // Other keys (game_type, folder, evaluate, ...) do not change how Tesmor plays.
}

void Brain::About(const std::string&) {
  Reply(std::string("name=\"Tesmor\", version=\"") + VersionText +
        "\", author=\"Tesmor developers\"");
}

void Brain::End(const std::string&) {
  quit_ = true;
  if (!thinking_) return;
  // END wants the process gone at once and nothing more written: stop the search, give it a
  // moment to unwind, and leave without it if it does not.
  RequestStop();
  const Clock::time_point giveUp = Clock::now() + EndGrace;
  while (!done_ && Clock::now() < giveUp) {
    pollfd wake = {wake_[0], POLLIN, 0};
    ::poll(&wake, 1, 10);
  }
  if (!done_) {
    out_.flush();
    std::_Exit(0);
  }
  worker_.join();
  thinking_ = false;
}

void Brain::Takeback(const std::string& args) {
  const auto move = ParseMove(args);
  if (!move || move->x < 0 || move->x >= BoardSize || move->y < 0 || move->y >= BoardSize) {
    Error("TAKEBACK needs a point x,y on the board: '" + Quoted(args) + "'");
    return;
  }
  const int point = PointFromProtocol(*move);
  const int row = PointRow(point);
  const int col = PointCol(point);
  if (game_.cell(row, col) == Empty) {
    Error("no stone on " + MoveText(point));
    return;
  }
  const MoveRecord newest = game_.history[static_cast<size_t>(game_.moveCount - 1)];
  if (newest.row != row || newest.col != col) {
    Error(MoveText(point) + " is not the newest stone; only that one can be taken back");
    return;
  }
  UndoMove(game_);
  Reply("OK");
}

void Brain::ShowForbid(const std::string&) {
  Reply(ForbidLine(game_));
}

// STOP with no search running has nothing to stop.
void Brain::Stop(const std::string&) {}

void Brain::StartThinking(Clock::time_point commandStart) {
  if (game_.moveCount >= CellCount) {
    Error("the board is full");
    return;
  }
  game_.forbiddenRulesOn = renju_;
  const int64_t thinkMs = ThinkingTimeMs(limits_) - MsSince(commandStart);
  const bool quick = thinkMs < MinSearchMs;
  searchLevel_ = quick ? QuickLevel : level_;
  deadline_ = quick ? Clock::time_point::max() : commandStart + std::chrono::milliseconds(thinkMs);
  commandStart_ = commandStart;

  SearchSettings settings;
  settings.rifRules = false;  // a Gomocup game has no fifth-move offerings
  // The book's lines were graded by the classic search; "大师" chooses its own openings, as it
  // scored better against "9级" from its own choices than from the book's.
  settings.useBook = renju_ && searchLevel_ != MasterLevel;
  context_.settings = settings;
  context_.masterTime = std::chrono::milliseconds(std::max<int64_t>(thinkMs, 1));
  context_.masterResult = MasterResult{};
  report_ = SearchReport();
  // Cleared here, not on the worker, so that a STOP read right after this command counts.
  stop_ = false;
  stopSent_ = false;
  done_ = false;
  thinking_ = true;
  worker_ = std::thread([this, position = game_, level = searchLevel_]() mutable {
    result_ = ComputerMoveAtLevel(context_, position, level);
    done_ = true;
    Wake();
  });
}

void Brain::FinishThinking() {
  worker_.join();
  thinking_ = false;
  const int answer = LegalAnswer(game_, result_);
  const int64_t elapsed = MsSince(commandStart_);
  if (limits_.matchMs > 0 && limits_.leftMs < UnlimitedMs) limits_.leftMs -= elapsed;

  std::string message = "MESSAGE level " + std::to_string(searchLevel_);
  if (searchLevel_ == MasterLevel) {
    message = MasterMessage(context_.masterResult, elapsed);
  } else if (!report_.depth.empty()) {
    message += ", depth " + report_.depth;
    if (!report_.score.empty()) message += ", score " + report_.score;
    message += ", nodes " + std::to_string(context_.nodeCount);
  }
  message += ", " + std::to_string(elapsed) + " ms";
  if (stopSent_) message += ", stopped";
  Reply(message);
  if (result_ != ComputerAnswer::Play(answer))
    Reply("MESSAGE the search gave no playable point; " + MoveText(answer) + " instead");
  RecordMove(game_, PointRow(answer), PointCol(answer));
  Reply(MoveText(answer));
}

void Brain::RequestStop() {
  stop_ = true;
  stopSent_ = true;
}

void Brain::Wake() {
  if (wake_[1] < 0) return;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(wake_[1], &byte, 1);
}

void Brain::Reply(const std::string& line) {
  out_ << line << '\n' << std::flush;
}

void Brain::Error(const std::string& message) {
  Reply("ERROR " + message);
}

}  // namespace

int RunGomocupBrain(int input, std::ostream& out, const MasterWeights& weights, int masterThreads) {
  Brain brain(input, out, weights, masterThreads);
  return brain.Run();
}

}  // namespace tesmor
