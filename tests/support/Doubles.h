#pragma once

#include "board/ParamDisplay.h"
#include "core/AppContext.h"
#include "exec/ExecConfig.h"
#include "exec/Log.h"
#include "platform/FakeGameInput.h"
#include "platform/ModalDialog.h"
#include "platform/RecordingCanvas.h"
#include "platform/RecordingControls.h"
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using Texts = std::vector<std::string>;

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

// The user's part in each modal dialog, by resource id, in place for the life
// of the object: a dialog is filled, then ended with what the user's part
// returns; every dialog opened is noted with its owner.
struct ScriptedDialogs {
    using User = std::function<int(DialogLogic&, NativeHandle dialog)>;
    static inline std::map<int, User> user;
    static inline std::vector<std::pair<NativeHandle, int>> opened;
    static int Run(NativeHandle owner, int resourceId, DialogLogic& logic)
    {
        static std::map<int, int> dialogs; // a handle for each resource
        opened.emplace_back(owner, resourceId);
        logic.Init(&dialogs[resourceId]);
        return user.at(resourceId)(logic, &dialogs[resourceId]);
    }
    const ModalDialogRunner previous = UseModalDialogs(Run);
    ~ScriptedDialogs() { UseModalDialogs(previous), user.clear(), opened.clear(); }
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

// The box around every point, rectangle and text of a recorded drawing
// (its "begin" area aside), and the pen widths in order.
struct DrawingExtent {
    int left = 1 << 30, top = 1 << 30, right = -(1 << 30), bottom = -(1 << 30);
    std::vector<int> pens;
};
inline DrawingExtent MeasureDrawing(const std::vector<std::string>& operations)
{
    DrawingExtent e;
    const auto add = [&e](int x, int y) {
        e.left = std::min(e.left, x), e.right = std::max(e.right, x), e.top = std::min(e.top, y), e.bottom = std::max(e.bottom, y);
    };
    for (const std::string& op : operations) {
        const std::string kind = op.substr(0, op.find(' '));
        std::string numbers = kind == "text" ? op.substr(op.rfind('"') + 1) : op.substr(kind.size());
        std::replace(numbers.begin(), numbers.end(), ',', ' ');
        std::vector<int> values;
        char* at = numbers.data();
        for (char* end = nullptr;; at = end) {
            const long value = std::strtol(at, &end, 10);
            if (end == at) break;
            values.push_back(static_cast<int>(value));
        }
        if (kind == "pen") e.pens.push_back(values.at(0));
        if (kind == "rect" || kind == "fill" || kind == "text") add(values.at(0), values.at(1)), add(values.at(2), values.at(3));
        if (kind == "polygon" || kind == "move" || kind == "line")
            for (std::size_t i = 0; i + 1 < values.size(); i += 2) add(values[i], values[i + 1]);
    }
    return e;
}
