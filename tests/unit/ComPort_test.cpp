#include "core/ComPort.h"
#include "platform/SerialPort.h"

#include "PtyBoard.h"

#include <gtest/gtest.h>

#include <chrono>

TEST(ComPortClosed, EveryOperationDoesNothing)
{
    ComPort port;
    EXPECT_FALSE(port.IsOpen());
    uint8_t buffer[4] = {9, 9, 9, 9};
    EXPECT_EQ(port.Write("abc", 3), 0u);
    EXPECT_EQ(port.WriteString("abc"), 0u);
    EXPECT_EQ(port.WriteByte('S'), 0u);
    EXPECT_EQ(port.Read(buffer, 4), 0u);
    EXPECT_EQ(buffer[0], 9);
    EXPECT_EQ(port.BytesWaiting(), 0u);
    EXPECT_EQ(port.ReadByte(), 0);
    port.Purge();
    port.SetLines(true);
    EXPECT_EQ(port.Close(), -1);
    EXPECT_EQ(port.Close(), -1);
    EXPECT_FALSE(port.IsOpen());
}

TEST(ComPortNames, ComNumberIsTheLinkInTheDeviceDirectoryElseTtyS)
{
    TempDir dir;
    setenv("VANTOR_DOSDEVICES", dir.path().c_str(), 1);
    std::filesystem::create_symlink("/dev/null", dir.path() / "com5");
    EXPECT_EQ(SerialDeviceName(5), (dir.path() / "com5").string());
    EXPECT_EQ(SerialDeviceName(6), "/dev/ttyS5");
    EXPECT_EQ(SerialDeviceName(1), "/dev/ttyS0");
    unsetenv("VANTOR_DOSDEVICES");
    const char* home = std::getenv("HOME");
    const std::string saved = home ? home : "";
    setenv("HOME", dir.path().c_str(), 1);
    std::filesystem::create_directories(dir.path() / ".vantor/dosdevices");
    std::filesystem::create_symlink("/dev/null", dir.path() / ".vantor/dosdevices/com12");
    EXPECT_EQ(SerialDeviceName(12), (dir.path() / ".vantor/dosdevices/com12").string());
    setenv("HOME", saved.c_str(), 1);
}

TEST(ComPortOpen, ComZeroAndMissingPortsStayClosed)
{
    PtyBoard board(3);
    std::filesystem::create_symlink(board.Dir() / "absent", board.Dir() / "com4");
    ComPort port;
    EXPECT_FALSE(port.Open(0, 115200));
    EXPECT_FALSE(port.Open(4, 115200));
    EXPECT_FALSE(port.IsOpen());
}

TEST(ComPortOpen, NotATerminalIsRefused)
{
    PtyBoard board(3);
    std::filesystem::create_symlink("/dev/null", board.Dir() / "com8");
    ComPort port;
    EXPECT_FALSE(port.Open(8, 115200));
}

TEST(ComPortOpen, SecondHandleOnTheSamePortIsRefusedUntilTheFirstCloses)
{
    PtyBoard board(3);
    ComPort first;
    ComPort second;
    ASSERT_TRUE(first.Open(3, 115200));
    EXPECT_FALSE(second.Open(3, 115200));
    EXPECT_EQ(first.Close(), 1);
    EXPECT_TRUE(second.Open(3, 115200));
}

TEST(ComPortOpen, OpeningAnotherNumberClosesTheFirstHandle)
{
    PtyBoard board(3);
    PtyBoard other(6);
    setenv("VANTOR_DOSDEVICES", board.Dir().c_str(), 1);
    std::filesystem::create_symlink(other.Dir() / "com6", board.Dir() / "com6");
    ComPort port;
    ComPort probe;
    ASSERT_TRUE(port.Open(3, 115200));
    ASSERT_TRUE(port.Open(6, 1200));
    EXPECT_TRUE(probe.Open(3, 115200)) << "COM3 was let go";
}

TEST(ComPortIo, BytesTravelBothWays)
{
    PtyBoard board(3);
    ComPort port;
    ASSERT_TRUE(port.Open(3, 115200));
    EXPECT_EQ(port.WriteString("areyou?"), 7u);
    const std::vector<uint8_t> sent = board.Received();
    EXPECT_EQ(std::string(sent.begin(), sent.end()), "areyou?");
    board.Send({0x10, 0x27, 0x00});
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (port.BytesWaiting() < 3 && std::chrono::steady_clock::now() < end) {
    }
    EXPECT_EQ(port.BytesWaiting(), 3u);
    EXPECT_EQ(port.ReadByte(), 0x10);
    uint8_t rest[2] = {};
    EXPECT_EQ(port.Read(rest, 2), 2u);
    EXPECT_EQ(rest[0], 0x27);
    EXPECT_EQ(rest[1], 0x00);
}

TEST(ComPortIo, IdleReadGivesUpAfterItsFiveAttempts)
{
    PtyBoard board(3);
    ComPort port;
    ASSERT_TRUE(port.Open(3, 115200));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.ReadByte(), 0);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(10)) << "five attempts of about 3 ms";
    EXPECT_LT(took, std::chrono::milliseconds(1000));
}

TEST(ComPortIo, PurgeDropsWhatWasReceived)
{
    PtyBoard board(3);
    ComPort port;
    ASSERT_TRUE(port.Open(3, 115200));
    board.Send({1, 2, 3});
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (port.BytesWaiting() < 3 && std::chrono::steady_clock::now() < end) {
    }
    port.Purge();
    EXPECT_EQ(port.BytesWaiting(), 0u);
}
