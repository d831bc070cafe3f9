#pragma once

#include <chrono>
#include <span>

namespace tesmor {

// Menu command ids. The window, the terminal front end and the controller all speak in them.
enum CommandId : int {
  CmdPlayBlack = 40046,   // "执黑"
  CmdPlayWhite = 40047,   // "执白"
  CmdTwoPlayers = 40048,  // "双人" (new game)
  CmdRulesForbidden = 40049,
  CmdRulesFree = 40050,
  CmdLevel0 = 40051,
  CmdLevel1 = 40052,
  CmdLevel2 = 40054,
  CmdLevel3 = 40055,
  CmdLevel4 = 40056,
  CmdLevel5 = 40057,
  CmdLevel6 = 40058,
  CmdLevel7 = 40059,
  CmdLevel8 = 40060,
  CmdLevel9 = 40061,
  CmdAbout = 40064,
  CmdTakeBack = 40065,
  CmdExit = 40066,
  CmdHint = 40127,
  CmdVcf = 40129,
  CmdShowNumbers = 40137,
  CmdUseBook = 40141,
  CmdStop = 40143,
  CmdModeTwoPlayers = 40147,  // "双人" (switch)
  CmdModeComputer = 40148,    // "人机"
  CmdRulesRif = 40149,
  CmdOpen = 40152,
  CmdSave = 40153,
  CmdExactSearch = 40155,
  CmdFastSearch = 40158,
  CmdAccurateSearch = 40159,
  CmdMarkForbidden = 40160,  // "标记禁手"
  CmdTakeBackTurn = 40161,   // "悔一回合"
  CmdCopyRecord = 40162,     // "复制棋谱"
  CmdPasteRecord = 40163,    // "粘贴棋谱"
  CmdLevelMaster = 40164,    // "大师"
  CmdMasterTime1 = 40165,    // "大师思考时间" ▸ "1 秒"
  CmdMasterTime3 = 40166,
  CmdMasterTime10 = 40167,
  CmdMasterTime30 = 40168,
};

// The level items in menu order, indexed by the level they choose: "0级".."9级", then "大师"
// (MasterLevel).
constexpr CommandId LevelCommands[11] = {CmdLevel0, CmdLevel1, CmdLevel2,     CmdLevel3,
                                         CmdLevel4, CmdLevel5, CmdLevel6,     CmdLevel7,
                                         CmdLevel8, CmdLevel9, CmdLevelMaster};

// The thinking times offered for "大师", each with its item.
struct MasterTimeItem {
  CommandId command;
  std::chrono::seconds time;
};
constexpr MasterTimeItem MasterTimeItems[] = {{CmdMasterTime1, std::chrono::seconds(1)},
                                              {CmdMasterTime3, std::chrono::seconds(3)},
                                              {CmdMasterTime10, std::chrono::seconds(10)},
                                              {CmdMasterTime30, std::chrono::seconds(30)}};

// One entry of the menu bar: an item with its command, a separator, or a submenu heading whose
// items follow at depth + 1.
struct MenuEntry {
  int depth;         // 0 top-level menu, 1 its items, 2 items of a submenu
  const char* text;  // nullptr for a separator
  int command;       // 0 for menus and separators
};

// The whole menu bar in order, with the texts shown to the user.
std::span<const MenuEntry> MenuBar();

// The menu text of a command, or nullptr.
const char* CommandText(int command);

// Toolbar bitmaps by resource number.
enum ButtonImage : int {
  ImageNewGame = 109,
  ImageComputer = 110,
  ImageForbidden = 111,
  ImageSave = 112,
  ImageOpen = 113,
  ImageHint = 114,
  ImageStop = 115,
  ImageVcf = 116,
  ImageTwoPlayers = 120,
  ImageFree = 121,
  ImageRif = 122,
};
constexpr int ToolbarButtonCount = 8;
// Initial images of the eight toolbar buttons, left to right.
constexpr ButtonImage InitialButtonImages[ToolbarButtonCount] = {
    ImageNewGame, ImageComputer, ImageRif, ImageSave, ImageOpen, ImageHint, ImageStop, ImageVcf};
constexpr int ModeButton = 1;
constexpr int RulesButton = 2;
constexpr int StopButton = 6;

}  // namespace tesmor
