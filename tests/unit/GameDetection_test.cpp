#include "ProfilePage.h"

#include "platform/ProcessSnapshot.h"
#include "profiles/GameDetection.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> g_running;

bool FakeSnapshot(std::vector<std::string>& names)
{
    names = g_running;
    return true;
}

class GameDetectionTest : public ProfilePage {
protected:
    void SetUp() override
    {
        ProfilePage::SetUp();
        previous_ = UseProcessSnapshot(FakeSnapshot);
        app->flags = 0x2;
        g_running = {"explorer.exe", "svchost.exe"};
    }
    void TearDown() override
    {
        UseProcessSnapshot(previous_);
        ProfilePage::TearDown();
    }
    std::string Selected() { return SelectedProfile(*app) ? SelectedProfile(*app)->name : ""; }

private:
    ProcessSnapshotter previous_ = nullptr;
};

} // namespace

TEST_F(GameDetectionTest, RunningGameSelectsItsProfileAndItsValues)
{
    Add("Default", "NoLife.exe");
    GameProfile* rally = Add("Rally", "rally.exe");
    rally->mainGain = 33;
    FillProfileCombo(*app);
    g_running.push_back("rally.exe");
    DetectGame(*app);
    EXPECT_EQ(Selected(), "Rally");
    EXPECT_EQ(app->currentProfile, 1);
    EXPECT_EQ(app->params[MainGain].value, 33);
    // With the game closed the profile stays.
    g_running.pop_back();
    DetectGame(*app);
    EXPECT_EQ(Selected(), "Rally");
}

TEST_F(GameDetectionTest, ComparisonIsExactAndEmptyNamesNeverMatch)
{
    Add("Default", "NoLife.exe");
    Add("Game", "Game.exe");
    Add("Empty", "");
    FillProfileCombo(*app);
    g_running = {"game.exe", ""};
    DetectGame(*app);
    EXPECT_EQ(Selected(), "Default");
    g_running = {"NoLife.exe"};
    SelectProfile(*app, 1);
    DetectGame(*app);
    EXPECT_EQ(Selected(), "Default");
}

TEST_F(GameDetectionTest, OfTwoProfilesWithOneProcessNameTheSecondEndsSelected)
{
    Add("Default", "NoLife.exe");
    Add("First", "sim.exe");
    Add("Second", "sim.exe");
    FillProfileCombo(*app);
    g_running.push_back("sim.exe");
    DetectGame(*app);
    EXPECT_EQ(Selected(), "Second");
    DetectGame(*app);
    EXPECT_EQ(Selected(), "Second");
}

TEST_F(GameDetectionTest, LastMatchInSnapshotOrderWins)
{
    Add("Default", "NoLife.exe");
    Add("A", "a.exe");
    Add("B", "b.exe");
    FillProfileCombo(*app);
    g_running = {"b.exe", "a.exe"};
    DetectGame(*app);
    EXPECT_EQ(Selected(), "A");
}

TEST_F(GameDetectionTest, NothingHappensWithDetectionOffOrNoSelection)
{
    Add("Default", "NoLife.exe");
    Add("Rally", "rally.exe");
    FillProfileCombo(*app);
    g_running.push_back("rally.exe");
    app->flags = 0x1;
    DetectGame(*app);
    EXPECT_EQ(Selected(), "Default");
    app->flags = 0x2;
    controls.SelectComboItem(app->mainPage, ProfileComboId, -1);
    DetectGame(*app);
    EXPECT_EQ(Selected(), "");
}

TEST(ProcessSnapshot, ListsThisTestProgram)
{
    std::vector<std::string> names;
    ASSERT_TRUE(SnapshotProcesses(names));
    EXPECT_NE(std::find(names.begin(), names.end(), "unit_tests"), names.end());
}
