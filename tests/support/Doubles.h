#pragma once

#include "board/ParamDisplay.h"
#include "core/AppContext.h"
#include "exec/ExecConfig.h"
#include "exec/Log.h"
#include "platform/FakeGameInput.h"
#include "platform/RecordingCanvas.h"
#include "platform/RecordingControls.h"
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

// The recording dialog controls and canvas and the fake controller system,
// in place for the life of the object.
struct Doubles {
    RecordingControls controls;
    RecordingCanvas canvas;
    FakeGameInput input;
    Controls* const previousControls = UseControls(&controls);
    Canvas* const previousCanvas = UseCanvas(&canvas);
    GameInput* const previousInput = UseGameInput(&input);
    ~Doubles() { UseControls(previousControls); UseCanvas(previousCanvas); UseGameInput(previousInput); }
};

// An application context and a page handle, with the doubles in place.
struct AppPage {
    Doubles ui;
    std::unique_ptr<AppContext> app = std::make_unique<AppContext>();
    int page = 0, drivePage = 0;
};

// Binds every record of the set to one page (which may be null).
inline void BindParams(AppContext& app, NativeHandle page)
{
    for (int i = 0; i < ParamCount; ++i) BindFromSet(app, i, page);
}

// How many of the recorded lines (operations, journal entries) start with the prefix.
inline long CountStarting(const std::vector<std::string>& lines, const std::string& prefix)
{
    return std::count_if(lines.begin(), lines.end(), [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
}

// Polls the condition for up to the limit; its last answer.
template <typename Condition> bool WaitUntil(Condition done, std::chrono::milliseconds limit = std::chrono::seconds(2))
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return done();
}

// Starts a new log file taking every level in the directory (with its trailing separator).
inline void LogInto(const std::string& directory)
{
    ExecConfig config;
    std::snprintf(config.logDirectory, sizeof config.logDirectory, "%s", directory.c_str());
    config.logMode = LogModeNew;
    LogInit(config);
    SetLogThreshold(0);
}
