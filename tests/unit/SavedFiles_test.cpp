// The files a run keeps, config.ini and GameProfiles.ini, written, read back and saved at the end.
#include "ExecRuntime.h"

#include "app/EndSave.h"
#include "FakeClock.h"
#include "TempDir.h"
#include "platform/FileLock.h"
#include "profiles/ProfileFile.h"
#include "profiles/Profiles.h"
#include "profiles/SettingsFile.h"
#include "../support/Doubles.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace {

namespace fs = std::filesystem;

// The settings in file order, then the GUID's bytes in hex.
std::string Fields(const AppContext& app)
{
    char text[80];
    int n = std::snprintf(text, sizeof text, "%u %d %d %d %d %d %d ", app.flags, app.params[StatisticsWindow].value,
                          app.boardComPort, app.driveComPort, app.resetDelay, app.params[TorqueBandwidth].value,
                          app.currentProfile);
    for (uint8_t byte : app.usedController) n += std::snprintf(text + n, sizeof text - n, "%02x", byte);
    return text;
}

class SavedFiles : public ExecRuntime, protected AppPage {
protected:
    void SetUp() override { ASSERT_TRUE(Start()); }
    bool Flags2() const { return dir.Read("config.ini").find("\r\nFLAGS=2\r\n") != std::string::npos; }
};

} // namespace

TEST_F(SavedFiles, SettingsAreWrittenAsSignedNumbersAndReadBackIntoTheirFields)
{
    // A flags word or GUID with its top bit set is written as a negative number; other sections stay.
    const std::string file =
        "[Mine]\r\nA=1\r\n\r\n[Config]\r\nFLAGS=-2147483648\r\nWINDOW_DURATION=3000\r\nDEVICE_COM_PORT=255\r\n"
        "SM_COM_PORT=9\r\nRESET_DELAY=1\r\nTORQUE_BW=11\r\nGAME_PROFILE_ID=4\r\n"
        "USED_DEVICE_GUID=-1902345678,62964,22136,1,2,3,4,5,6,7,255\r\n\r\n";
    const std::pair<const char*, const char*> readings[] = {
        {nullptr, "0 10 0 0 2000 0 0 000000000000000000000000000000ee"}, // no file: first
        {"[Config]\r\nDEVICE_COM_PORT=260\r\nSM_COM_PORT=0x201\r\nRESET_DELAY=-9999999999\r\nUSED_DEVICE_GUID=1,65538,"
         "131075,256,257,0,0,0,0,0,511\r\n\r\n", "0 10 4 1 0 0 0 010000000200030000010000000000ff"},
        {"[Config]\r\nFLAGS=1\r\nUSED_DEVICE_GUID=1,2,3\r\n", "1 10 0 0 2000 0 0 01000000020003000000000000000000"},
        {"[Config]\r\nWINDOW_DURATION=1\r\nTORQUE_BW=5\r\nTORQUE_BW=0\r\nGAME_PROFILE_ID=5\r\nGAME_PROFILE_ID=0\r\n",
         "0 1 0 0 2000 0 0 000000000000000000000000000000ee"},
        {"[Config]\r\nTORQUE_BW=12\r\nTORQUE_BW=-1\r\nGAME_PROFILE_ID=-1\r\nWINDOW_DURATION=0\r\nWINDOW_DURATION=3001\r\n\r\n",
         "0 10 0 0 2000 0 0 000000000000000000000000000000ee"},
        {file.c_str(), "2147483648 3000 255 9 1 11 4 32829c8ef4f5785601020304050607ff"}, // last: written back below
    };
    for (const auto& [text, fields] : readings) {
        if (text) dir.Write("config.ini", text);
        app = std::make_unique<AppContext>();
        app->usedController[15] = 0xEE; // tells a value read as 0 from one left alone
        LoadSettings(*app);
        EXPECT_EQ(Fields(*app), fields) << (text ? text : "no file");
    }
    for (const char* line : {"TORQUE_BW 12 is outside 0..11, keeping 0", "TORQUE_BW -1 is outside 0..11, keeping 0",
                             "GAME_PROFILE_ID -1 is negative, keeping 0", "WINDOW_DURATION 0 is outside 1..3000, keeping 10",
                             "WINDOW_DURATION 3001 is outside 1..3000, keeping 10"}) {
        EXPECT_TRUE(LogHas(std::string("LoadSettings: ") + line)) << line;
    }
    dir.Write("config.ini", "[Mine]\r\nA=1\r\n\r\n");
    SaveSettings(*app);
    EXPECT_EQ(dir.Read("config.ini"), file);
}

