// The drive link and the drive page against drivesim on pseudo-terminals.
#include "core/StartSwitches.h"
#include "drive/DriveBus.h"
#include "drive/DriveLink.h"
#include "drive/DriveSerial.h"
#include "drive/DriveStatistics.h"
#include "drive/SmCrc.h"
#include "support/Doubles.h"
#include "support/SimProcess.h"
#include "ui/AdvancedDialog.h"
#include "ui/DrivePage.h"
#include "ui/MainPage.h"
#include "unit/PtyBoard.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <thread>
#include <unistd.h>

namespace {

using std::chrono::steady_clock;
constexpr int DriveCom = 7;
constexpr uint8_t Node = 2;

class DriveLinkTest : public ::testing::Test, protected AppPage {
protected:
    DriveLinkTest()
    {
        setenv("VANTOR_DOSDEVICES", dir.path().c_str(), 1);
        LogInto(dir.WithSeparator());
        g_switches.dev = true;
        drive::SetReadTimeout(200);
    }
    ~DriveLinkTest() override
    {
        BusClose(app->driveBus);
        for (int bus : buses) BusClose(bus);
        g_switches.dev = false;
        unsetenv("VANTOR_DOSDEVICES");
    }
    DriveSim& Start(Texts options = {})
    {
        sim.reset(); // its link goes with it
        sim = std::make_unique<DriveSim>(dir.path(), DriveCom, std::move(options));
        EXPECT_TRUE(sim->Running());
        return *sim;
    }
    int Open(const char* name = "COM7") { return buses.emplace_back(BusOpen(name)); }
    // The requests drivesim logged with the text, once it has logged as many as n.
    Texts Requests(const std::string& text, std::size_t n = 1)
    {
        WaitUntil([&] { return sim->LogLinesWith(text).size() >= n; });
        return sim->LogLinesWith(text);
    }
    std::string Log() { return dir.Read("Log.txt"); }
    std::string Text(int id) { return ui.controls.TextOf(&drivePage, id); }

    TempDir dir;
    std::unique_ptr<DriveSim> sim;
    std::vector<int> buses;
};

} // namespace

TEST(DriveBusReceiver, ReturnValuesDropTheirTypeBitsAndKeepTheirSign)
{
    const struct { std::vector<uint8_t> payload; std::vector<std::pair<uint32_t, int32_t>> values; } cases[] = {
        {{0x3F, 0xFF, 0xFF, 0xFF, 0x9F, 0xFF}, {{SmOk, -1}, {SmOk, 8191}, {SmLengthError, 0}}},
        {{0xFF, 0xE0, 0x42, 0x00, 0x01, 0xA0, 0x00}, {{SmOk, -1}, {SmOk, -32}, {SmOk, 0x20001}, {SmOk, -8192}}},
        {{0x20, 0x00, 0x00}, {{SmLengthError, 0}}}, // a 4-byte value cut off by the end of the payload
    };
    for (const auto& c : cases) {
        DriveBus bus;
        std::copy(c.payload.begin(), c.payload.end(), bus.buffer);
        bus.expectedSize = static_cast<int16_t>(c.payload.size());
        for (const auto& [status, value] : c.values) {
            int32_t got = 99;
            EXPECT_EQ(BusNextReturnValue(bus, got), status);
            EXPECT_EQ(got, value) << "payload of " << c.payload.size();
        }
    }
}

