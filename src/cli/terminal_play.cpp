#include "cli/terminal_play.h"

#include <poll.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <sstream>
#include <thread>
#include <vector>

#include "board/random_source.h"
#include "game/controller.h"
#include "tesmor_version.h"

namespace tesmor {

namespace {

// Lines from a file descriptor, buffered so that the event loop can wait on the descriptor with
// poll() while a message box reads its answer synchronously.
class LineInput {
 public:
  explicit LineInput(int fd) : fd_(fd) {}
  int fd() const { return fd_; }
  bool atEnd() const { return atEnd_ && buffer_.empty(); }
  bool HasLine() const {
    return buffer_.find('\n') != std::string::npos || (atEnd_ && !buffer_.empty());
  }

  // One read() into the buffer; false once the input has ended.
  bool Fill() {
    char chunk[4096];
    ssize_t n = 0;
    do {
      n = ::read(fd_, chunk, sizeof chunk);
    } while (n < 0 && errno == EINTR);
    if (n <= 0) {
      atEnd_ = true;
      return false;
    }
    buffer_.append(chunk, static_cast<size_t>(n));
    return true;
  }

  // The next line, waiting for it if need be; false at the end of the input.
  bool ReadLine(std::string& line) {
    while (!HasLine())
      if (!Fill() && buffer_.empty()) return false;
    const size_t end = buffer_.find('\n');
    line = buffer_.substr(0, end);
    buffer_.erase(0, end == std::string::npos ? buffer_.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
  }

 private:
  int fd_;
  std::string buffer_;
  bool atEnd_ = false;
};

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string word; in >> word;) {
    for (char& ch : word) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    words.push_back(word);
  }
  return words;
}

constexpr const char* kHelp =
    "落子：输入点的坐标，如 h8（列 a..o 从左数，行 1..15 从下数）。\n"
    "命令：\n"
    "  new [black|white|two]    新游戏：执黑、执白、双人（不写则掷硬币定先后）\n"
    "  mode computer|two        切换：人机、双人\n"
    "  rules free|forbidden|rif 规则：无禁手、有禁手、RIF规则\n"
    "  level 0..9|master        电脑的等级（master：大师）\n"
    "  mastertime 1|3|10|30     大师思考时间（秒）\n"
    "  search fast|accurate|exact  快速、准确、精确搜索\n"
    "  hint, vcf                电脑搜索（提示）、搜索VCF\n"
    "  stop                     停止搜索\n"
    "  wait                     等电脑算完\n"
    "  undo                     悔棋\n"
    "  save [文件], open [文件]  保存、打开棋局文件\n"
    "  numbers, book            显示标号、使用棋谱（开／关）\n"
    "  board, status, about, help, quit  棋盘、状态、关于、帮助、退出\n";

// The terminal's side of the controller: draws the board, asks questions on the terminal, and
// carries the worker's messages to the main thread, which handles them between commands.
class TerminalHost final : public Host, public WindowLink {
 public:
  TerminalHost(LineInput& input, std::ostream& out, ComputerPlayer& computer)
      : input_(input), out_(out), computer_(computer), controller_(*this, computer, random_) {
    if (::pipe(wakeup_) != 0) wakeup_[0] = wakeup_[1] = -1;
  }

  ~TerminalHost() override {
    Shutdown();
    for (int fd : wakeup_)
      if (fd >= 0) ::close(fd);
  }

  int Run() {
    controller_.Start();
    out_ << ProgramTitle << " 终端版。输入 help 查看命令。\n";
    Redraw();
    while (!quit_) {
      if (input_.HasLine()) {
        std::string line;
        input_.ReadLine(line);
        HandleLine(line);
      } else if (HandleOneMessage()) {
        continue;
      } else if (input_.atEnd()) {
        break;
      } else {
        WaitForEvent(true);
      }
      if (dirty_) Redraw();
    }
    Shutdown();
    return 0;
  }

  // Host ------------------------------------------------------------------------------------

