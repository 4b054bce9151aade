#include "profiles/GameDetection.h"

#include "core/AppContext.h"
#include "platform/ProcessSnapshot.h"
#include "profiles/Profiles.h"

#include <string>
#include <vector>

namespace {
constexpr uint32_t DetectGameFlag = 0x2;
}

void DetectGame(AppContext& app)
{
    if (!(app.flags & DetectGameFlag)) return;
    if (!SelectedProfile(app)) return;

    std::vector<std::string> processes;
    TakeProcessSnapshot(processes);
    for (const std::string& process : processes) {
        for (int i = 0; i < app.profiles.Count(); ++i) {
            GameProfile* profile = app.profiles.At(i);
            if (profile->processName[0] == '\0' || process != profile->processName) continue;
            if (profile == SelectedProfile(app)) continue;
            const int index = ProfileComboIndex(app, profile);
            if (index >= 0) SelectProfile(app, index);
        }
    }
}