TEST_F(DriveLinkTest, RequestBytesAndEveryParameterOfTheProgramGoBothWays)
{
    Start({"--samples", "-2000", "--torque-bw", "4"});
    const int bus = Open();
    ASSERT_GE(bus, 0);
    int32_t value = 0;
    EXPECT_EQ(BusReadParameter(bus, Node, TorqueBandwidthParam, value), SmOk);
    EXPECT_EQ(value, 4);
    EXPECT_EQ(BusSetParameter(bus, Node, TorqueBandwidthParam, 7), SmOk);
    ASSERT_EQ(Requests("\"bytes\":[36,", 2).size(), 2u);
    EXPECT_NE(sim->LogLinesWith("\"bytes\":[36,10,2,128,10,64,0,0,128,9,64,1,234,156,181]").size(), 0u);
    EXPECT_NE(sim->LogLinesWith("\"bytes\":[36,6,2,129,234,0,0,0,7,78,239]").size(), 0u);

    const std::pair<uint16_t, int32_t> reads[] = {{DriveVersionParam, 0x0201}, {MotorCurrentParam, -2000}, {TorqueBandwidthParam, 7}};
    for (const auto& [parameter, expected] : reads) {
        EXPECT_EQ(BusReadParameter(bus, Node, parameter, value), SmOk) << parameter;
        EXPECT_EQ(value, expected) << parameter;
    }
    // Each written value comes back in the shortest reply form that holds it.
    const std::pair<uint16_t, int32_t> writes[] = {{DriveSettingParam, -1}, {DriveSettingParam, 8191},
        {DriveSettingParam, -2000000}, {DriveSettingParam, 536870911}, {DriveControlParam, 2}, {ClearFaultsParam, 3}};
    for (const auto& [parameter, written] : writes) {
        EXPECT_EQ(BusSetParameter(bus, Node, parameter, written), SmOk) << parameter;
        EXPECT_EQ(BusReadParameter(bus, Node, parameter, value), SmOk) << parameter;
        EXPECT_EQ(value, written) << parameter;
        const std::string logged = "\"write\":{\"param\":" + std::to_string(parameter) + ",\"value\":" + std::to_string(written) + "}";
        EXPECT_EQ(Requests(logged).size(), 1u) << logged;
    }
}

TEST_F(DriveLinkTest, BadRepliesCarryTheirStatusAndTheNextTransactionWorks)
{
    constexpr uint32_t Lost = SmOk | SmCommError | SmLengthError;
    const struct { Texts options; uint32_t status; } cases[] = {
        {{"--silent"}, Lost}, {{"--fault", "bad-crc", "--faults", "1"}, Lost},
        {{"--fault", "reserved", "--faults", "1"}, Lost}, {{"--fault", "overlong", "--faults", "1"}, Lost},
        {{"--fault", "short", "--faults", "1"}, SmOk | SmLengthError},
        {{"--fault", "chatter"}, Lost}, // the reply is good, the endless chatter after it is read next
        {{"--split-pause", "20"}, SmOk},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options[0] + " " + c.options.back());
        Start(c.options);
        const int bus = Open();
        int32_t value = 99;
        if (c.options.back() == "chatter") {
            EXPECT_EQ(BusReadParameter(bus, Node, TorqueBandwidthParam, value), SmOk);
            usleep(20000); // the chatter is on the line
        }
        const auto begun = steady_clock::now();
        EXPECT_EQ(BusReadParameter(bus, Node, TorqueBandwidthParam, value), c.status);
        // One read time-out, or the bounded purge of a line that never goes quiet.
        EXPECT_LT(steady_clock::now() - begun, std::chrono::milliseconds(c.options[0] == "--silent" ? 600 : 2000));
        EXPECT_EQ(value, c.status == SmOk ? 4 : 0);
        if (c.options.size() > 2) {
            EXPECT_EQ(BusReadParameter(bus, Node, TorqueBandwidthParam, value), SmOk);
            EXPECT_EQ(value, 4);
        }
        BusClose(bus);
    }
}

TEST_F(DriveLinkTest, ALateReplyIsNeverTakenForTheAnswerToALaterRequest)
{
    // The first read of 490 answered 250, 400 or 700 ms late (one read time-out is 200), or late and then split.
    for (const Texts& late : {Texts{"490,250"}, Texts{"490,400"}, Texts{"490,700"}, Texts{"490,250", "--split-pause", "20"}}) {
        SCOPED_TRACE(late[0] + " " + late.back());
        Texts options = {"--samples", "-2000", "--late"};
        options.insert(options.end(), late.begin(), late.end());
        Start(options);
        const int bus = Open();
        int32_t value = 99;
        EXPECT_EQ(BusReadParameter(bus, Node, TorqueBandwidthParam, value), SmOk | SmCommError | SmLengthError);
        // Each answer counted is the drive's own to that request; the line is clean again by the last.
        const std::pair<uint16_t, int32_t> reads[] = {
            {DriveVersionParam, 0x201}, {MotorCurrentParam, -2000}, {TorqueBandwidthParam, 4}, {DriveVersionParam, 0x201}};
        uint32_t status = 0;
        for (const auto& [parameter, expected] : reads) {
            value = 99;
            status = BusReadParameter(bus, Node, parameter, value);
            EXPECT_EQ(status == SmOk ? value : expected, expected) << parameter;
        }
        EXPECT_EQ(status, SmOk);
        BusClose(bus);
        buses.clear();
    }
}

