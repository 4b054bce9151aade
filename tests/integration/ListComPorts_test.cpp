// listComPorts on Linux: a private COM port directory, USB ids from a made-up sysfs tree.
#include "unit/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <pty.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<std::string> ListedPorts()
{
    std::vector<std::string> lines;
    std::FILE* out = popen(LISTCOMPORTS_PATH, "r");
    char line[256];
    while (out && std::fgets(line, sizeof line, out)) lines.emplace_back(line, std::strcspn(line, "\n"));
    EXPECT_TRUE(out && pclose(out) == 0);
    return lines;
}

} // namespace

TEST(ListComPorts, LinksAreListedByNumberWithTheIdsOfTheirUsbDevices)
{
    TempDir dir;
    const fs::path ports = dir.path() / "dosdevices", sysfs = dir.path() / "sys", dev = dir.path() / "dev";
    fs::create_directories(ports);
    fs::create_directories(dev);
    int master = -1, slave = -1;
    char pts[128];
    ASSERT_EQ(openpty(&master, &slave, pts, nullptr, nullptr), 0);
    // In the order of their numbers, as listed; dev/ is made ahead of the
    // USB devices and of sysfs, in which each tty but the pty's has a device.
    const struct {
        const char* link;
        const char* tty;    // the link's target in dev/ (made unless "missing"); none: the pty
        const char* usb;    // vendor and product as sysfs writes them; none: no USB device above the tty
        const char* name;   // the USB device's product text
        std::string listed; // "DEV/" stands for dev/'s path
    } cases[] = {
        {"com1", "ttyS0", nullptr, nullptr, "COM1 - DEV/ttyS0"},
        {"com3", "ttyUSB0", "0403 6001", "FT232R USB UART", "COM3 - FT232R USB UART (COM3) - USB\\VID_0403&PID_6001"},
        {"com4", "missing", nullptr, nullptr, ""},
        {"com05", "ttyS1", nullptr, nullptr, ""}, // not a name the program opens
        {"com7", nullptr, nullptr, nullptr, "COM7 - " + std::string(pts)},
        {"com13", "ttyACM0", "2a03 8036", nullptr, "COM13 - USB Serial Device (COM13) - USB\\VID_2A03&PID_8036"},
        {"com255", "ttyS2", nullptr, nullptr, "COM255 - DEV/ttyS2"},
        {"com261", "ttyS3", nullptr, nullptr, ""}, // above a byte: it would be taken for COM5
    };
    std::vector<std::string> expected;
    int bus = 0;
    for (const auto& c : cases) {
        std::string line = c.listed;
        const std::size_t at = line.find("DEV/");
        if (at != std::string::npos) line.replace(at, 3, fs::canonical(dev).string());
        if (!line.empty()) expected.push_back(line);
        fs::create_symlink(c.tty ? dev / c.tty : fs::path(pts), ports / c.link);
        if (!c.tty || c.tty == std::string("missing")) continue;
        std::ofstream(dev / c.tty).put('\n');
        const fs::path device = sysfs / "devices" / ("usb" + std::to_string(++bus)) / "1-1";
        fs::create_directories(device / "1-1:1.0");
        fs::create_directories(sysfs / "class/tty" / c.tty);
        fs::create_symlink(device / "1-1:1.0", sysfs / "class/tty" / c.tty / "device");
        if (c.usb) {
            std::ofstream(device / "idVendor") << std::string(c.usb, 4) << "\n";
            std::ofstream(device / "idProduct") << std::string(c.usb + 5) << "\n";
        }
        if (c.name) std::ofstream(device / "product") << c.name << "\n";
    }
    setenv("VANTOR_DOSDEVICES", ports.c_str(), 1);
    setenv("VANTOR_SYSFS", sysfs.c_str(), 1);
    EXPECT_EQ(ListedPorts(), expected);
    unsetenv("VANTOR_SYSFS");
    unsetenv("VANTOR_DOSDEVICES");
    close(master);
    close(slave);
}