  MessageAnswer MessageBox(const std::string& text, const std::string& caption, MessageIcon,
                           MessageButtons buttons) override {
    if (dirty_) Redraw();
    out_ << "【" << caption << "】" << text;
    if (buttons == MessageButtons::Ok) {
      out_ << "\n" << std::flush;
      return MessageAnswer::Ok;
    }
    const bool yesNo = buttons == MessageButtons::YesNo;
    out_ << (yesNo ? "（yes 是 / no 否）" : "（ok 确定 / cancel 取消）") << std::flush;
    std::string line;
    const std::vector<std::string> words = input_.ReadLine(line) ? Words(line) : Words("");
    const std::string answer = words.empty() ? "" : words[0];
    out_ << "\n";
    if (yesNo)
      return answer == "y" || answer == "yes" || answer == "是" ? MessageAnswer::Yes
                                                                : MessageAnswer::No;
    return answer == "ok" || answer == "o" || answer == "y" || answer == "yes"
               ? MessageAnswer::Ok
               : MessageAnswer::Cancel;
  }
  void Beep() override {}
  void InvalidateCell(int, int, bool) override { dirty_ = true; }
  void InvalidatePanelLine(int index) override {
    if (index == 1 || index == 3) dirty_ = true;
  }
  void RepaintAll() override { dirty_ = true; }
  void SetMenuChecked(int, bool) override {}
  void SetMenuEnabled(int, bool) override {}
  void SetButtonImage(int, int) override {}
  void StartWorker(WorkerKind) override {
    JoinFinishedWorkers();
    const WorkerJob job = controller_.CurrentJob();
    auto done = std::make_shared<std::atomic<bool>>(false);
    workers_.push_back({std::thread([this, job, done] {
                          RunWorkerJob(job, computer_, *this);
                          *done = true;
                          Wake();
                        }),
                        done});
  }
  std::optional<std::string> OpenFileDialog(const std::string& title,
                                            const std::string& lastName) override {
    return AskFileName(title, lastName);
  }
  std::optional<std::string> SaveFileDialog(const std::string& title,
                                            const std::string& lastName) override {
    return AskFileName(title, lastName);
  }
  void ShowAbout() override { out_ << "关于 " << ProgramTitle << "\n  " << ProgramTitle << "\n"; }
  void Quit() override { quit_ = true; }

  // WindowLink, called on a worker thread -----------------------------------------------------

  int Send(const WorkerMessage& message) override {
    std::future<int> answer;
    {
      std::lock_guard lock(mutex_);
      if (closing_) return 0;
      messages_.push_back({message, std::promise<int>()});
      answer = messages_.back().answer.get_future();
    }
    Wake();
    return answer.get();
  }

  // Wakes the main thread from poll().
  void Wake() {
    if (wakeup_[1] < 0) return;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeup_[1], &byte, 1);
  }

 private:
  struct Message {
    WorkerMessage message;
    std::promise<int> answer;
  };
  struct Worker {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done;
  };

  bool HandleOneMessage() {
    std::optional<Message> message;
    {
      std::lock_guard lock(mutex_);
      if (messages_.empty()) return false;
      message.emplace(std::move(messages_.front()));
      messages_.pop_front();
    }
    message->answer.set_value(controller_.HandleWorkerMessage(message->message));
    return true;
  }

  // Waits until a worker message or (when watchInput) more input arrives.
  void WaitForEvent(bool watchInput) {
    pollfd fds[2] = {{wakeup_[0], POLLIN, 0}, {input_.fd(), POLLIN, 0}};
    const int count = watchInput ? 2 : 1;
    if (::poll(fds, count, -1) <= 0) return;
    if (fds[0].revents & POLLIN) {
      char drain[64];
      [[maybe_unused]] const ssize_t n = ::read(wakeup_[0], drain, sizeof drain);
    }
    if (watchInput && (fds[1].revents & (POLLIN | POLLHUP | POLLERR))) input_.Fill();
  }

  // Waits until the computer has finished, including what a worker sends after its result (an
  // accepted hint's click, which may start the computer's answer).
  void WaitForComputer() {
    while (controller_.computing() || WorkerRunning()) {
      if (!HandleOneMessage()) WaitForEvent(false);
      if (dirty_) Redraw();
    }
  }

  bool WorkerRunning() const {
    for (const Worker& worker : workers_)
      if (!*worker.done) return true;
    return false;
  }

  std::optional<std::string> AskFileName(const std::string& title, const std::string& lastName) {
    if (!pendingFileName_.empty()) return std::exchange(pendingFileName_, std::string());
    out_ << title << (lastName.empty() ? "" : " [" + lastName + "]") << ": " << std::flush;
    std::string line;
    if (!input_.ReadLine(line)) return std::nullopt;
    const size_t begin = line.find_first_not_of(" \t");
    line = begin == std::string::npos
               ? ""
               : line.substr(begin, line.find_last_not_of(" \t") - begin + 1);
    if (line.empty()) return lastName.empty() ? std::nullopt : std::optional(lastName);
    return line;
  }

  using Options = std::initializer_list<std::pair<const char*, int>>;

