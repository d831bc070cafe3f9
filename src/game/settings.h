#pragma once

#include <chrono>

#include "game/computer_player.h"
#include "search/search_settings.h"

namespace tesmor {

// How the human plays: against the computer with Black or White, or two humans at one screen.
enum PlayMode : int { HumanBlack = 1, HumanWhite = 2, TwoHumans = 3 };

// What the menus choose. The controller keeps the one copy; the menu's ticks, greys and button
// images are derived from it.
struct Settings {
  PlayMode playMode = HumanBlack;
  RuleSet rules = RuleSet::Rif;
  int level = 8;  // "0级".."9级", or MasterLevel for "大师"
  // How long "大师" thinks for a move; a request's default, "3 秒".
  std::chrono::milliseconds masterTime = MoveRequest().masterTime;
  SearchMode mode = SearchMode::Fast;
  bool useBook = true;
  bool showNumbers = true;
  bool markForbidden = true;  // the points forbidden to Black shown while Black is to move
};

}  // namespace tesmor
