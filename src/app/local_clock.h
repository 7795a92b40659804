#pragma once

#include <cstdint>

// The wall-clock time of the machine's time zone, to the second, with its distance from UTC.
struct LocalTime {
    int year = 1970;
    int month = 1; // 1..12
    int day = 1;   // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int utcOffsetMinutes = 0; // east of UTC positive, summer time included
};

LocalTime localTimeNow();

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
std::int64_t daysSinceEpoch(int year, int month, int day);
