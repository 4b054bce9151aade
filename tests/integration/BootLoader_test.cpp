// wheelsim's boot loader: the 1200-baud reset, the AVR109 bytes, real avrdude writing makehex.py's images.
#include "support/SimProcess.h"
#include "unit/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Bytes = std::string;
using std::chrono::seconds;
constexpr uint32_t ImageVersion = 0x2A0107;
constexpr uint32_t DefaultVersion = 21;

// A port opened raw at a speed, closed when the object goes.
struct Port {
    Port(const fs::path& path, speed_t speed) : fd(open(path.c_str(), O_RDWR | O_NOCTTY))
    {
        termios tio{};
        if (fd < 0 || tcgetattr(fd, &tio) != 0) return;
        cfmakeraw(&tio);
        cfsetspeed(&tio, speed);
        tcsetattr(fd, TCSANOW, &tio);
    }
    ~Port() { close(fd); }
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;

    // Sends the bytes and reads the answer's count of bytes (fewer after 2 s).
    Bytes Ask(const Bytes& bytes, std::size_t count) const
    {
        if (write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) return "write failed";
        Bytes answer;
        char buffer[256];
        pollfd p{fd, POLLIN, 0};
        while (answer.size() < count && poll(&p, 1, 2000) > 0) {
            const ssize_t n = read(fd, buffer, std::min(sizeof buffer, count - answer.size()));
            if (n <= 0) break;
            answer.append(buffer, static_cast<std::size_t>(n));
        }
        return answer;
    }
    int fd;
};

// The board's 'V' answer, 4 bytes little-endian.
uint32_t BoardVersion(const fs::path& port)
{
    const Bytes answer = Port(port, B115200).Ask("V", 4);
    uint32_t version = 0;
    for (std::size_t i = answer.size(); i-- > 0;) version = version << 8 | static_cast<uint8_t>(answer[i]);
    return answer.size() == 4 ? version : 0xdeadbeef;
}

// What the program does to start the boot loader: open at 1200 baud, close.
void Reset(const fs::path& port) { const Port opened(port, B1200); }

std::vector<std::string> ComLinks(const fs::path& dir)
{
    std::vector<std::string> links;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.is_symlink()) links.push_back(entry.path().filename().string());
    std::sort(links.begin(), links.end());
    return links;
}

int Shell(const std::string& command)
{
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The 32 KiB flash an Intel HEX file leaves on an erased chip whose boot
// section (0x7000 up) cannot be written.
Bytes FlashAfter(const fs::path& hex)
{
    Bytes flash(0x8000, '\xff');
    std::ifstream in(hex);
    for (std::string line; std::getline(in, line);) {
        const auto at = [&](std::size_t i, int n) { return std::stoul(line.substr(i, n), nullptr, 16); };
        if (line.size() < 11 || at(7, 2) != 0) continue;
        for (std::size_t i = 0; i < at(1, 2); ++i)
            if (at(3, 4) + i < 0x7000) flash[at(3, 4) + i] = static_cast<char>(at(9 + 2 * i, 2));
    }
    return flash;
}

struct BootCase {
    const char* name;
    bool samePort;
    bool neverReturn;
    const char* imageSwitch; // for makehex.py
    bool avrdudeSucceeds;
};

// Names the case in test names and messages.
void PrintTo(const BootCase& c, std::ostream* out) { *out << c.name; }

class BootLoaderFlash : public ::testing::TestWithParam<BootCase> {
protected:
    TempDir dir;
    fs::path Path(const std::string& name) const { return dir.path() / name; }
};

} // namespace

