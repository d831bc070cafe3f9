#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QGridLayout>
#include <QKeySequence>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>

#include <algorithm>

#include "game/position_file.h"
#include "tesmor_version.h"
#include "ui/about_dialog.h"
#include "ui/board_view.h"
#include "ui/file_dialog.h"
#include "ui/geometry.h"
#include "ui/image_button.h"
#include "ui/images.h"
#include "ui/painting.h"

namespace tesmor {

namespace {

constexpr const char* WindowTitle = ProgramTitle;

// The items that carry a tick: one in each of the mode, rules, level, search-mode and thinking-time
// groups, and the toggles.
bool HasTick(int command) {
  for (int level : LevelCommands)
    if (command == level) return true;
  for (const MasterTimeItem& item : MasterTimeItems)
    if (command == item.command) return true;
  switch (command) {
    case CmdModeComputer:
    case CmdModeTwoPlayers:
    case CmdRulesFree:
    case CmdRulesForbidden:
    case CmdRulesRif:
    case CmdFastSearch:
    case CmdAccurateSearch:
    case CmdExactSearch:
    case CmdShowNumbers:
    case CmdUseBook:
    case CmdMarkForbidden:
      return true;
    default:
      return false;
  }
}

// The keys of the commands reached for most often; each is shown beside its menu item.
QKeySequence CommandKey(int command) {
  switch (command) {
    case CmdTakeBack:
      return QKeySequence(Qt::Key_Backspace);
    case CmdTakeBackTurn:
      return QKeySequence(Qt::CTRL | Qt::Key_Z);
    case CmdSave:
      return QKeySequence(Qt::CTRL | Qt::Key_S);
    case CmdOpen:
      return QKeySequence(Qt::CTRL | Qt::Key_O);
    case CmdHint:
      return QKeySequence(Qt::CTRL | Qt::Key_H);
    case CmdStop:
      return QKeySequence(Qt::Key_Escape);
    case CmdAbout:
      return QKeySequence(Qt::Key_F1);
    default:
      return {};
  }
}

// The new-game button has no menu item of its own (the menu starts a game with a chosen colour);
// its key acts as the button does.
const QKeySequence NewGameKey(Qt::CTRL | Qt::Key_N);

// What each toolbar button does, for its tooltip, and the command whose key it shares.
struct ButtonTip {
  const char* text;
  int command;
};
constexpr ButtonTip ButtonTips[ToolbarButtonCount] = {
    {"新游戏", 0},         {"切换人机／双人", 0}, {"切换规则：无禁手、有禁手、RIF规则", 0},
    {"保存", CmdSave},     {"打开", CmdOpen},     {"电脑搜索", CmdHint},
    {"停止搜索", CmdStop}, {"搜索VCF", CmdVcf},
};

QMessageBox::Icon BoxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Exclamation:
      return QMessageBox::Warning;
    case MessageIcon::Error:
      return QMessageBox::Critical;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

MainWindow::MainWindow(ComputerPlayer& computer, RandomSource& random)
    : computer_(computer),
      controller_(*this, computer, random),
      workers_([this](const WorkerMessage& message) {
        const int answer = controller_.HandleWorkerMessage(message);
        ShowBusy();
        return answer;
      }) {
  setWindowTitle(WindowTitle);
  setWindowIcon(ProgramIcon());
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
  board_ = new BoardView(controller_, this);
  setCentralWidget(board_);
  BuildMenus();
  BuildToolbar();
  auto* newGame = new QAction(this);
  newGame->setShortcut(NewGameKey);
  connect(newGame, &QAction::triggered, this, [this] { controller_.ToolbarButton(0); });
  addAction(newGame);
  // The designed size, even where the screen is smaller than Qt's default share of it.
  resize(sizeHint());
  move(100, 50);
}

MainWindow::~MainWindow() {
  workers_.ShutDown(&controller_.stopRequested());
}

void MainWindow::Start() {
  controller_.Start();
}

bool MainWindow::OpenAtStart(const QString& path) {
  const PositionFileResult read = ReadPositionFile(QFile::encodeName(path).toStdString());
  if (!read.ok) {
    MessageBox("文件读取失败！\n" + QFile::encodeName(path).toStdString() + "：" + read.error,
               "提示信息", MessageIcon::Exclamation, MessageButtons::Ok);
    return false;
  }
  // The controller opens it as the menu's "打开" does, the dialog answered by the command line.
  pendingOpen_ = path;
  controller_.Command(CmdOpen);
  pendingOpen_.reset();
  return true;
}

void MainWindow::ShowBusy() {
  if (controller_.computing())
    board_->setCursor(Qt::BusyCursor);
  else
    board_->unsetCursor();
}

QAction* MainWindow::action(int command) const {
  const auto found = actions_.find(command);
  return found == actions_.end() ? nullptr : found->second;
}

void MainWindow::BuildMenus() {
  QMenu* menu = nullptr;
  QMenu* submenu = nullptr;
  for (const MenuEntry& entry : MenuBar()) {
    const QString text = entry.text ? QString::fromUtf8(entry.text) : QString();
    if (entry.depth == 0) {
      menu = menuBar()->addMenu(text);
      submenu = nullptr;
      continue;
    }
    QMenu* parent = entry.depth == 2 ? submenu : menu;
    if (!entry.text) {
      parent->addSeparator();
    } else if (entry.command == 0) {
      submenu = parent->addMenu(text);
    } else {
      QAction* action = parent->addAction(text);
      const int command = entry.command;
      action->setCheckable(HasTick(command));
      action->setShortcut(CommandKey(command));
      actions_[command] = action;
      connect(action, &QAction::triggered, this, [this, action, command] {
        // Ticks follow the controller, not the click.
        if (action->isCheckable()) action->setChecked(controller_.MenuChecked(command));
        controller_.Command(command);
      });
    }
  }
}

void MainWindow::BuildToolbar() {
  for (int i = 0; i < ToolbarButtonCount; ++i) {
    auto* button = new ImageButton(board_);
    board_->PlaceChild(button, QRect(6 + 30 * i, 3, 24, 24));
    button->SetImage(InitialButtonImages[i]);
    const ButtonTip& tip = ButtonTips[i];
    const QKeySequence key = i == 0 ? NewGameKey : CommandKey(tip.command);
    button->setToolTip(
        QString::fromUtf8(tip.text) +
        (key.isEmpty() ? QString() : " (" + key.toString(QKeySequence::NativeText) + ")"));
    connect(button, &QAbstractButton::clicked, this, [this, i] { controller_.ToolbarButton(i); });
    buttons_[static_cast<size_t>(i)] = button;
  }
}

MessageAnswer MainWindow::MessageBox(const std::string& text, const std::string& caption,
                                     MessageIcon icon, MessageButtons buttons) {
  QMessageBox box(BoxIcon(icon), QString::fromStdString(caption), QString::fromStdString(text),
                  QMessageBox::NoButton, this);
  QPushButton* first = nullptr;
  QPushButton* second = nullptr;
  switch (buttons) {
    case MessageButtons::Ok:
      first = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
      break;
    case MessageButtons::OkCancel:
      first = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
      second = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
      break;
    case MessageButtons::YesNo:
      first = box.addButton(QStringLiteral("是"), QMessageBox::YesRole);
      second = box.addButton(QStringLiteral("否"), QMessageBox::NoRole);
      break;
  }
  box.setDefaultButton(first);
  box.setEscapeButton(second ? second : first);
  PlaceBesideBoard(box);
  box.exec();
  const bool accepted = box.clickedButton() == first;
  switch (buttons) {
    case MessageButtons::Ok:
      return MessageAnswer::Ok;
    case MessageButtons::OkCancel:
      return accepted ? MessageAnswer::Ok : MessageAnswer::Cancel;
    case MessageButtons::YesNo:
      return accepted ? MessageAnswer::Yes : MessageAnswer::No;
  }
  return MessageAnswer::Cancel;
}

// Opens the box over the panel, right of the board, so that the stones it speaks of stay in
// sight; it is kept on the screen, and wide enough that its caption shows whole beside the
// title bar's buttons.
void MainWindow::PlaceBesideBoard(QMessageBox& box) {
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    const int captionWidth = box.fontMetrics().horizontalAdvance(box.windowTitle()) + 160;
    grid->addItem(new QSpacerItem(captionWidth, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
  }
  box.adjustSize();
  const QSize size = box.size();
  const QPoint panelMiddle = board_->FromClient(QPoint(PanelLeft - 15, ClientHeight / 2));
  QPoint topLeft = board_->mapToGlobal(panelMiddle) - QPoint(0, size.height() / 2);
  if (const QScreen* shown = screen()) {
    const QRect area = shown->availableGeometry();
    topLeft.setX(
        std::clamp(topLeft.x(), area.left(), std::max(area.left(), area.right() - size.width())));
    topLeft.setY(
        std::clamp(topLeft.y(), area.top(), std::max(area.top(), area.bottom() - size.height())));
  }
  box.move(topLeft);
}

void MainWindow::Beep() {
  QApplication::beep();
}

void MainWindow::InvalidateCell(int row, int col, bool) {
  // Every paint draws its background first, so a cell that loses a stone needs no erase.
  board_->UpdateClientRect(CellRect(row, col));
}

void MainWindow::InvalidatePanelLine(int index) {
  board_->UpdateClientRect(PanelLineRect(index));
}

void MainWindow::RepaintAll() {
  board_->update();
}

void MainWindow::SetMenuChecked(int command, bool checked) {
  if (QAction* item = action(command)) item->setChecked(checked);
}

void MainWindow::SetMenuEnabled(int command, bool enabled) {
  if (QAction* item = action(command)) item->setEnabled(enabled);
}

void MainWindow::SetButtonImage(int button, int image) {
  if (button >= 0 && button < ToolbarButtonCount)
    buttons_[static_cast<size_t>(button)]->SetImage(image);
}

void MainWindow::StartWorker(WorkerKind) {
  const WorkerJob job = controller_.CurrentJob();
  workers_.Start([this, job](WindowLink& link) { RunWorkerJob(job, computer_, link); });
  ShowBusy();
}

std::optional<std::string> MainWindow::FileDialog(const std::string& title,
                                                  const std::string& lastName, bool save) {
  if (pendingOpen_ && !save) return QFile::encodeName(*pendingOpen_).toStdString();
  const std::optional<QString> chosen = AskPositionFile(this, QString::fromStdString(title),
                                                        QFile::decodeName(lastName.c_str()), save);
  if (!chosen) return std::nullopt;
  return QFile::encodeName(*chosen).toStdString();
}

std::optional<std::string> MainWindow::OpenFileDialog(const std::string& title,
                                                      const std::string& lastName) {
  return FileDialog(title, lastName, false);
}

std::optional<std::string> MainWindow::SaveFileDialog(const std::string& title,
                                                      const std::string& lastName) {
  return FileDialog(title, lastName, true);
}

void MainWindow::SetClipboardText(const std::string& text) {
  QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

std::string MainWindow::ClipboardText() {
  return QGuiApplication::clipboard()->text().toStdString();
}

void MainWindow::ShowAbout() {
  AboutDialog about(this);
  about.exec();
}

void MainWindow::Quit() {
  close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // A search still running is stopped and waited for; its last messages go unanswered.
  hide();
  workers_.ShutDown(&controller_.stopRequested());
  event->accept();
}

}  // namespace tesmor
