// platform/win32/clock_win32.cpp: the local wall-clock time from GetLocalTime.
#include <windows.h>

#include "platform/clock.h"

namespace favpage {

LocalTime ReadLocalTime() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    LocalTime t;
    t.year = st.wYear;
    t.month = st.wMonth;
    t.day = st.wDay;
    t.weekday = st.wDayOfWeek;  // 0 = Sunday, as ours
    t.hour = st.wHour;
    t.minute = st.wMinute;
    t.second = st.wSecond;
    return t;
}

}  // namespace favpage
