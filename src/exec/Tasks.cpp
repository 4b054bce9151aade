#include "exec/Tasks.h"

#include "exec/Semaphore.h"
#include "platform/ThreadPriority.h"
#include "platform/TimerClock.h"

#include <thread>

namespace {

constexpr unsigned TimerPeriodMs = 1;
constexpr int64_t FirstMarkMs = 2000;

ExecList g_taskWait;
ExecList g_taskReady;
ExecList g_backgroundTasks;
ExecTask g_systemBase;
ExecSemaphore g_tasksLock;
ExecSemaphore g_displayLock;
unsigned g_processors = 1;
TimerRecord g_timer;

void ReleaseTask(ExecList* list, ExecNode* member)
{
    auto* task = static_cast<ExecTask*>(member);
    if (task->thread) ReleaseThread(task->thread);
    task->thread = nullptr;
    Unlink(list, task);
}

} // namespace

void StartTasks()
{
    InitList(&g_taskWait, "TaskWait");
    InitList(&g_taskReady, "TaskReady");
    InitList(&g_backgroundTasks, "BackgroundTask", ReleaseTask);
    g_systemBase.name = "System Base";
    g_systemBase.type = NodeTypeTask;
    g_systemBase.thread = TakeCurrentThread();
    InitSemaphore(&g_tasksLock, "Tasks");
    InitSemaphore(&g_displayLock, "Display");
    const unsigned processors = std::thread::hardware_concurrency();
    g_processors = processors ? processors : 1;
}

void StopTasks()
{
    if (g_systemBase.thread) ReleaseThread(g_systemBase.thread);
    g_systemBase.thread = nullptr;
    EmptyList(&g_backgroundTasks, 0);
    DeleteSemaphore(&g_displayLock);
    DeleteSemaphore(&g_tasksLock);
}

ExecTask* SystemBaseTask() { return &g_systemBase; }
unsigned ProcessorCount() { return g_processors; }

void StartTimerService()
{
    g_timer = TimerRecord{};
    if (QueryCounterFrequency(&g_timer.frequency)) {
        g_timer.startValue = ReadCounter();
        g_timer.firstMark = g_timer.startValue + g_timer.frequency * FirstMarkMs / 1000;
    }
    BeginTimerPeriod(TimerPeriodMs);
    g_timer.severalProcessors = g_processors > 1;
    g_timer.tuning[0] = 2;
    g_timer.tuning[1] = 10000;
}

void StopTimerService()
{
    g_timer.frequency = 0;
    EndTimerPeriod(TimerPeriodMs);
}

const TimerRecord& Timer() { return g_timer; }