  // The command of the option named by arg, or a usage line.
  void Choose(const std::string& verb, const std::string& arg, Options options) {
    for (const auto& [name, command] : options)
      if (arg == name) return controller_.Command(command);
    std::string names;
    for (const auto& option : options)
      names += (names.empty() ? "" : "|") + std::string(option.first);
    out_ << "用法：" << verb << " " << names << "\n";
  }

  // "level 0".."level 9" and "level master"; a level the menu greys out is said to be so.
  void ChooseLevel(const std::string& arg) {
    int level = -1;
    if (arg == "master")
      level = MasterLevel;
    else if (arg.size() == 1 && arg[0] >= '0' && arg[0] <= '9')
      level = arg[0] - '0';
    if (level < 0) {
      out_ << "用法：level 0..9|master\n";
      return;
    }
    const int command = LevelCommands[level];
    if (!controller_.MenuEnabled(command)) out_ << CommandText(command) << " 现在不可选\n";
    controller_.Command(command);
  }

  void HandleLine(const std::string& line) {
    const std::vector<std::string> words = Words(line);
    if (words.empty()) return;
    const std::string& verb = words[0];
    const std::string arg = words.size() > 1 ? words[1] : "";
    const int point = ParsePoint(verb);
    if (point != NoPoint)
      controller_.BoardClick({PointRow(point), PointCol(point)});
    else if (!SettingsLine(verb, arg) && !ActionLine(verb, line))
      out_ << "未知命令「" << verb << "」（输入 help 查看命令）\n";
  }

  // The verbs of the settings menus; false for the others.
  bool SettingsLine(const std::string& verb, const std::string& arg) {
    if (verb == "new" && arg.empty()) {
      controller_.ToolbarButton(0);
    } else if (verb == "new") {
      Choose(verb, arg, {{"black", CmdPlayBlack}, {"white", CmdPlayWhite}, {"two", CmdTwoPlayers}});
    } else if (verb == "mode") {
      Choose(verb, arg, {{"computer", CmdModeComputer}, {"two", CmdModeTwoPlayers}});
    } else if (verb == "rules") {
      Choose(verb, arg,
             {{"free", CmdRulesFree}, {"forbidden", CmdRulesForbidden}, {"rif", CmdRulesRif}});
    } else if (verb == "level") {
      ChooseLevel(arg);
    } else if (verb == "mastertime") {
      Choose(verb, arg,
             {{"1", CmdMasterTime1},
              {"3", CmdMasterTime3},
              {"10", CmdMasterTime10},
              {"30", CmdMasterTime30}});
    } else if (verb == "search") {
      Choose(verb, arg,
             {{"fast", CmdFastSearch}, {"accurate", CmdAccurateSearch}, {"exact", CmdExactSearch}});
    } else if (verb == "numbers") {
      controller_.Command(CmdShowNumbers);
    } else if (verb == "book") {
      controller_.Command(CmdUseBook);
      if (!controller_.MenuEnabled(CmdUseBook)) out_ << "RIF规则下总是使用棋谱\n";
    } else {
      return false;
    }
    return true;
  }

  // The other verbs; false for an unknown one.
  bool ActionLine(const std::string& verb, const std::string& line) {
    static const std::pair<const char*, int> kCommands[] = {
        {"hint", CmdHint},   {"vcf", CmdVcf},   {"stop", CmdStop}, {"undo", CmdTakeBack},
        {"about", CmdAbout}, {"quit", CmdExit}, {"exit", CmdExit},
    };
    for (const auto& [name, command] : kCommands) {
      if (verb != name) continue;
      controller_.Command(command);
      return true;
    }
    if (verb == "save" || verb == "open") {
      // File names keep their case: take the argument from the raw line.
      std::istringstream raw(line);
      std::string ignored;
      raw >> ignored >> pendingFileName_;
      controller_.Command(verb == "save" ? CmdSave : CmdOpen);
      pendingFileName_.clear();
    } else if (verb == "wait") {
      WaitForComputer();
    } else if (verb == "board") {
      dirty_ = true;
    } else if (verb == "status") {
      Status();
    } else if (verb == "help") {
      out_ << kHelp;
    } else {
      return false;
    }
    return true;
  }