TEST_F(DriveLinkTest, AReplyCountsOnlyWithTheReturnValuesOfItsRequest)
{
    const PtyBoard line(dir.path(), 12); // the test plays the drive
    const int bus = Open("COM12");
    // Once the request has come, a reply of n one-byte values: 0s, then 4.
    auto answer = [&line](int values) {
        return std::thread([&line, values] {
            std::vector<uint8_t> bytes = {0x24, static_cast<uint8_t>(values), Node};
            for (int n = 1; n < values; ++n) bytes.push_back(0xC0);
            bytes.push_back(0xC4);
            uint16_t crc = 0;
            for (uint8_t b : bytes) crc = SmCrcUpdate(crc, b);
            bytes.insert(bytes.end(), {static_cast<uint8_t>(crc >> 8), static_cast<uint8_t>(crc & 0xFF)});
            EXPECT_FALSE(line.Received(2000).empty());
            line.Send(bytes);
        });
    };
    const struct { int values; bool read; uint32_t status; } cases[] = {
        {2, false, SmOk}, {4, true, SmOk}, {4, false, SmOk | SmLengthError}, {5, true, SmOk | SmLengthError},
        {2, true, SmOk | SmLengthError}, {4, true, SmOk},
    };
    for (const auto& c : cases) {
        std::thread drive = answer(c.values);
        int32_t value = 0;
        const uint32_t status = c.read ? BusReadParameter(bus, Node, DriveVersionParam, value)
                                       : BusSetParameter(bus, Node, DriveSettingParam, 1);
        drive.join();
        EXPECT_EQ(status, c.status) << c.values << " values for a " << (c.read ? "read" : "write");
    }
}

TEST_F(DriveLinkTest, TenBusesAtMostOnlyComOrTtyNamesAndAFailedSendIsNotSentAgain)
{
    std::deque<PtyBoard> ports;
    for (int n = 0; n < 11; ++n) ports.emplace_back(dir.path(), 20 + n);
    // A packet buffer of 128 bytes: the 129th is refused and the 128 go out in one write.
    const int slot = drive::SerialOpen("COM30");
    for (int n = 0; n < 129; ++n) EXPECT_EQ(drive::SerialQueueByte(slot, uint8_t(n)), n < 128) << n;
    EXPECT_TRUE(drive::SerialFlush(slot));
    std::vector<uint8_t> sent;
    EXPECT_TRUE(WaitUntil([&] {
        for (uint8_t b : ports[10].Received(0)) sent.push_back(b);
        return sent.size() >= 128;
    }));
    EXPECT_EQ(std::pair(sent.size(), int{sent.back()}), std::pair(std::size_t{128}, 127));
    EXPECT_TRUE(drive::SerialClose(slot));
    EXPECT_FALSE(drive::SerialClose(slot)) << "closed twice";
    for (int n = 0; n < 10; ++n) EXPECT_EQ(Open(("COM" + std::to_string(20 + n)).c_str()), n);
    EXPECT_EQ(Open("COM30"), -1) << "an eleventh bus";
    buses.pop_back();
    for (int bus : buses) EXPECT_EQ(BusClose(bus), SmOk);
    EXPECT_EQ(BusClose(0), SmNoDevice) << "closed twice";
    buses.clear();
    EXPECT_EQ(Open("LPT1"), -1);
    int32_t value = 1;
    EXPECT_EQ(BusReadParameter(10, Node, 3, value), SmNoDevice);

    Start();
    const int bus = Open();
    ASSERT_EQ(bus, 0);
    ASSERT_TRUE(drive::SerialClose(0)); // the port goes under the bus
    EXPECT_EQ(BusSetParameter(bus, Node, DriveSettingParam, 77) & SmBusError, SmBusError);
    ASSERT_EQ(drive::SerialOpen("COM7"), 0);
    EXPECT_EQ(BusSetParameter(bus, Node, TorqueBandwidthParam, 9), SmOk);
    ASSERT_EQ(Requests("\"subpackets\"").size(), 1u);
    EXPECT_NE(sim->LogLinesWith("\"subpackets\":[[2,490],[0,9]]").size(), 0u) << sim->LogLinesWith("subpackets")[0];
}