TEST_P(BootLoaderFlash, AvrdudeWritesTheImageAndTheBoardComesBackWithItsVersion)
{
    const BootCase& c = GetParam();
    ASSERT_EQ(Shell(std::string("python3 " MAKEHEX_PATH " --version ") + std::to_string(ImageVersion) +
                  " --size 20000 --out " + Path("image.hex").string() + " " + c.imageSwitch),
              0);
    std::vector<std::string> options = {"--fw-version", std::to_string(DefaultVersion), "--flash-out",
                                        Path("flash.bin").string(), "--boot-ms", "3000"};
    if (c.samePort) options.push_back("--boot-same-port");
    if (!c.samePort) options.insert(options.end(), {"--boot-link", Path("com9").string()});
    if (c.neverReturn) options.push_back("--boot-never-return");
    WheelSim sim(dir.path(), 5, options);
    ASSERT_TRUE(sim.Running());
    EXPECT_EQ(BoardVersion(Path("com5")), DefaultVersion);

    Reset(Path("com5"));
    const std::string bootPort = c.samePort ? "com5" : "com9";
    ASSERT_TRUE(sim.WaitForLog("\"event\":\"bootloader\",\"port\":\"" + Path(bootPort).string()));
    EXPECT_EQ(ComLinks(dir.path()), std::vector<std::string>{bootPort}) << "the board's port goes, the loader's comes";
    const std::string image = Path("image.hex").string();
    const int avrdude = Shell("avrdude -C /etc/avrdude.conf -patmega32u4 -cavr109 -P " + Path(bootPort).string() +
                              " -b57600 -D -Uflash:w:" + image + ":i -Uflash:v:" + image + ":i > " +
                              Path("avrdude.txt").string() + " 2>&1");
    EXPECT_EQ(avrdude == 0, c.avrdudeSucceeds) << dir.Read("avrdude.txt");

    const auto after = c.neverReturn ? std::vector<std::string>{} : std::vector<std::string>{"com5"};
    ASSERT_TRUE(WaitUntil([&] { return !sim.LogLinesWith("\"event\":\"flash-out\"").empty(); }, seconds(5)));
    EXPECT_TRUE(WaitUntil([&] { return ComLinks(dir.path()) == after; }, seconds(5)));
    EXPECT_EQ(sim.LogLinesWith("\"reason\":\"exit\"").size(), 1u);
    if (!c.neverReturn) {
        EXPECT_EQ(BoardVersion(Path("com5")), ImageVersion);
    }
    EXPECT_TRUE(dir.Read("flash.bin") == FlashAfter(Path("image.hex")));
}

INSTANTIATE_TEST_SUITE_P(
    Boards, BootLoaderFlash,
    ::testing::Values(BootCase{"NewPort", false, false, "", true}, BootCase{"SamePortNeverBack", true, true, "", true},
                      BootCase{"BootSectionRefused", false, false, "--boot-address", false}));

TEST(BootLoaderBytes, Avr109CommandsAnswerAndTheBoardReportsTheVersionWritten)
{
    TempDir dir;
    Bytes start(0x7000, '\x5a');
    start.replace(0x6ffc, 4, "\x04\x03\x02\x01");
    dir.Write("start.bin", start);
    WheelSim sim(dir.path(), 5,
                 {"--flash-in", (dir.path() / "start.bin").string(), "--boot-link", (dir.path() / "com9").string()});
    ASSERT_TRUE(sim.Running());
    EXPECT_EQ(BoardVersion(dir.path() / "com5"), 0x01020304u) << "the version the flash holds";
    Reset(dir.path() / "com5");
    ASSERT_TRUE(WaitUntil([&] { return fs::is_symlink(dir.path() / "com9"); }));
    const Port boot(dir.path() / "com9", B57600);
    const struct { Bytes sent, answer; } exchanges[] = {
        {"S", "CATERIN"}, {"V", "10"}, {"v", "?"}, {"p", "S"}, {"a", "Y"}, {Bytes("b"), Bytes("Y\0\x80", 3)},
        {"t", Bytes("\x44\0", 2)}, {"TD", "\r"}, {"s", "\x87\x95\x1e"}, {"P", "\r"}, {"rFNQ", "\x2f\xff\xd8\xcb"},
        {"\x1bZ", "?"}, {Bytes("B\0\1X", 4), "?"},                             // ESC is none; X is no memory
        {Bytes("A\0\0g\0\2F", 7), "\r\x5a\x5a"},                              // the flash it started with
        {"e", "\r"}, {Bytes("A\0\0g\0\2F", 7), "\r\xff\xff"},                 // erased
        {Bytes("A\x37\xfe" "B\0\x08" "F\x44\x33\x22\x11\1\2\3\4", 15), "\r\r"}, // words 0x37FE.. = bytes 0x6FFC..
        {Bytes("A\x37\xfeg\0\x08" "F", 7), "\r\x44\x33\x22\x11\xff\xff\xff\xff"}, // not the boot section
        {Bytes("A\x03\xfe" "B\0\4" "E\5\6\7\x08", 11), "\r\r"},                // EEPROM ends at 0x3FF
        {Bytes("A\x03\xfcg\0\6E", 7), "\r\xff\xff\5\6\xff\xff"}, {"L", "\r"}, {"E", "\r"}};
    for (const auto& e : exchanges) EXPECT_EQ(boot.Ask(e.sent, e.answer.size()), e.answer) << "sent " << e.sent;
    ASSERT_TRUE(WaitUntil([&] { return fs::is_symlink(dir.path() / "com5"); }));
    EXPECT_EQ(BoardVersion(dir.path() / "com5"), 0x11223344u);
    EXPECT_EQ(std::pair(sim.LogLinesWith("\"refused\":4").size(), sim.LogLinesWith("\"refused\":2").size()),
              std::pair(std::size_t{1}, std::size_t{1}))
        << "the flash block's last 4 bytes, the EEPROM block's last 2";
}
