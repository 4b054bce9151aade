// COM ports from the lister's output, the image check, and flashing with a fake lister and avrdude.
#include "ExecRuntime.h"
#include "FakeClock.h"
#include "PtyBoard.h"
#include "core/AppContext.h"
#include "platform/ChildProcess.h"
#include "platform/MessageBoxStyle.h"
#include "../support/Doubles.h"
#include "update/ComPortSearch.h"
#include "update/FirmwareFlash.h"
#include "update/HexImage.h"

#include <gtest/gtest.h>

#include <deque>

namespace {

// Hands out one listing per run of the lister (the last one again when they
// run out) and notes every program run.
struct FakeTools final : ChildProcesses {
    FakeTools() : previous(UseChildProcesses(this)) {}
    ~FakeTools() { UseChildProcesses(previous); }
    bool ReadOutput(const std::string& program, Texts& lines) override
    {
        listerRuns.push_back(program);
        if (listings.empty()) return false;
        lines = listings.front();
        if (listings.size() > 1) listings.pop_front();
        return true;
    }
    int Run(const std::string& program, const Texts& arguments, uint32_t limitMs) override
    {
        limit = limitMs;
        runs.push_back(program);
        for (const std::string& a : arguments) runs.back() += " " + a;
        return status;
    }
    ChildProcesses* previous;
    std::deque<Texts> listings;
    Texts listerRuns, runs;
    int status = 0;
    uint32_t limit = 0;
};

const std::string Long = std::string(120, '.');

class PortSearchTest : public ExecRuntime, protected Doubles {
protected:
    PortSearchTest()
    {
        Start();
        std::filesystem::create_directory(dir.path() / "Tools");
    }
    FakeTools tools;
};

TEST_F(PortSearchTest, TheLineWithBothIdsGivesItsPort)
{
    const struct {
        Texts listing;
        int port;
    } cases[] = {
        {{"COM3 - USB\\VID_2341&PID_8037", "COM13 - Arduino (COM13) - USB\\VID_2341&PID_8036&MI_00"}, 13},
        {{"COM13 - USB\\VID_2341&PID_8037", "COM3 - USB\\VID_2341&PID_8036"}, 3},
        {{"COM4 - USB\\vid_2341&pid_8036"}, 0}, // the keys are upper case
        {{"COM4 - USB\\VID_2341&PID_803"}, 0},
        {{"COM4 " + Long + "VID_2341&PID_8036"}, 0}, // past the 127 characters read
        {{"COM4 " + Long.substr(0, 100) + "VID_2341&PID_8036"}, 4},
        {{"COM5 - no ids", "VID_2341&PID_8036 COM6"}, 0}, // the ids come behind the port
        {{"COM128 VID_2341 PID_8036"}, 128},
        {{"COM7 VID_02341 PID_8036x"}, 7},
        {{}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.listing));
        tools.listings = {c.listing};
        EXPECT_EQ(FindComPortFromIds(0x2341, 0x8036), c.port);
    }
    tools.listings = {{"COM4 VID_10c4&PID_ea60"}}; // lower-case digits
    EXPECT_EQ(FindComPortFromIds(0x10C4, 0xEA60), 4);
    dir.Write("Tools/listComPorts", "");
    EXPECT_EQ(FindComPortFromIds(0x10C4, 0xEA60), 4);
    EXPECT_EQ(tools.listerRuns.back(), "Tools/listComPorts") << "the working directory's Tools come first";
    EXPECT_TRUE(LogHas("FindComPortFromIds : VID_10c4 / PID_ea60"));
    EXPECT_TRUE(LogHas("COM4 VID_10c4&PID_ea60"));
    EXPECT_TRUE(controls.Messages().empty());
}

TEST_F(PortSearchTest, ListingKeepsSixteenPortsInTheListersOrder)
{
    Texts listing = {"no port here", "COMx", "COM12 - x", "COM3"};
    for (int n = 20; n < 40; ++n) listing.push_back("COM" + std::to_string(n));
    tools.listings = {listing};
    uint8_t ports[MaxListedPorts];
    ASSERT_EQ(ListComPorts(ports), 16u);
    EXPECT_EQ(std::vector<int>(ports, ports + 4), (std::vector<int>{0, 12, 3, 20}));
    EXPECT_EQ(ports[15], 32);
}

TEST_F(PortSearchTest, MissingListerIsToldAndListsNothing)
{
    uint8_t ports[MaxListedPorts];
    EXPECT_EQ(ListComPorts(ports), 0u);
    EXPECT_EQ(FindComPortFromIds(0x2341, 0x8036), 0);
    ASSERT_EQ(controls.Messages().size(), 2u);
    EXPECT_EQ(controls.Messages()[0].text, "Could not execute listComPorts.exe");
    EXPECT_EQ(controls.Messages()[0].style, MessageIconInformation);
    EXPECT_EQ(tools.listerRuns.back(), ProgramFolder() + "Tools/listComPorts") << "else the Tools beside the program";
}

