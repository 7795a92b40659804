#pragma once

#include "app/app_state.h"
#include "platform/window_host.h"

#include <cstdint>
#include <vector>

// The automation card of the options tab: the switches, the two mode menus and
// "Protokollordner öffnen".

// A click on one of the card's regions; false for any other region.
bool onAutomationRegion(AppState& app, std::int32_t regionId);

// The six modes as a menu whose entry for mode m sends the command first + m; current is
// checked.
std::vector<MenuEntry> modeMenu(std::uint32_t first, ControlMode current);

// Shows the log's folder (made first, so that it opens before the first row is written); an
// error notice when it cannot be shown.
void openLogFolder(AppState& app);
