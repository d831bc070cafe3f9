#pragma once

#include <array>
#include <map>

#include "game/commands.h"
#include "game/host.h"
#include "game/settings.h"

namespace tesmor {

// The ticks, greyed items and toolbar images that the settings call for.
bool MenuChecked(const Settings& settings, int command);
bool MenuEnabled(const Settings& settings, int command);
int ButtonImageFor(const Settings& settings, int button);

// What the host's menus and toolbar show, kept so that only changes are sent to it. Holds no
// setting of its own: Show derives everything from the settings it is given.
class MenuState {
 public:
  explicit MenuState(Host& host) : host_(host) {}
  // Sends every tick, grey and image, as when the window is new.
  void ShowAll(const Settings& settings);
  // Sends those that differ from what the host shows.
  void Show(const Settings& settings);

 private:
  void Publish(const Settings& settings, bool all);

  Host& host_;
  std::map<int, bool> checked_;
  std::map<int, bool> enabled_;
  std::array<int, ToolbarButtonCount> images_{};
};

}  // namespace tesmor
