#pragma once

// The regulation folder owns the backend, the readings it merges and ages, and the fail-safe
// bookkeeping. It reads the settings record and writes it only where a rule ends the mode; it
// calls base/, platform/, settings/ and hardware/.

#include "base/notice.h"
#include "base/texts.h"
#include "hardware/hardware_controller.h"
#include "hardware/hardware_records.h"
#include "regulation/regulation_events.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// The readings of the last tick, shown until the first poll replaces them.
struct Readings {
    double cpuTemp = 42.0;
    double gpuTemp = 38.0;
    double powerWatts = 25.0;
    std::vector<FanChannel> fanList;
    std::vector<SensorReading> sensorList;
    // A summary value the backend has not refreshed for several ticks: shown as "--" and no
    // longer used to drive the fans.
    bool cpuTempLost = false;
    bool gpuTempLost = false;
    bool powerLost = false;
    // The hardware has not answered for several ticks in a row: the status shows an error.
    bool driverFault = false;
    // What the backend says of its last summary values (stand-ins, estimates).
    ReadingQuality quality;
};

// What the fail-safe rules need to notice that the fans are no longer under control (see
// regulation/fan_guard.h).
struct FanSafetyState {
    std::int32_t failedTicks = 0; // consecutive ticks whose reads or fan commands failed
    bool commandsFailing = false; // the last fan command failed; cleared by one that succeeds
    std::int32_t cpuAge = -1;     // ticks since the value was refreshed; -1: never measured
    std::int32_t gpuAge = -1;
    std::int32_t powerAge = -1;
    std::int32_t hotTicks = 0; // consecutive ticks at or above the over-temperature limit
    std::int32_t ticksSinceRecommand = 0;
    std::array<double, 4> commandedRpm = {-1.0, -1.0, -1.0, -1.0}; // < 0: not commanded
    bool suspended = false; // between a suspend notice and the resume: command nothing
    bool curveFailureShown = false;
    bool handBackRetrying = false; // System-Auto is handing back again a fan still forced
    // The backend's fans as constructed, before any hardware answered: the ranges that replace
    // an impossible one read from the hardware.
    std::vector<FanChannel> defaultFans;
};

struct RegulationState {
    std::unique_ptr<IHardwareController> controller;
    std::array<double, 4> lastCurveRpm = {-1.0, -1.0, -1.0, -1.0}; // <= 0: nothing written yet
    FanSafetyState safety;
    Notice notice{text(TextId::NoticeStarting), false};
    Readings readings;
    // The backend's rows of the last tick, kept so that a tick allocates nothing once the rows
    // are known.
    std::vector<SensorReading> freshRows;
    // What happened since the program last took the events (once per tick), oldest first.
    std::vector<RegulationEvent> events;
};
