#pragma once

#include <optional>
#include <string>

#include "board/board.h"
#include "search/computer_answer.h"

namespace tesmor {

enum class MessageIcon { Information, Exclamation, Error };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// The three long computations that run on the worker thread.
enum class WorkerKind { ComputerMove, Hint, Vcf };

// What a worker tells the window's thread. Each is delivered synchronously: the worker waits
// until the window has handled it.
enum class WorkerEvent {
  ComputerMoved,    // `answer` is the computer's move for `colour`
  ProgressChanged,  // the search rewrote panel line `value`
  ProposePoint,     // asks the user to accept point `value`; the answer is 1 when accepted
  PlayProposal,     // the accepted point `value`, played as the human's click
  NoVcfFound,       // the VCF search ended and showed that none was found
  Finished,         // the computation ended without a move
};

struct WorkerMessage {
  explicit(false)
      WorkerMessage(WorkerEvent kind, int number = 0, int side = 0, ComputerAnswer move = {})
      : event(kind), value(number), colour(side), answer(move) {}
  WorkerEvent event;
  int value;
  int colour;
  ComputerAnswer answer;
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
  virtual int Send(const WorkerMessage& message) = 0;
};

}  // namespace tesmor