TEST_F(DriveLinkTest, PageSetUpInItsOrderThenStatisticsCommandsAndThePortChoice)
{
    Start({"--samples", "1000,-2000,500", "--torque-bw", "6"});
    app->driveComPort = DriveCom;
    InitDrivePage(*app, &drivePage);
    EXPECT_NE(Log().find("Opening RS485 port\r\nRS485 port open\r\nDrive successfully Configured. Version : 0x201\r\n"),
              std::string::npos) << Log();
    EXPECT_EQ(ui.controls.ComboTexts(&drivePage, DebugLevelComboId), (Texts{"None", "Error", "Warning", "Info", "Debug"}));
    const Texts ports = ui.controls.ComboTexts(&drivePage, DriveComPortComboId);
    EXPECT_EQ(ports.at(std::size_t(ui.controls.ComboSelection(&drivePage, DriveComPortComboId))), "COM7");
    EXPECT_EQ(Text(1080), "1000 Hz");
    EXPECT_EQ(ui.controls.TrackbarPosition(&drivePage, 1079), 6);
    const Texts& journal = ui.controls.Journal();
    auto first = [&](const std::string& entry) { return std::find(journal.begin(), journal.end(), entry) - journal.begin(); };
    const long order[] = {first("1044 add Debug"), first("1043 add COM7"), first("2120 text 0"), first("1079 range 0..11"),
                          first("1044 select 0"), first("2110 range 1..3000"), first("1083 enable 0")};
    EXPECT_TRUE(std::is_sorted(std::begin(order), std::end(order)) && order[6] < long(journal.size()));

    // Samples 1000, -2000, 500 in turn; 0.0018 A each.
    const std::tuple<int32_t, int, const char*, const char*> refreshes[] = {
        {1, 0, "1.8 A", "1.8 A"},  // the window holds the latest sample only
        {5, 0, "1.1 A", "3.6 A"},  // (2000 + 1000 + three empty slots) / 5
        {5, 2044, "1.3 A", "0.9 A"}, // after "Reset Max" the -2000 still counts in the average, not in the maximum
    };
    for (const auto& [window, command, average, maximum] : refreshes) {
        app->params[StatisticsWindow].value = window;
        if (command) DrivePageCommand(*app, command, &drivePage);
        RefreshDriveStatistics(*app);
        EXPECT_EQ(Texts({Text(2101), Text(2107)}), Texts({average, maximum})) << window;
    }
    EXPECT_TRUE(ui.controls.IsEnabled(&drivePage, 2082));

    ui.controls.SetTrackbarPosition(&drivePage, 1079, 11);
    PageTrackbarScrolled(*app, app->params[TorqueBandwidth].trackbar);
    EXPECT_EQ(Text(1080), "Unlimited");
    DrivePageCommand(*app, 2082, &drivePage);
    DrivePageCommand(*app, 2083, &drivePage);
    ScriptedDialogs dialogs; // the advanced settings, ended with "Ok" as soon as they are up
    dialogs.user[AdvancedDialogId] = [](DialogLogic& logic, NativeHandle d) { return logic.Notified(d, 1, 0); };
    app->params[EncoderCounts].value = 10000; // "Encoder PPR" 2500
    OpenAdvancedSettings(*app);
    const char* written[] = {"490,\"value\":11}", "554,\"value\":2}", "2533,\"value\":3}", "565,\"value\":2500}", "554,\"value\":1}"};
    const Texts writes = Requests("\"write\"", 5);
    ASSERT_EQ(writes.size(), 5u);
    for (std::size_t n = 0; n < writes.size(); ++n)
        EXPECT_NE(writes[n].find(std::string("\"write\":{\"param\":") + written[n]), std::string::npos) << written[n];

    // Another drive on another port: its bandwidth shows.
    DriveSim other(dir.path(), 8, {"--torque-bw", "3"});
    PageNotified(*app, DriveComPortComboId, ComboListOpening, &drivePage);
    const Texts offered = ui.controls.ComboTexts(&drivePage, DriveComPortComboId);
    ui.controls.SelectComboItem(&drivePage, DriveComPortComboId, int(std::find(offered.begin(), offered.end(), "COM8") - offered.begin()));
    PageNotified(*app, DriveComPortComboId, ComboSelectionChanged, &drivePage);
    EXPECT_EQ(std::tuple(Text(1080), ui.controls.TrackbarPosition(&drivePage, 1079)), std::tuple("330 Hz", 3));

    // An adapter plugged in later shows up when the list opens; the drive's own port stays in it.
    const PtyBoard adapter(dir.path(), 9);
    PageNotified(*app, DriveComPortComboId, ComboListOpening, &drivePage);
    const Texts listed = ui.controls.ComboTexts(&drivePage, DriveComPortComboId);
    EXPECT_EQ(std::count(listed.begin(), listed.end(), "COM7") + std::count(listed.begin(), listed.end(), "COM9"), 2);

    ui.controls.SelectComboItem(&drivePage, DriveComPortComboId, 0); // "None"
    PageNotified(*app, DriveComPortComboId, ComboSelectionChanged, &drivePage);
    EXPECT_EQ(app->driveBus, -1);
    // Both requests of the configuration (version, bandwidth) are in the log before it is counted.
    WaitUntil([&] { return other.LogLinesWith("\"node\"").size() >= 2; });
    const std::size_t requests = other.LogLinesWith("\"node\"").size();
    RefreshDriveStatistics(*app);
    DrivePageCommand(*app, 2082, &drivePage);
    DrivePageCommand(*app, 2083, &drivePage);
    OpenAdvancedSettings(*app);
    EXPECT_EQ(Texts({Text(2101), Text(2107)}), Texts({"NA", "NA"}));
    for (int id : {2110, 2112, 2114, 2082, 2083, 1081, 1079, 1080, 2044}) EXPECT_FALSE(ui.controls.IsEnabled(&drivePage, id)) << id;
    usleep(50000);
    EXPECT_EQ(other.LogLinesWith("\"node\"").size(), requests) << "no drive traffic without a bus";
}

