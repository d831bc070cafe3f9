#include "game/menu_state.h"

#include <algorithm>
#include <iterator>

namespace tesmor {

namespace {

static_assert(std::size(LevelCommands) == MasterLevel + 1, "one level item for each level");

bool Ticked(std::initializer_list<int> group, int command, int ticked) {
  return std::find(group.begin(), group.end(), command) != group.end() && command == ticked;
}

int RulesCommandFor(RuleSet rules) {
  switch (rules) {
    case RuleSet::Free:
      return CmdRulesFree;
    case RuleSet::Forbidden:
      return CmdRulesForbidden;
    case RuleSet::Rif:
      break;
  }
  return CmdRulesRif;
}

int ModeCommandFor(SearchMode mode) {
  switch (mode) {
    case SearchMode::Accurate:
      return CmdAccurateSearch;
    case SearchMode::Exact:
      return CmdExactSearch;
    case SearchMode::Fast:
      break;
  }
  return CmdFastSearch;
}

}  // namespace

bool MenuChecked(const Settings& settings, int command) {
  switch (command) {
    case CmdModeComputer:
      return settings.playMode != TwoHumans;
    case CmdModeTwoPlayers:
      return settings.playMode == TwoHumans;
    case CmdShowNumbers:
      return settings.showNumbers;
    case CmdUseBook:
      return settings.useBook;
    case CmdMarkForbidden:
      return settings.markForbidden;
    default:
      break;
  }
  for (const MasterTimeItem& item : MasterTimeItems)
    if (command == item.command) return settings.masterTime == item.time;
  return Ticked({CmdRulesFree, CmdRulesForbidden, CmdRulesRif}, command,
                RulesCommandFor(settings.rules)) ||
         Ticked({CmdFastSearch, CmdAccurateSearch, CmdExactSearch}, command,
                ModeCommandFor(settings.mode)) ||
         command == LevelCommands[settings.level];
}

bool MenuEnabled(const Settings& settings, int command) {
  // The RIF procedure needs the opening book and a level that searches.
  if (command == CmdLevel0 || command == CmdUseBook) return settings.rules != RuleSet::Rif;
  return CommandText(command) != nullptr;
}

int ButtonImageFor(const Settings& settings, int button) {
  switch (button) {
    case ModeButton:
      return settings.playMode == TwoHumans ? ImageTwoPlayers : ImageComputer;
    case RulesButton:
      return settings.rules == RuleSet::Rif    ? ImageRif
             : settings.rules == RuleSet::Free ? ImageFree
                                               : ImageForbidden;
    default:
      return InitialButtonImages[button];
  }
}

void MenuState::ShowAll(const Settings& settings) {
  Publish(settings, true);
}

void MenuState::Show(const Settings& settings) {
  Publish(settings, false);
}

void MenuState::Publish(const Settings& settings, bool all) {
  for (const MenuEntry& entry : MenuBar()) {
    if (entry.command == 0) continue;
    const bool checked = MenuChecked(settings, entry.command);
    const bool enabled = MenuEnabled(settings, entry.command);
    if (all || checked_[entry.command] != checked) host_.SetMenuChecked(entry.command, checked);
    if (all || enabled_[entry.command] != enabled) host_.SetMenuEnabled(entry.command, enabled);
    checked_[entry.command] = checked;
    enabled_[entry.command] = enabled;
  }
  for (int button = 0; button < ToolbarButtonCount; ++button) {
    const int image = ButtonImageFor(settings, button);
    if (all || images_[button] != image) host_.SetButtonImage(button, image);
    images_[button] = image;
  }
}

}  // namespace tesmor
