// Which implementation of each seam is in use: the system's, unless one was
// put in place.
#include "platform/Canvas.h"
#include "platform/ChildProcess.h"
#include "platform/Clock.h"
#include "platform/Controls.h"
#include "platform/GameInput.h"
#include "platform/ModalDialog.h"
#include "platform/OpenLocation.h"
#include "platform/ProcessSnapshot.h"
#include "platform/SeamSlot.h"

#include <utility>

namespace {
SeamSlot<Canvas> g_canvas;
SeamSlot<ChildProcesses> g_children;
SeamSlot<Clock> g_clock;
SeamSlot<Controls> g_controls;
SeamSlot<GameInput> g_input;
ModalDialogRunner g_runner = nullptr;
ProcessSnapshotter g_snapshotter = nullptr;
LocationOpener g_opener = nullptr;
} // namespace

Canvas& ActiveCanvas() { return g_canvas.Or(SystemCanvas()); }
Canvas* UseCanvas(Canvas* seam) { return g_canvas.Replace(seam); }

ChildProcesses& ActiveChildProcesses() { return g_children.Or(SystemChildProcesses()); }
ChildProcesses* UseChildProcesses(ChildProcesses* seam) { return g_children.Replace(seam); }

Clock& ActiveClock() { return g_clock.Or(SystemClock()); }
Clock* UseClock(Clock* seam) { return g_clock.Replace(seam); }

Controls& ActiveControls() { return g_controls.Or(SystemControls()); }
Controls* UseControls(Controls* seam) { return g_controls.Replace(seam); }

GameInput& ActiveGameInput() { return g_input.Or(SystemGameInput()); }
GameInput* UseGameInput(GameInput* seam) { return g_input.Replace(seam); }

int RunModalDialog(NativeHandle owner, int resourceId, DialogLogic& logic)
{
    return (g_runner ? g_runner : RunSystemDialog)(owner, resourceId, logic);
}
ModalDialogRunner UseModalDialogs(ModalDialogRunner runner) { return std::exchange(g_runner, runner); }

bool TakeProcessSnapshot(std::vector<std::string>& names)
{
    names.clear();
    return (g_snapshotter ? g_snapshotter : SnapshotProcesses)(names);
}
ProcessSnapshotter UseProcessSnapshot(ProcessSnapshotter snapshotter) { return std::exchange(g_snapshotter, snapshotter); }

void OpenLocation(NativeHandle window, const char* location) { (g_opener ? g_opener : OpenSystemLocation)(window, location); }
LocationOpener UseLocationOpener(LocationOpener opener) { return std::exchange(g_opener, opener); }
