#pragma once

#include "app/app_state.h"

#include <cstdint>

// The moments when the program loses its hold on the fans and takes it up again: the machine
// going to sleep and waking, and the driver being reloaded.

// Power-broadcast events, as WM_POWERBROADCAST's wParam carries them.
inline constexpr std::uint32_t POWER_SUSPEND = 4;           // PBT_APMSUSPEND
inline constexpr std::uint32_t POWER_RESUME_SUSPEND = 7;    // PBT_APMRESUMESUSPEND
inline constexpr std::uint32_t POWER_RESUME_AUTOMATIC = 18; // PBT_APMRESUMEAUTOMATIC
inline constexpr std::uint32_t POWER_STATUS_CHANGE = 10;    // PBT_APMPOWERSTATUSCHANGE

// Before sleep: the fans go to the firmware (the mode stays and is not saved) and nothing is
// commanded until the resume. After it: reconnect when the hardware no longer answers, then the
// mode of a power source that changed meanwhile, or else the current mode, is applied as if
// chosen again. A change of the power status applies the new source's mode (see
// power_source_follow.h). Other events change nothing.
void onPowerEvent(AppState& app, std::uint32_t event);

// "Treiber neu laden": a commanded mode first gives the fans back through the old backend and
// is applied again once the new one is connected; without a connection the program stays with
// the firmware's control and says so.
void reloadDriver(AppState& app);
