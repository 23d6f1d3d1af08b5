// platform/clock.h: the local wall-clock time as a value, and its date text.
#pragma once
#include <string>

namespace favpage {

struct LocalTime {
    int year = 1970;   // e.g. 2026
    int month = 1;     // 1..12
    int day = 1;       // 1..31
    int weekday = 4;   // 0 = Sunday .. 6 = Saturday
    int hour = 0;      // 0..23
    int minute = 0;
    int second = 0;
};

// Reads the clock once.
LocalTime ReadLocalTime();

// "Mon Dec 07 03:22:11 2026\n": 24 characters and a line end; the day always has two digits.
std::string FormatDateLine(const LocalTime& t);

}  // namespace favpage
