// Firmware flashing natively: the real port lister and avrdude in Tools, wheelsim's boot loader.
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
};

TEST_F(FlashingTest, ImageReachesTheBoardThroughItsBootLoader)
{
    WheelSim sim(dir.path(), 5, {"--status", "8", "--fw-version", "21", "--boot-link", (dir.path() / "com9").string()});
    ASSERT_TRUE(ConnectWheel(*app, 5));
    ASSERT_EQ(std::system(("python3 " MAKEHEX_PATH " --size 4000 --out made.hex --version " + std::to_string(ImageVersion)).c_str()), 0);
    const std::string image = dir.Read("made.hex");
    EXPECT_TRUE(FlashFirmware(*app, "wheel.hex", image.data(), image.size()));
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

} // namespace
