#pragma once

#include <QMainWindow>

#include <QString>

#include <array>
#include <map>
#include <optional>

#include "board/random_source.h"
#include "game/controller.h"
#include "ui/worker_threads.h"

class QAction;

namespace tesmor {

class BoardView;
class ImageButton;

// The program's one window: menu bar, toolbar buttons, the board view, and the Host through which
// the controller reaches the screen. Owns the controller and the worker threads.
class MainWindow final : public QMainWindow, public Host {
  Q_OBJECT

 public:
  MainWindow(ComputerPlayer& computer, RandomSource& random);
  ~MainWindow() override;

  // What the window does on creation: reads the book and starts a game as Black.
  void Start();
  // Opens a position file given on the command line, as "打开" would; a refused file is shown
  // with its reason and leaves the game as it was. Returns whether the position was opened.
  bool OpenAtStart(const QString& path);

  Controller& controller() { return controller_; }
  BoardView* boardView() { return board_; }
  QAction* action(int command) const;
  ImageButton* button(int index) const { return buttons_[static_cast<size_t>(index)]; }
  const WorkerThreads& workers() const { return workers_; }

  // Host.
  MessageAnswer MessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                           MessageButtons buttons) override;
  void Beep() override;
  void InvalidateCell(int row, int col, bool erase) override;
  void InvalidatePanelLine(int index) override;
  void RepaintAll() override;
  void SetMenuChecked(int command, bool checked) override;
  void SetMenuEnabled(int command, bool enabled) override;
  void SetButtonImage(int button, int image) override;
  void StartWorker(WorkerKind kind) override;
  std::optional<std::string> OpenFileDialog(const std::string& title,
                                            const std::string& lastName) override;
  std::optional<std::string> SaveFileDialog(const std::string& title,
                                            const std::string& lastName) override;
  void ShowAbout() override;
  void Quit() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  void BuildToolbar();
  // The busy cursor over the board while the computer computes.
  void ShowBusy();
  std::optional<std::string> FileDialog(const std::string& title, const std::string& lastName,
                                        bool save);

  ComputerPlayer& computer_;
  Controller controller_;
  WorkerThreads workers_;
  BoardView* board_ = nullptr;
  std::map<int, QAction*> actions_;
  std::array<ImageButton*, ToolbarButtonCount> buttons_{};
  std::optional<QString> pendingOpen_;  // the answer of the next open dialog, when not asked
};

}  // namespace tesmor
