#pragma once

#include "app/local_clock.h"
#include "regulation/regulation_state.h"
#include "settings/settings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The measurement log's files: one a day, "ventrasol-YYYY-MM-DD.csv" in
// %LOCALAPPDATA%\Ventrasol\Protokoll, UTF-8, comma separated, a dot as the decimal separator,
// a header line first. A cell that has no measured value (lost, a stand-in, a speed only asked
// for) stays empty.

inline constexpr wchar_t LOG_FOLDER_BELOW_APPDATA[] = L"\\Ventrasol\\Protokoll";
// Files dated more than this many days before today are deleted when the log starts.
inline constexpr std::int64_t LOG_KEEP_DAYS = 30;

// The header line, line end included.
std::string csvHeader();

// One row, line end included: the local time in ISO 8601 with its UTC offset, the mode, CPU
// and GPU temperature, power, speed and target of two fans, and what happened since the last
// row.
std::string csvRow(const LocalTime& time, const Settings& settings, const Readings& readings,
                   const std::vector<RegulationEvent>& events);

// "2024-05-01T14:03:05+02:00".
std::string isoTime(const LocalTime& time);

// "ventrasol-2024-05-01.csv".
std::wstring logFileName(const LocalTime& time);

// The day (since 1970-01-01) a log file's name is dated; nothing for any other name.
std::optional<std::int64_t> logFileDay(std::wstring_view name);

// What an event says in the event column.
std::wstring eventText(const RegulationEvent& event);