TEST_F(DriveLinkTest, TheCurrentRingWrapsFromItsLastSlotToItsFirst)
{
    Start({"--samples", "0,0,0,1000,0,0,0"}); // 1000 for the 3000th read, in the ring's last slot
    app->driveComPort = DriveCom;
    ConfigureDrive(*app);
    app->drivePage = &drivePage;
    app->params[StatisticsWindow].value = 2;
    std::string averages;
    for (int n = 1; n <= 3002; ++n) {
        RefreshDriveStatistics(*app);
        if (n >= 2999) averages += Text(2101) + ",";
    }
    EXPECT_EQ(averages, "0.0 A,0.9 A,0.9 A,0.0 A,");
}

TEST_F(DriveLinkTest, EveryErrorBitOfAStatusIsLoggedByItsWord)
{
    for (uint32_t status : {SmOk, SmNoDevice | SmBusError | SmParameterError, 0x3Fu}) LogDriveStatus("Error writing", status);
    EXPECT_NE(Log().find("\r\nOk\r\nError writing : 0x16 ->- No Device - Bus - Parameter \r\n"
                         "Error writing : 0x3f ->- No Device - Bus - Comm - Parameter - Length \r\n"), std::string::npos) << Log();
}

TEST_F(DriveLinkTest, ASilentDriveIsLoggedClosedAndShownAsNA)
{
    Start({"--silent"});
    app->driveComPort = DriveCom;
    drive::SetReadTimeout(500); // as at start: the configuration sets the drive's own
    const auto begun = steady_clock::now();
    InitDrivePage(*app, &drivePage);
    EXPECT_LT(steady_clock::now() - begun, std::chrono::milliseconds(450)) << "one read time-out of 200 ms";
    EXPECT_NE(Log().find("\r\nError reading version : 0x29 ->- Comm - Length \r\n"), std::string::npos) << Log();
    EXPECT_EQ(app->driveBus, -1);
    RefreshDriveStatistics(*app);
    RefreshDriveStatistics(*app);
    EXPECT_EQ(Texts({Text(2101), Text(2107)}), Texts({"NA", "NA"}));
    EXPECT_EQ(CountStarting(ui.controls.Journal(), "2101 text"), 1) << "a text shown already is not drawn again";
    EXPECT_EQ(Open(), 0) << "the port was given back";
}

