#include "game/commands.h"

#include <array>

namespace tesmor {

namespace {

constexpr std::array kMenuBar = {
    MenuEntry{0, "游戏", 0},
    MenuEntry{1, "开局", 0},
    MenuEntry{2, "执黑", CmdPlayBlack},
    MenuEntry{2, "执白", CmdPlayWhite},
    MenuEntry{2, "双人", CmdTwoPlayers},
    MenuEntry{1, "切换", 0},
    MenuEntry{2, "人机", CmdModeComputer},
    MenuEntry{2, "双人", CmdModeTwoPlayers},
    MenuEntry{1, "规则", 0},
    MenuEntry{2, "无禁手", CmdRulesFree},
    MenuEntry{2, "有禁手", CmdRulesForbidden},
    MenuEntry{2, "RIF规则", CmdRulesRif},
    MenuEntry{1, nullptr, 0},
    MenuEntry{1, "打开", CmdOpen},
    MenuEntry{1, "保存", CmdSave},
    MenuEntry{1, "复制棋谱", CmdCopyRecord},
    MenuEntry{1, "粘贴棋谱", CmdPasteRecord},
    MenuEntry{1, nullptr, 0},
    MenuEntry{1, "电脑搜索", CmdHint},
    MenuEntry{1, "停止搜索", CmdStop},
    MenuEntry{1, "搜索VCF", CmdVcf},
    MenuEntry{1, nullptr, 0},
    MenuEntry{1, "悔棋", CmdTakeBack},
    MenuEntry{1, "悔一回合", CmdTakeBackTurn},
    MenuEntry{1, "退出", CmdExit},
    MenuEntry{0, "等级", 0},
    MenuEntry{1, "0级", CmdLevel0},
    MenuEntry{1, "1级", CmdLevel1},
    MenuEntry{1, "2级", CmdLevel2},
    MenuEntry{1, "3级", CmdLevel3},
    MenuEntry{1, "4级", CmdLevel4},
    MenuEntry{1, "5级", CmdLevel5},
    MenuEntry{1, "6级", CmdLevel6},
    MenuEntry{1, "7级", CmdLevel7},
    MenuEntry{1, "8级", CmdLevel8},
    MenuEntry{1, "9级", CmdLevel9},
    MenuEntry{1, "大师", CmdLevelMaster},
    MenuEntry{1, nullptr, 0},
    MenuEntry{1, "快速搜索", CmdFastSearch},
    MenuEntry{1, "准确搜索", CmdAccurateSearch},
    MenuEntry{1, "精确搜索", CmdExactSearch},
    MenuEntry{0, "选项", 0},
    MenuEntry{1, "显示标号", CmdShowNumbers},
    MenuEntry{1, "使用棋谱", CmdUseBook},
    MenuEntry{1, "标记禁手", CmdMarkForbidden},
    MenuEntry{1, nullptr, 0},
    MenuEntry{1, "大师思考时间", 0},
    MenuEntry{2, "1 秒", CmdMasterTime1},
    MenuEntry{2, "3 秒", CmdMasterTime3},
    MenuEntry{2, "10 秒", CmdMasterTime10},
    MenuEntry{2, "30 秒", CmdMasterTime30},
    MenuEntry{0, "帮助", 0},
    MenuEntry{1, "关于", CmdAbout},
};

}  // namespace

std::span<const MenuEntry> MenuBar() {
  return kMenuBar;
}

const char* CommandText(int command) {
  for (const MenuEntry& entry : kMenuBar)
    if (entry.command == command && command != 0) return entry.text;
  return nullptr;
}

}  // namespace tesmor