TEST_F(SavedFiles, EveryProfileIsWrittenInListOrderAndReadBackIntoItsFields)
{
    LoadProfiles(*app);
    SaveProfiles(*app);
    EXPECT_EQ(dir.Read("GameProfiles.ini"), "[GameProfiles]\r\n\r\n") << "no file, no profiles";
    dir.Write("GameProfiles.ini", "// notes\r\n[GameProfiles]\r\nPROFILE=Old,o.exe\r\n\r\n[Mine]\r\nX=1\r\n");
    app->profiles.Append("Default", "NoLife.exe");
    GameProfile* game = app->profiles.Append("My Game", "joe's.exe");
    game->maxAngle = 1080;
    game->mainGain = 5;
    game->filter = 31;
    app->profiles.Append("", "");
    SaveProfiles(*app);
    const std::string file =
        "// notes\r\n[GameProfiles]\r\nPROFILE=Default,NoLife.exe,0,900,127,127,127,127,127,127,127,127,0,0,0,0,16\r\n"
        "PROFILE=\"My Game\",\"joe's.exe\",0,1080,5,127,127,127,127,127,127,127,0,0,0,0,31\r\n"
        "PROFILE=\"\",\"\",0,900,127,127,127,127,127,127,127,127,0,0,0,0,16\r\n\r\n[Mine]\r\nX=1\r\n";
    EXPECT_EQ(dir.Read("GameProfiles.ini"), file);
    app->profiles.Clear();
    LoadProfiles(*app);
    SaveProfiles(*app);
    EXPECT_EQ(dir.Read("GameProfiles.ini"), file) << "read and written again";
    // Missing values and those outside their range (whole, not cut to their
    // fields: 0x105 is no 5) take a new profile's defaults, and the log names
    // each; a missing name reads "Missing parameter"; a name's second line is
    // skipped.
    dir.Write("GameProfiles.ini", "[GameProfiles]\r\nPROFILE=A," + std::string(70, 'p') +
                                      ",0x105,70000,200,1,2,3,4,5,6,7,8,9,10,11,300\r\n"
                                      "PROFILE=Solo\r\nOTHER=1,2\r\nPROFILE=a,other.exe,1\r\nPROFILE=B,b.exe,8,540,-3,\"\"\r\n");
    app->profiles.Clear();
    LoadProfiles(*app);
    SaveProfiles(*app);
    EXPECT_EQ(dir.Read("GameProfiles.ini"),
              "[GameProfiles]\r\nPROFILE=A," + std::string(63, 'p') + ",0,900,127,1,2,3,4,5,6,7,8,9,10,11,16\r\n"
              "PROFILE=Solo,\"Missing parameter\",0,900,127,127,127,127,127,127,127,127,0,0,0,0,16\r\n"
              "PROFILE=B,b.exe,0,540,127,127,127,127,127,127,127,127,0,0,0,0,16\r\n\r\n");
    for (const char* line : {"Profile A: wheel flags 261 is outside 0..7, taking 0",
                             "Profile A: max angle 70000 is outside 180..2160, taking 900",
                             "Profile A: main gain 200 is outside 0..127, taking 127",
                             "Profile A: filter 300 is outside 1..31, taking 16", "Profile Solo: wheel flags is missing, taking 0",
                             "Profile B: wheel flags 8 is outside 0..7, taking 0", "Profile B: game spring is missing, taking 127"}) {
        EXPECT_TRUE(LogHas(line)) << line;
    }
    EXPECT_TRUE(LogHas("GameProfiles: profile a is in the file twice, the later line is skipped"));
}

