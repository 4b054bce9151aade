#pragma once

#include "exec/ExecList.h"

#include <cstdint>

struct NativeThread;

// The task record of a thread known to the runtime.
struct ExecTask : ExecNode {
    NativeThread* thread = nullptr;
    uint32_t state = 0;
};

// The lists "TaskWait", "TaskReady" and "BackgroundTask", the task "System
// Base" for the calling thread (raised to above-normal priority), the
// semaphores "Tasks" and "Display" and the number of processors.
void StartTasks();
void StopTasks();
ExecTask* SystemBaseTask();
unsigned ProcessorCount();

// The timer service: the high-resolution time base and the 1 ms system
// timer period.
struct TimerRecord {
    int64_t frequency = 0;  // counter ticks per second, 0 without a counter
    int64_t startValue = 0;
    int64_t firstMark = 0;  // 2000 ms after the start value
    bool severalProcessors = false;
    uint32_t tuning[2] = {}; // set to 2 and 10000 at start; read by nothing here
};
void StartTimerService();
void StopTimerService();
const TimerRecord& Timer();