TEST(HexImage, OnlyRecordsInsideTheApplicationAreaWithAnEndPass)
{
    const std::pair<std::string, std::string> cases[] = {
        {":0400000001020304F2\r\n:00000001FF\r\n", ""},
        {":0400000001020304f2\n\n:00000001FF", ""}, // lower case, bare line ends, a blank line
        {":10 6FF0 00 000102030405060708090A0B0C0D0E0F 3A\r\n:00000001FF\r\n", "line 1 is no HEX record"},
        {":106FF000000102030405060708090A0B0C0D0E0F19\r\n:00000001FF\r\n", ""}, // ends at 0x6FFF
        {":106FF800000102030405060708090A0B0C0D0E0F11\r\n:00000001FF\r\n",
         "line 1 writes 0x6FF8 to 0x7007, beyond the application area"},
        {":020000040001F9\r\n:0100000000FF\r\n:00000001FF\r\n", "line 2 writes 0x10000 to 0x10000, beyond the application area"},
        {":020000020700F5\r\n:0100000000FF\r\n:00000001FF\r\n", "line 2 writes 0x7000 to 0x7000, beyond the application area"},
        {":0400000001020304F3\r\n:00000001FF\r\n", "bad checksum in line 1"},
        {":0400000001020304F2\r\n", "no end-of-file record"},
        {"", "no end-of-file record"},
        {"<html><body>404 not found</body></html>", "line 1 is no HEX record"},
        {":0500000001020304F2\r\n", "line 1 is no HEX record"}, // the count says more than the line has
        {":00000006FA\r\n", "line 1 has the unknown record type 6"},
        {":0400000001020304F2\r\n:00000001FF\r\njunk after the end", ""},
        {":00000001FF\r\n", "no data to write"},
        {":0000000000\r\n:00000001FF\r\n", "no data to write"},
        {":02000004FFFFFC\r\n:01FFFF000001\r\n:00000001FF\r\n",
         "line 2 writes 0xFFFFFFFF to 0xFFFFFFFF, beyond the application area"}, // no wrap to 0
    };
    for (const auto& [image, refusal] : cases) {
        char reason[96] = "";
        EXPECT_EQ(CheckHexImage(image.data(), image.size(), reason, sizeof reason), refusal.empty()) << image;
        EXPECT_EQ(reason, refusal) << image;
    }
}

constexpr char Image[] = ":0400000001020304F2\r\n:00000001FF\r\n";

class FlashTest : public ExecRuntime, protected AppPage {
protected:
    FlashTest()
    {
        Start();
        std::filesystem::create_directory(dir.path() / "Tools");
        app->boardComPort = 5;
        app->firmwareVersion = 0x0102;
        app->resetDelay = 1500;
        dir.Write("Tools/avrdude.conf", "");
    }
    bool Flash(const char* image = Image) { return FlashFirmware(*app, "wheel.hex", image, std::strlen(image)); }
    Texts Shown()
    {
        Texts texts;
        for (const auto& m : ui.controls.Messages()) texts.push_back(m.text);
        return texts;
    }
    PtyBoard board{5};
    FakeClock clock;
    FakeTools tools;
};

TEST_F(FlashTest, BootLoadersNewPortGetsTheImageThroughAvrdude)
{
    tools.listings = {{"COM5", "COM1"}, {"COM1", "COM9", "COM5", "COM11"}};
    EXPECT_TRUE(Flash());
    EXPECT_EQ(dir.Read("wheel.hex"), Image);
    // COM11 is named to avrdude as the system names it (no link here: the 11th serial port).
    EXPECT_EQ(tools.runs, Texts{"Tools/avrdude avrdude -CTools/avrdude.conf -v -patmega32u4 -cavr109 -P/dev/ttyS10 -b57600 "
                                "-D -Uflash:w:wheel.hex:i"});
    EXPECT_TRUE(LogHas("avrdude :"));
    EXPECT_TRUE(LogHas("Tools/avrdude -CTools/avrdude.conf -v -patmega32u4 -cavr109 -P/dev/ttyS10 -b57600 "
                       "-D-Uflash:w:wheel.hex:i"));
    EXPECT_EQ(clock.Sleeps(), std::vector<uint32_t>{1500});
    EXPECT_EQ(tools.limit, 120000u) << "two minutes at most";
    EXPECT_EQ(app->firmwareVersion, 0u) << "read again from the board that comes back";
    EXPECT_EQ(app->commandBusy, 0);
    EXPECT_TRUE(Shown().empty());
}

