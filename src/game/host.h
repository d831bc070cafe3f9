#pragma once

#include <optional>
#include <string>

#include "board/board.h"

namespace tesmor {

enum class MessageIcon { Information, Exclamation, Error };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// The three long computations that run on the worker thread.
enum class WorkerKind { ComputerMove, Hint, Vcf };

// Messages from a worker (and from the window to itself) to the window's thread. Each is
// delivered synchronously: the sender waits until the window has handled it.
enum WindowMessage : int {
  WM_LBUTTONDOWN = 513,               // lParam: x in the low 16 bits, y in the high 16 bits
  UM_COMPUTER_MOVE_WHITE = 1024 + 1,  // value: the computer's MoveValue
  UM_COMPUTER_MOVE_BLACK = 1024 + 2,
  UM_PLACE_BLACK = 1024 + 4,
  UM_PLACE_WHITE = 1024 + 5,
  UM_COMPUTATION_DONE = 1024 + 6,
  UM_BUSY_NOTICE = 1024 + 7,
  UM_PANEL_LINE = 1024 + 8,  // value: the panel line the search rewrote
  // Message boxes that a worker raises: shown by the window's thread, the worker waiting on the
  // answer as it would on a box of its own.
  UM_SHOW_PROPOSAL = 1024 + 9,  // value: the proposed PointIndex; answer 1 for OK
  UM_SHOW_NO_VCF = 1024 + 10,
};

// Everything the controller does to the screen goes through this interface: the Qt window
// implements it, the terminal front end implements it, and the tests fake it.
class Host {
 public:
  virtual ~Host() = default;
  virtual MessageAnswer MessageBox(const std::string& text, const std::string& caption,
                                   MessageIcon icon, MessageButtons buttons) = 0;
  virtual void Beep() = 0;
  // erase is true when the cell loses a stone or the offering mark.
  virtual void InvalidateCell(int row, int col, bool erase) = 0;
  virtual void InvalidatePanelLine(int index) = 0;
  virtual void RepaintAll() = 0;
  virtual void SetMenuChecked(int command, bool checked) = 0;
  virtual void SetMenuEnabled(int command, bool enabled) = 0;
  virtual void SetButtonImage(int button, int image) = 0;
  // Starts the one worker; the controller has already set its computing flag.
  virtual void StartWorker(WorkerKind kind) = 0;
  // File dialogs, opened with the name last chosen; nothing when the user cancels.
  virtual std::optional<std::string> OpenFileDialog(const std::string& title,
                                                    const std::string& lastName) = 0;
  virtual std::optional<std::string> SaveFileDialog(const std::string& title,
                                                    const std::string& lastName) = 0;
  virtual void ShowAbout() = 0;
  virtual void Quit() = 0;
};

// Carries a worker's messages to the window's thread, synchronously; returns the window's answer.
class WindowLink {
 public:
  virtual ~WindowLink() = default;
  virtual int Send(int message, int value) = 0;
};

}  // namespace tesmor
