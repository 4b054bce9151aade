#include "ProfilePage.h"

#include "platform/ProcessSnapshot.h"
#include "profiles/GameDetection.h"

namespace {
std::vector<std::string> g_running;
} // namespace

TEST_F(ProfilePage, GameDetectionSelectsTheProfileOfTheGameRunningLast)
{
    // The processes, the options, the entry selected before (-1 none) and the profile selected after two runs. Case
    // matters, an empty name never matches; of two profiles of one game and of two games the later one wins.
    const struct { std::vector<std::string> running; uint32_t flags; int selected; const char* ends; } runs[] = {
        {{"cmd.exe", "rally.exe"}, 2, 0, "Rally"}, {{"cmd.exe"}, 2, 5, "Rally"}, {{"rally.exe"}, 1, 0, "Default"},
        {{"rally.exe"}, 2, -1, ""}, {{"NoLife.exe"}, 2, 1, "Default"}, {{"game.exe", ""}, 2, 0, "Default"},
        {{"sim.exe"}, 2, 0, "Second"}, {{"rally.exe", "Game.exe"}, 2, 0, "Game"},
    };
    ProcessSnapshotter previous = UseProcessSnapshot([](std::vector<std::string>& names) {
        names = g_running;
        return true;
    });
    for (auto [name, process] : {std::pair{"Default", "NoLife.exe"}, {"Game", "Game.exe"}, {"Empty", ""},
                                 {"First", "sim.exe"}, {"Second", "sim.exe"}, {"Rally", "rally.exe"}}) {
        Add(name, process)->mainGain = static_cast<int8_t>(name[0]); // a value of its own
    }
    FillProfileCombo(*app);
    for (const auto& r : runs) {
        SelectProfile(*app, r.selected);
        g_running = r.running;
        app->flags = r.flags;
        DetectGame(*app);
        DetectGame(*app);
        EXPECT_EQ(Selected(), r.ends) << r.running.front() << " with options " << r.flags << " from " << r.selected;
        EXPECT_TRUE(!SelectedProfile(*app) || app->params[MainGain].value == SelectedProfile(*app)->mainGain);
    }
    UseProcessSnapshot(previous);
    Add("Tests", "unit_tests");
    DetectGame(*app);
    EXPECT_EQ(Selected(), "Tests") << "this program is among the running processes";
}
