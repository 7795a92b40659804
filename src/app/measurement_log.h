#pragma once

#include "app/local_clock.h"
#include "app/log_writer.h"
#include "regulation/regulation_state.h"
#include "settings/settings.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

// The measurement log ("Messwerte protokollieren (CSV)"): a row every five ticks, and at once
// when the regulation reports an event; the rows collect in memory and go to the writer's
// thread 15 ticks after the log started, then every 30 ticks and at exit.
inline constexpr std::int32_t LOG_ROW_TICKS = 5;
inline constexpr std::int32_t LOG_FIRST_FLUSH_TICKS = 15;
inline constexpr std::int32_t LOG_FLUSH_TICKS = 30;
// How long the exit waits for the last rows to be written.
inline constexpr std::chrono::milliseconds LOG_EXIT_WAIT{2000};

struct MeasurementLog {
    bool running = false;
    // A write failed: the log stays off until the option is switched off and on again.
    bool stopped = false;
    std::int32_t ticksToRow = 0;
    std::int32_t ticksToFlush = 0;
    std::wstring folder;
    std::wstring file; // the file the buffered rows belong to
    std::string rows;  // not handed to the writer yet
    std::unique_ptr<LogWriter> writer;
    void (*threadStart)() = nullptr; // for the writer's thread (the crash guard's reserve)
};

// After each tick, with the events of the tick still in regulation.events (they are not
// taken). Starts the log when the option is on (deleting the files older than 30 days), stops
// it when it is off. A write that failed stops the log and sets one error notice; the fans
// never depend on the log.
void logTick(MeasurementLog& log, const Settings& settings, RegulationState& regulation,
             const LocalTime& now);

// Hands the buffered rows to the writer.
void flushLog(MeasurementLog& log);

// At exit: the buffered rows are written, waiting at most limit for the disk.
void closeLog(MeasurementLog& log, std::chrono::milliseconds limit);

// The log's folder (%LOCALAPPDATA%\Ventrasol\Protokoll); empty when it is unknown.
std::wstring logFolder();