  void Status() {
    auto ticked = [&](std::initializer_list<int> group) {
      for (int command : group)
        if (controller_.MenuChecked(command)) return CommandText(command);
      return "";
    };
    out_ << "规则: " << ticked({CmdRulesFree, CmdRulesForbidden, CmdRulesRif})
         << "  切换: " << (controller_.settings().playMode == TwoHumans ? "双人" : "人机")
         << "  等级: " << CommandText(LevelCommands[controller_.settings().level])
         << "  大师思考时间: "
         << ticked({CmdMasterTime1, CmdMasterTime3, CmdMasterTime10, CmdMasterTime30})
         << "  搜索: " << ticked({CmdFastSearch, CmdAccurateSearch, CmdExactSearch})
         << "  显示标号: " << (controller_.showNumbers() ? "开" : "关")
         << "  使用棋谱: " << (controller_.settings().useBook ? "开" : "关")
         << (controller_.computing() ? "  （电脑思考中）" : "") << "\n";
  }

  void ColumnLabels(bool numbers) {
    out_ << "   ";
    for (int col = 0; col < BoardSize; ++col)
      out_ << (numbers ? "   " : " ") << static_cast<char>('A' + col);
    out_ << "\n";
  }

  void Redraw() {
    dirty_ = false;
    const auto& cells = controller_.displayCells();
    const int count = controller_.displayMoveCount();
    const GameState& game = controller_.game();
    const bool numbers = controller_.showNumbers();
    const MoveRecord offer = controller_.secondOffer();
    std::array<int, CellCount> moveNumber{};
    for (int i = 0; i < count; ++i)
      moveNumber[CellIndex(game.history[i].row, game.history[i].col)] = i + 1;
    const int newest =
        count > 0 ? CellIndex(game.history[count - 1].row, game.history[count - 1].col) : -1;
    const auto panel = controller_.panel().Snapshot();

    out_ << "\n";
    ColumnLabels(numbers);
    for (int row = BoardSize - 1; row >= 0; --row) {
      char label[8];
      std::snprintf(label, sizeof label, "%2d ", row + 1);
      out_ << label;
      for (int col = 0; col < BoardSize; ++col) {
        const int index = CellIndex(row, col);
        const bool isOffer = offer.row == row && offer.col == col;
        if (numbers) {
          char cell[16];
          if (cells[index] != Empty && moveNumber[index] > 0)
            std::snprintf(cell, sizeof cell, "%3d%c", moveNumber[index],
                          index == newest ? '*' : ' ');
          else
            std::snprintf(cell, sizeof cell, "  %c ",
                          isOffer                 ? '5'
                          : cells[index] == Black ? 'X'
                          : cells[index] == White ? 'O'
                                                  : '.');
          out_ << cell;
        } else {
          const char before = index == newest ? '[' : index - 1 == newest && col > 0 ? ']' : ' ';
          out_ << before
               << (isOffer                 ? '5'
                   : cells[index] == Black ? 'X'
                   : cells[index] == White ? 'O'
                                           : '.');
        }
      }
      if (!numbers && newest == CellIndex(row, BoardSize - 1)) out_ << ']';
      const int panelLine = BoardSize - 1 - row;
      if (panelLine < PanelLineCount / 2)
        out_ << "   " << panel[2 * panelLine] << panel[2 * panelLine + 1];
      out_ << "\n";
    }
    ColumnLabels(numbers);
    out_ << (count % 2 == 0 ? "轮到黑方" : "轮到白方")
         << (controller_.computing() ? "（电脑思考中）" : "") << "\n"
         << std::flush;
  }

  void JoinFinishedWorkers() {
    for (auto it = workers_.begin(); it != workers_.end();) {
      if (*it->done) {
        it->thread.join();
        it = workers_.erase(it);
      } else {
        ++it;
      }
    }
  }

  // Stops the search, releases a worker waiting on the main thread, and joins every worker.
  void Shutdown() {
    controller_.stopRequested() = true;
    {
      std::lock_guard lock(mutex_);
      closing_ = true;
      for (Message& message : messages_) message.answer.set_value(0);
      messages_.clear();
    }
    for (Worker& worker : workers_) worker.thread.join();
    workers_.clear();
  }

  LineInput& input_;
  std::ostream& out_;
  ComputerPlayer& computer_;
  ClockRandom random_;
  Controller controller_;
  bool quit_ = false;
  bool dirty_ = false;
  std::string pendingFileName_;

  std::mutex mutex_;
  std::deque<Message> messages_;
  bool closing_ = false;
  int wakeup_[2] = {-1, -1};
  std::vector<Worker> workers_;
};

}  // namespace

int PlayInTerminal(int input, std::ostream& out, ComputerPlayer& computer) {
  LineInput lines(input);
  TerminalHost host(lines, out, computer);
  return host.Run();
}

}  // namespace tesmor