TEST_F(DriveLinkTest, ADriveThatStopsAnsweringIsLetGoAndFoundAgainWithTheBandwidthItMissed)
{
    Start({"--samples", "1000", "--torque-bw", "6"});
    app->driveComPort = DriveCom;
    InitDrivePage(*app, &drivePage);
    app->params[StatisticsWindow].value = 2;
    RefreshDriveStatistics(*app);
    sim->Pause(true); // silent, its port still there
    app->params[TorqueBandwidth].value = 9;
    SendDriveBandwidth(*app);
    Texts averages;
    for (int n = 0; n < 6; ++n) {
        RefreshDriveStatistics(*app);
        averages.push_back(Text(2101));
        if (n > 0) continue;
        const auto begun = steady_clock::now();
        SendDriveBandwidth(*app);
        EXPECT_LT(steady_clock::now() - begun, std::chrono::milliseconds(100)) << "no request waits on a drive not answering";
    }
    EXPECT_EQ(averages, Texts({"0.9 A", "0.9 A", "0.9 A", "0.9 A", "0.9 A", "NA"})) << "a failed read is no sample";
    EXPECT_EQ(app->driveBus, -1);

    sim.reset(); // the adapter unplugged
    const uint64_t dropped = app->driveLookedFor;
    EXPECT_FALSE(LookForDriveAgain(*app, dropped + 499)) << "a reply on its way has half a second to come";
    EXPECT_FALSE(LookForDriveAgain(*app, dropped + 500)) << "no port";
    Start({"--samples", "2000", "--torque-bw", "4"});
    EXPECT_FALSE(LookForDriveAgain(*app, dropped + 999)) << "twice a second";
    EXPECT_TRUE(LookForDriveAgain(*app, dropped + 1000));
    EXPECT_NE(Requests("\"write\"").at(0).find("\"write\":{\"param\":490,\"value\":9}"), std::string::npos);
    EXPECT_EQ(app->params[TorqueBandwidth].value, 9) << "the user's bandwidth, not the drive's";
    RefreshDriveStatistics(*app);
    EXPECT_EQ(Text(2101), "2.7 A");

    sim.reset();
    RefreshDriveStatistics(*app);
    EXPECT_EQ(app->driveBus, -1) << "a request that cannot go out needs no grace";
    const std::string log = Log();
    const auto count = [&](const std::string& text) {
        std::size_t n = 0;
        for (auto at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
        return n;
    };
    EXPECT_EQ(std::tuple(count("Drive not answering, port closed : "), count("Opening RS485 port"),
                         count("Drive successfully Configured")), std::tuple(2u, 1u, 2u)) << log;
}

TEST_F(DriveLinkTest, ADriveThatKeepsTalkingHoldsATransactionAQuarterOfASecondAndAPortOpenedAgainStartsQuiet)
{
    const PtyBoard chatter(dir.path(), 9);
    std::atomic<bool> talking{true};
    std::thread noise([&] {
        while (talking) {
            chatter.Send({0xA5, 0x5A, 0x33});
            usleep(2000);
        }
    });
    const int bus = Open("COM9");
    int32_t value = 0;
    for (int n = 0; n < 3; ++n) { // the second and third drain before and after their request
        const auto begun = steady_clock::now();
        EXPECT_NE(BusReadParameter(bus, Node, MotorCurrentParam, value), SmOk);
        EXPECT_LT(steady_clock::now() - begun, std::chrono::milliseconds(700)) << "read " << n;
    }
    talking = false;
    noise.join();
    chatter.Send({1, 2, 3});
    usleep(20000);
    BusClose(bus);
    const int slot = drive::SerialOpen("COM9");
    uint8_t byte = 0;
    EXPECT_FALSE(drive::SerialReadByte(slot, byte)) << "what the line held before the open is no answer";
    drive::SerialClose(slot);
}
