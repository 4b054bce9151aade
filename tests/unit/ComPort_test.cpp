#include "core/ComPort.h"
#include "platform/SerialPort.h"
#include "../support/Doubles.h"
#include "PtyBoard.h"
#include <gtest/gtest.h>
#include <memory>

using Bytes = std::vector<uint8_t>;

TEST(ComPort, ClosedPortDoesNothingAndComNumbersAreLinksInTheDeviceDirectoryElseTtyS)
{
    ComPort port;
    uint8_t buffer[4] = {9, 9, 9, 9};
    EXPECT_EQ(port.Write("abc", 3) + port.WriteString("abc") + port.WriteByte('S') + port.Read(buffer, 4), 0u);
    EXPECT_EQ(buffer[0] + port.BytesWaiting() + port.ReadByte(), 9u) << "nothing read, waiting or stored";
    port.Purge(), port.SetLines(true);
    EXPECT_EQ(std::pair(port.Close(), port.IsOpen()), std::pair(-1, false));
    PtyBoard board(5);
    EXPECT_EQ(SerialDeviceName(5), (board.Dir() / "com5").string());
    EXPECT_EQ(SerialDeviceName(1), "/dev/ttyS0");
}

TEST(ComPort, OpenRefusesMissingPortsNonTerminalsAndASecondHandleUntilTheFirstLetsGo)
{
    PtyBoard board(3);
    PtyBoard other(6);
    setenv("VANTOR_DOSDEVICES", board.Dir().c_str(), 1);
    std::filesystem::create_symlink(board.Dir() / "absent", board.Dir() / "com4");
    std::filesystem::create_symlink("/dev/null", board.Dir() / "com8");
    std::filesystem::create_symlink(other.Dir() / "com6", board.Dir() / "com6");
    ComPort first, second;
    for (int missing : {0, 4, 8}) EXPECT_FALSE(second.Open(static_cast<uint8_t>(missing), 115200)) << "COM" << missing;
    ASSERT_TRUE(first.Open(3, 115200));
    EXPECT_FALSE(second.Open(3, 115200)) << "held by the first handle";
    EXPECT_EQ(first.Close(), 1);
    ASSERT_TRUE(second.Open(3, 115200) && second.Open(6, 1200));
    EXPECT_TRUE(first.Open(3, 115200)) << "opening COM6 let COM3 go";
    second.Close();
    EXPECT_TRUE(std::make_unique<ComPort>()->Open(6, 115200));
    EXPECT_TRUE(second.Open(6, 115200)) << "let go by the destructor";
}

TEST(ComPort, BytesTravelBothWaysIdleReadsGiveUpAndPurgeDropsWhatCame)
{
    PtyBoard board(3);
    ComPort port;
    ASSERT_TRUE(port.Open(3, 115200));
    EXPECT_EQ(port.WriteString("areyou?"), 7u);
    EXPECT_EQ(board.Received(), (Bytes{'a', 'r', 'e', 'y', 'o', 'u', '?'}));
    board.Send({0x10, 0x27});
    uint8_t reply[4] = {};
    ASSERT_TRUE(WaitUntil([&] { return port.BytesWaiting() == 2; }));
    EXPECT_EQ(port.Read(reply, 4), 2u) << "what came before the time-outs ran out";
    EXPECT_EQ(Bytes(reply, reply + 4), (Bytes{0x10, 0x27, 0x00, 0x00}));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.ReadByte(), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(10)) << "five attempts of about 3 ms";
    board.Send({1, 2, 3});
    ASSERT_TRUE(WaitUntil([&] { return port.BytesWaiting() == 3; }));
    EXPECT_EQ(port.ReadByte(), 1);
    port.Purge();
    EXPECT_EQ(port.BytesWaiting(), 0u);
}
