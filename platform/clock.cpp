// platform/clock.cpp: the date text of the page head.
#include "platform/clock.h"

#include <cstdio>

namespace favpage {

namespace {
const char* const kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
}  // namespace

std::string FormatDateLine(const LocalTime& t) {
    // A time that did not come from the clock must not index past the tables.
    const char* weekday = t.weekday >= 0 && t.weekday < 7 ? kWeekdays[t.weekday] : "???";
    const char* month = t.month >= 1 && t.month <= 12 ? kMonths[t.month - 1] : "???";
    char text[96];
    std::snprintf(text, sizeof text, "%s %s %02d %02d:%02d:%02d %4d\n", weekday, month, t.day,
                  t.hour, t.minute, t.second, t.year);
    return text;
}

}  // namespace favpage
