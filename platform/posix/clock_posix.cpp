// platform/posix/clock_posix.cpp: the local wall-clock time from the C library.
#include <ctime>

#include "platform/clock.h"

namespace favpage {

LocalTime ReadLocalTime() {
    const time_t now = time(nullptr);
    struct tm tm {};
    localtime_r(&now, &tm);
    LocalTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.weekday = tm.tm_wday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec;
    return t;
}

}  // namespace favpage