TEST_F(SavedFiles, SaveOfAFileThatCannotBeReadIsRefusedAndLeavesIt)
{
    const std::string tooBig(5u << 20, 'x'); // more than the runtime's pool holds
    const struct { const char* file; std::function<void()> load; std::function<bool()> save; std::string logLine; } cases[] = {
        {"config.ini", [&] { LoadSettings(*app); }, [&] { return SaveSettings(*app); },
         "SaveSettings: could not write config.ini"},
        {"GameProfiles.ini", [&] { LoadProfiles(*app); }, [&] { return SaveProfiles(*app); },
         "GameProfiles: could not write GameProfiles.ini"},
    };
    for (const auto& c : cases) {
        for (const bool directory : {false, true}) {
            SCOPED_TRACE(std::string(c.file) + (directory ? " as a folder" : " too big"));
            if (directory) fs::create_directories(dir.path() / c.file / "x");
            else dir.Write(c.file, tooBig);
            EXPECT_FALSE(c.save());
            EXPECT_TRUE(directory ? fs::is_directory(dir.path() / c.file)
                                  : fs::file_size(dir.path() / c.file) == tooBig.size());
            EXPECT_TRUE(LogHas(c.logLine));
            EXPECT_NE(Log().find(std::string(c.file) + " exists but could not be read"), std::string::npos);
            fs::remove_all(dir.path() / c.file);
        }
        // Not read at start (locked, say) and readable at the end: what the run never saw stays.
        dir.Write(c.file, tooBig);
        c.load();
        dir.Write(c.file, "[Mine]\r\n");
        EXPECT_FALSE(c.save()) << c.file;
        EXPECT_EQ(dir.Read(c.file), "[Mine]\r\n");
        EXPECT_TRUE(LogHas(std::string(c.file) + " could not be read, this run leaves it as it is")) << c.file;
    }
}

TEST_F(SavedFiles, TheFirstCallOfARunWritesBothFilesWithTheSelectedProfileKeepsTheListAndReportsWhatFailed)
{
    // Two profiles in the main page's combo, "Rally" selected, and changed values on the trackbars.
    app->mainPage = &page;
    CreateProfile(*app, "Default", "NoLife.exe");
    GameProfile* rally = CreateProfile(*app, "Rally", "rally.exe");
    ui.controls.SelectComboItem(app->mainPage, ProfileComboId, 1);
    app->flags = 2;
    app->params[MaxAngle].value = 540;
    app->params[MainGain].value = 50;
    bool saved = false;
    SaveSettingsAndProfiles(*app, saved);
    EXPECT_TRUE(Flags2());
    EXPECT_EQ(dir.Read("GameProfiles.ini"), "[GameProfiles]\r\n"
                                            "PROFILE=Default,NoLife.exe,0,900,127,127,127,127,127,127,127,127,0,0,0,0,16\r\n"
                                            "PROFILE=Rally,rally.exe,0,540,50,0,0,0,0,0,0,0,0,0,0,0,0\r\n\r\n");
    // The program may go on (a session end): its combo still finds the profile.
    EXPECT_TRUE(app->profiles.Count() == 2 && SelectedProfile(*app) == rally && rally->mainGain == 50);
    app->flags = 0;
    std::filesystem::remove(dir.path() / "GameProfiles.ini");
    const UnsavedFiles again = SaveSettingsAndProfiles(*app, saved);
    EXPECT_FALSE(again.settings || again.profiles);
    EXPECT_TRUE(Flags2() && !std::filesystem::exists(dir.path() / "GameProfiles.ini")) << "a second call writes nothing";

    saved = false; // the next run, with a folder in the profiles file's place
    std::filesystem::create_directory(dir.path() / "GameProfiles.ini");
    const UnsavedFiles first = SaveSettingsAndProfiles(*app, saved);
    EXPECT_TRUE(!first.settings && first.profiles && !Flags2());
}

// A lock on the profile file that another holds is waited for, with one
// notice after a second, then given up; it is there once the holder goes.
TEST(ProfileFileLock, AnotherHoldersLockIsWaitedForThenGivenUpUntilItGoes)
{
    TempDir dir;
    const std::string path = (dir.path() / "GameProfiles.ini.lock").string();
    FakeClock clock;
    FileLock waiter;
    int notices = 0;
    {
        FileLock holder;
        ASSERT_EQ(holder.Take(path.c_str(), 0, [] {}), 0);
        const uint64_t start = clock.Now();
        EXPECT_EQ(waiter.Take(path.c_str(), 10000, [&] { ++notices; }), EWOULDBLOCK);
        EXPECT_EQ(notices, 1);
        const uint64_t waited = clock.Now() - start;
        EXPECT_TRUE(waited >= 10000 && waited < 10200) << waited;
    }
    EXPECT_EQ(waiter.Take(path.c_str(), 0, [] {}), 0);
}
