#pragma once

struct LocalTime {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The local wall-clock time (GetLocalTime on Windows, localtime_r elsewhere).
LocalTime ReadLocalTime();
