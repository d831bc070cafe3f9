#pragma once

#include "search/search_settings.h"

namespace tesmor {

// How the human plays: against the computer with Black or White, or two humans at one screen.
enum PlayMode : int { HumanBlack = 1, HumanWhite = 2, TwoHumans = 3 };

// What the menus choose. The controller keeps the one copy; the menu's ticks, greys and button
// images are derived from it.
struct Settings {
  PlayMode playMode = HumanBlack;
  RuleSet rules = RuleSet::Rif;
  int level = 8;  // "0级".."9级"
  SearchMode mode = SearchMode::Fast;
  bool useBook = true;
  bool showNumbers = true;
};

}  // namespace tesmor
