// Firmware flashing from the program's side, natively: the port lister and
// avrdude in Tools of the working directory, wheelsim's boot loader on a new
// port, and the board that comes back with the image's version; images
// that are no firmware never reset the board.
#include "board/WheelLink.h"
#include "core/AppContext.h"
#include "support/Doubles.h"
#include "support/SimProcess.h"
#include "unit/ExecRuntime.h"
#include "update/FirmwareFlash.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

namespace fs = std::filesystem;
constexpr uint32_t ImageVersion = 0x0167;

class FlashingTest : public ExecRuntime, protected AppPage {
protected:
    FlashingTest()
    {
        Start(0x2);
        setenv("VANTOR_DOSDEVICES", dir.path().c_str(), 1);
        fs::create_directory(dir.path() / "Tools");
        fs::create_symlink(LISTCOMPORTS_PATH, dir.path() / "Tools/listComPorts");
        fs::create_symlink("/usr/bin/avrdude", dir.path() / "Tools/avrdude");
        fs::create_symlink("/etc/avrdude.conf", dir.path() / "Tools/avrdude.conf");
        app->boardComPort = 5;
        app->resetDelay = 1000;
    }
    ~FlashingTest() override
    {
        app->boardPort.Close();
        unsetenv("VANTOR_DOSDEVICES");
    }
    // An image made by makehex.py with the switches.
    std::string Image(const std::string& switches)
    {
        const std::string command = "python3 " MAKEHEX_PATH " --version " + std::to_string(ImageVersion) +
                                    " --size 4000 --out made.hex " + switches;
        EXPECT_EQ(std::system(command.c_str()), 0);
        return dir.Read("made.hex");
    }
    bool Flash(const std::string& image) { return FlashFirmware(*app, "wheel.hex", image.data(), image.size()); }
};

TEST_F(FlashingTest, ImageReachesTheBoardThroughItsBootLoader)
{
    WheelSim sim(dir.path(), 5, {"--status", "8", "--fw-version", "21", "--boot-link", (dir.path() / "com9").string()});
    ASSERT_TRUE(ConnectWheel(*app, 5));
    EXPECT_TRUE(Flash(Image("")));
    EXPECT_EQ(app->firmwareVersion, 0u);
    EXPECT_TRUE(LogHas("Tools/avrdude -CTools/avrdude.conf -v -patmega32u4 -cavr109 -P" + dir.path().string() +
                       "/com9 -b57600 -D-Uflash:w:wheel.hex:i"));
    EXPECT_EQ(sim.LogLinesWith("\"event\":\"boot-exit\",\"reason\":\"exit\"").size(), 1u) << "avrdude left it";

    // The board comes back on its port with the version the image carries.
    ASSERT_TRUE(WaitUntil([&] { return fs::is_symlink(dir.path() / "com5"); }, std::chrono::seconds(5)));
    ASSERT_TRUE(ConnectWheel(*app, 5));
    PollWheel(*app, false);
    EXPECT_EQ(app->firmwareVersion, ImageVersion);
}

TEST_F(FlashingTest, ImagesThatAreNoFirmwareNeverResetTheBoard)
{
    WheelSim sim(dir.path(), 5, {"--boot-link", (dir.path() / "com9").string()});
    const std::pair<std::string, std::string> cases[] = {
        {Image("--bad-checksum"), "bad checksum in line"},
        {Image("--boot-address"), "beyond the application area"},
        {Image("--no-end"), "no end-of-file record"},
        {"<html><body>404 not found</body></html>", "line 1 is no HEX record"},
    };
    for (const auto& [image, reason] : cases) {
        SCOPED_TRACE(reason);
        EXPECT_FALSE(Flash(image));
        const std::string log = Log();
        const std::size_t line = log.rfind("FlashFirmware: wheel.hex refused: ");
        EXPECT_NE(line, std::string::npos);
        EXPECT_NE(log.find(reason, line), std::string::npos);
    }
    EXPECT_TRUE(sim.LogLinesWith("bootloader").empty());
    EXPECT_TRUE(sim.LogLinesWith("restart").empty());
    EXPECT_TRUE(fs::is_symlink(dir.path() / "com5"));
}

} // namespace