TEST_F(FlashTest, EachFailureTellsAtMostItsOwnAndKeepsTheVersion)
{
    const struct {
        const char* name;
        std::deque<Texts> listings;
        int avrdude;
        uint8_t boardPort;
        Texts shown;
        std::size_t runs;
    } cases[] = {
        {"board not listed", {{"COM1"}}, 0, 5, {}, 0},
        {"no new port", {{"COM5"}, {"COM5"}}, 0, 5, {"Could find any board with a bootloader"}, 0},
        {"avrdude failed", {{"COM5"}, {"COM5", "COM9"}}, 1, 5, {}, 1},
        {"avrdude missing", {{"COM5"}, {"COM5", "COM9"}}, -1, 5, {}, 1},
        {"avrdude stopped at its limit", {{"COM5"}, {"COM5", "COM9"}}, ChildStopped, 5, {}, 1},
        {"port will not open", {{"COM6"}}, 0, 6, {"Could not reset your board on COM6"}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ui.controls.Clear();
        tools.runs.clear();
        tools.listings = c.listings;
        tools.status = c.avrdude;
        app->boardComPort = c.boardPort;
        app->commandBusy = 1; // as the update check holds it around its boxes
        EXPECT_FALSE(Flash());
        EXPECT_EQ(Shown(), c.shown);
        EXPECT_EQ(tools.runs.size(), c.runs);
        EXPECT_EQ(app->firmwareVersion, 0x0102u);
        EXPECT_EQ(app->commandBusy, 1) << "left to the caller";
    }
    EXPECT_TRUE(LogHas("FlashFirmware: avrdude failed (exit status 1)"));
    EXPECT_TRUE(LogHas("FlashFirmware: avrdude did not end within 120 s and was stopped"));
}

TEST_F(FlashTest, BadImageIsRefusedBeforeThePortsAreListed)
{
    EXPECT_FALSE(Flash(":0400000001020304F3\r\n:00000001FF"));
    EXPECT_EQ(Shown(), Texts{"The firmware wheel.hex is no valid firmware image (bad checksum in line 1)"});
    EXPECT_TRUE(LogHas("FlashFirmware: wheel.hex refused: bad checksum in line 1"));
    EXPECT_TRUE(tools.listerRuns.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "wheel.hex"));
}

// The image reaches avrdude only whole, and only in place of an earlier
// image: a file of the user's, a folder, a full disk stop the flash before
// the board is touched.
TEST_F(FlashTest, ImageIsKeptOnlyWholeAndOnlyInPlaceOfAnImage)
{
    namespace fs = std::filesystem;
    const struct {
        const char* name;
        void (*before)(const fs::path&);
        const char* shown;
        const char* left; // wheel.hex afterwards; nullptr: none
    } cases[] = {
        {"an earlier image", [](const fs::path& d) { std::ofstream(d / "wheel.hex") << ":0100000000FF\n:00000001FF\n"; },
         nullptr, Image},
        {"the user's file", [](const fs::path& d) { std::ofstream(d / "wheel.hex") << "[GameProfiles]\r\n"; },
         "The file wheel.hex is no firmware image and was left as it is", "[GameProfiles]\r\n"},
        {"a folder", [](const fs::path& d) { fs::create_directory(d / "wheel.hex"); },
         "Could not write the firmware to wheel.hex: a folder or device has that name", nullptr},
        {"no room beside it", [](const fs::path& d) { fs::create_directory(d / "wheel.hex.new"); },
         "Could not write the firmware to wheel.hex", nullptr},
        {"a full disk", [](const fs::path& d) { fs::create_symlink("/dev/full", d / "wheel.hex.new"); },
         "Could not write the firmware to wheel.hex", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ui.controls.Clear();
        tools.listerRuns.clear();
        tools.listings = {{"COM5"}, {"COM5", "COM9"}};
        fs::remove_all(dir.path() / "wheel.hex");
        fs::remove_all(dir.path() / "wheel.hex.new");
        c.before(dir.path());
        EXPECT_EQ(Flash(), c.shown == nullptr);
        EXPECT_EQ(Shown(), c.shown ? Texts{c.shown} : Texts{});
        if (c.shown) {
            EXPECT_TRUE(LogHas(std::string("FlashFirmware: ") + c.shown));
            EXPECT_TRUE(tools.listerRuns.empty()) << "the board was not touched";
        }
        if (c.left) EXPECT_EQ(dir.Read("wheel.hex"), c.left);
        else EXPECT_FALSE(fs::is_regular_file(dir.path() / "wheel.hex"));
        EXPECT_FALSE(fs::is_regular_file(dir.path() / "wheel.hex.new"));
    }
}

} // namespace
