// The vantorctl program as a script meets it: its output, its exit status
// and the bytes it leaves on the wire and in the profile files, against
// wheelsim and drivesim on ptys linked in a private COM port directory.
#include "support/SimProcess.h"
#include "unit/TempDir.h"

#include <gtest/gtest.h>

#include <optional>

#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;
// The exit statuses a script reads.
constexpr int Ok = 0, Usage = 1, Unreachable = 2, Refused = 3, NoFile = 4;

struct Result {
    int status;
    std::string out, err;
    double cpu, wall; // seconds of processor time the program used, and from its start to its end
};

class VantorctlTest : public ::testing::Test {
protected:
    VantorctlTest() { setenv("VANTOR_DOSDEVICES", dir.path().c_str(), 1); }
    ~VantorctlTest() override { unsetenv("VANTOR_DOSDEVICES"); }

    // vantorctl with the words, profiles in dir/profiles; standard output
    // into the file `out` (none: closed), standard error into `err`,
    // standard input from the file `in` (none: the test's).
    Result Run(Texts words, const char* out = "out", const char* in = nullptr) { return Finish(Start(words, out, "err", in)); }
    struct Started {
        pid_t pid;
        std::string out, err;
        std::chrono::steady_clock::time_point start;
    };
    Started Start(Texts words, const char* out = "out", const char* err = "err", const char* in = nullptr)
    {
        words.insert(words.begin(), {VANTORCTL_PATH, "--dir", Path("profiles")});
        std::vector<char*> argv;
        for (std::string& w : words) argv.push_back(w.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (in) posix_spawn_file_actions_addopen(&actions, 0, Path(in).c_str(), O_RDONLY, 0);
        if (out) posix_spawn_file_actions_addopen(&actions, 1, Path(out).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        else posix_spawn_file_actions_addclose(&actions, 1);
        posix_spawn_file_actions_addopen(&actions, 2, Path(err).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        Started started{-1, out && out[0] != '/' ? out : "", err, std::chrono::steady_clock::now()}; // not /dev/full
        if (posix_spawn(&started.pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) started.pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        return started;
    }
    Result Finish(const Started& started)
    {
        int status = -1;
        rusage usage{};
        if (started.pid > 0) wait4(started.pid, &status, 0, &usage);
        const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - started.start;
        const double cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, started.out.empty() ? "" : dir.Read(started.out),
                dir.Read(started.err), cpu, wall.count()};
    }
    std::string Path(const std::string& name) const { return (dir.path() / name).string(); }
    std::string Profiles() const { return dir.Read("profiles/GameProfiles.ini"); }

    TempDir dir;
};

// A profile line as the Windows tool writes it.
std::string ProfileFile(const std::string& lines) { return "[GameProfiles]\r\n" + lines + "\r\n"; }
const std::string Rally = "PROFILE=Rally,RallyGame.exe,5,540,77,10,11,12,13,14,15,16,1,2,3,4,20\r\n";

} // namespace

// The board answers its status requests with phases 3, 3, 8, 8 ... and
// starts over at a calibration.
TEST_F(VantorctlTest, StatusCalibrationCentringAndGetShowTheBoardAsItIs)
{
    WheelSim sim(dir.path(), 1, {"--status", "3,3,8", "--fw-version", "0x0103", "--center", "-2", "--set", "82=-1"});
    const std::string port = "COM1 (" + Path("com1") + ")";
    const struct { Texts words; int status; std::string out, err; } cases[] = {
        {{"center"}, Refused, "", "vantorctl: center: the wheel is not ready (Calibrating left); it centres once calibrated\n"},
        {{"status", "--json"}, Ok, "{\"Port\":\"" + port +
             "\",\"Link\":\"Wheel Found\",\"DebugLevel\":0,\"Calibration\":\"Calibrating left\",\"Firmware\":\"1.3\"}\n", ""},
        {{"status"}, Ok, "Port=" + port + "\nLink=Wheel Ready\nCalibration=Ready\nFirmware=1.3\n", ""},
        {{"center"}, Ok, "CenterOffset=-2\n", ""},
        {{"calibrate"}, Ok, "Calibration=Calibrating left\n", ""},
        {{"get", "--json", "CenterOffset", "linearityy", "MaxAngle", "maxangle"}, Ok,
         "{\"CenterOffset\":-2,\"LinearityY\":-1,\"MaxAngle\":900}\n", ""}, // each parameter once
        {{"defaults"}, Ok, "", ""},
    };
    for (const auto& c : cases) {
        Texts words = c.words;
        words.insert(words.begin(), "--com=1");
        const Result r = Run(words);
        EXPECT_EQ(std::tie(r.status, r.out, r.err), std::tie(c.status, c.out, c.err)) << c.words[0];
    }
    EXPECT_EQ(sim.Frames("defaults").size(), 1u);
    const Result all = Run({"--com", "1", "get"});
    EXPECT_EQ(std::count(all.out.begin(), all.out.end(), '\n'), 29) << "every board parameter";
    EXPECT_NE(all.out.find("\nDebugLevel=0\n"), std::string::npos);
}

TEST_F(VantorctlTest, SetIsCheckedBeforeAnythingIsSentThenReadBack)
{
    WheelSim sim(dir.path(), 5);
    // The advanced dialog's last choices too: VNH5019 and 20 KHz.
    const Result set = Run({"--com", "5", "set", "MaxAngle=540", "MainGain=100", "WheelFlags=5", "CommandMode=3", "PwmFrequency=2"});
    EXPECT_EQ(std::tie(set.status, set.out),
              std::tuple(Ok, "MaxAngle=540\nMainGain=100\nWheelFlags=5\nCommandMode=3\nPwmFrequency=2\n"));
    ASSERT_TRUE(sim.WaitForLog("\"number\":79,\"width\":1,\"value\":2"));
    EXPECT_EQ(sim.Frames("write"), (Texts{"80,8,4,0,0,2,28", "80,17,1,100", "80,34,1,5", "80,35,1,3", "80,79,1,2"}));
    EXPECT_EQ(sim.Numbers("read"), (std::vector<long>{8, 17, 34, 35, 79})) << "read back";

    const struct { const char* word; int status; const char* says; } refused[] = {
        {"MainGain=128", Refused, "set: MainGain=128 refused, MainGain takes 0..127"},
        {"MaxAngle=179", Refused, "MaxAngle takes 180..2160"}, {"Filter=0", Refused, "Filter takes 1..31"},
        {"WheelFlags=8", Refused, "WheelFlags takes 0..7"}, {"CommandMode=4", Refused, "CommandMode takes 0..3"},
        {"PwmFrequency=3", Refused, "PwmFrequency takes 0..2"},
        {"LinearityX=32768", Refused, "LinearityX takes 512..32767"},
        {"CenterOffset=0", Refused, "CenterOffset is read only"}, {"ExternalGain=1", Refused, "ExternalGain is read only"},
        {"Gain=1", Usage, "Gain=1 is not NAME=VALUE"}, {"MainGain", Usage, "not NAME=VALUE"},
        {"MainGain=1x", Usage, "not NAME=VALUE"},
    };
    const auto frames = sim.LogLinesWith("bytes").size();
    for (const auto& c : refused) {
        const Result r = Run({"--com", "5", "set", "MainGain=1", c.word});
        EXPECT_EQ(r.status, c.status) << c.word;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    }
    EXPECT_EQ(sim.LogLinesWith("bytes").size(), frames) << "not even a probe";
}

TEST_F(VantorctlTest, CommandsAndOptionsAreCheckedAsUsage)
{
    const struct { Texts words; int status; const char* says; } cases[] = {
        {{"--help"}, Ok, "Exit status: 0 done"}, {{"get", "--help"}, Ok, "  MainGain 0..127\n"},
        {{"set", "--help"}, Ok, "  WheelFlags 0..7\n"},
        {{"profile", "--help"}, Ok, "adds the profiles of a file\n\nThe profiles are those of GameProfiles.ini in --dir"},
        {{"--version"}, Ok, "vantorctl 0.21\n"},
        {{}, Usage, "a command is wanted"}, {{"reset"}, Usage, "no command reset"},
        {{"drive"}, Usage, "drive clear-faults"},
        {{"profile", "rename"}, Usage, "profile: no sub-command rename"}, {{"status", "now"}, Usage, "usage: vantorctl"},
        {{"profile", "show"}, Usage, "usage: vantorctl [OPTION...] profile show NAME"}, {{"set"}, Usage, "usage:"},
        {{"status", "--replace"}, Usage, "status: no option --replace"}, {{"--fast", "status"}, Usage, "no option --fast"},
        {{"status", "--com"}, Usage, "--com wants a value"}, {{"--com", "256", "status"}, Usage, "--com 256: a COM number 1..255"},
        {{"--com", "0", "status"}, Usage, "--com 0: a COM number 1..255"},
        {{"drive", "bandwidth", "-1"}, Refused, "bandwidth: -1 refused, the torque bandwidth takes 0..11"},
        {{"drive", "bandwidth", "x"}, Usage, "x is no number"}, {{"profile", "show", "None"}, Usage, "no profile None in"},
        {{"get", "TorqueBandwidth"}, Usage, "get: no parameter TorqueBandwidth"},
        {{"profile", "show", "--", "--json"}, Usage, "no profile --json in"},
        {{"profile", "save", "\x1b[31mRED"}, Refused, "profile save: the name holds the control character 0x1B\n"},
        {{"profile", "save", "Bell", "--process", "a\a.exe"}, Refused, "the process name holds the control character 0x07"},
        {{"profile", "save", std::string(64, 'n')}, Refused, "the name is longer than 63 characters"},
        {{"profile", "save", "a(b"}, Refused, "the name holds (, which the file would not read back"},
        {{"profile", "save", "\u0100"}, Refused, "the name holds \u0100, which code page 1252 of the Windows tool's"},
        {{"profile", "save", "x\u0080"}, Refused, "the name holds \u0080, which"}, // no character of the code page
        {{"profile", "save", "x", "--process", "\xe9.exe"}, Refused, "the process name is not UTF-8"},
    };
    for (const auto& c : cases) {
        const Result r = Run(c.words);
        EXPECT_EQ(r.status, c.status) << c.says;
        EXPECT_NE((c.status == Ok ? r.out : r.err).find(c.says), std::string::npos) << r.out << r.err;
    }
}

// What was printed reached its file, or the run says it did not; a closed
// output is no file the command's own files could take the place of. A
// file not read or written is one line with the system's reason.
TEST_F(VantorctlTest, FilesAndOutputThatCannotBeWrittenAreExitFourInOneLine)
{
    fs::create_directory(Path("profiles"));
    dir.Write("profiles/GameProfiles.ini", ProfileFile(Rally));
    const std::string missing = Path("none/x.ini"), inFile = Path("profiles/GameProfiles.ini/x.ini");
    const struct { Texts words; const char* out; int status; std::optional<std::string> err; } cases[] = {
        {{"profile", "export", "Rally", missing}, "out", NoFile,
         "vantorctl: profile export: cannot write " + missing + ": No such file or directory\n"},
        {{"profile", "export", "Rally", inFile}, "out", NoFile,
         "vantorctl: profile export: cannot write " + inFile + ": Not a directory\n"},
        {{"profile", "import", Path("profiles")}, "out", NoFile,
         "vantorctl: profile import: cannot read " + Path("profiles") + ": Is a directory\n"},
        {{"--help"}, "/dev/full", NoFile, "vantorctl: cannot write standard output: No space left on device\n"},
        {{"profile", "list"}, "/dev/full", NoFile, "vantorctl: cannot write standard output: No space left on device\n"},
        {{"--version"}, nullptr, NoFile, "vantorctl: cannot write standard output: Bad file descriptor\n"},
        {{"profile", "show", "None"}, "/dev/full", Usage, std::nullopt}, // its own failure stands
        {{"profile", "remove", "Rally"}, nullptr, Ok, ""},               // printed nothing
    };
    for (const auto& c : cases) {
        const Result r = Run(c.words, c.out);
        EXPECT_EQ(r.status, c.status) << c.words[0];
        if (c.err) {
            EXPECT_EQ(r.err, *c.err) << c.words[0];
        }
    }
    EXPECT_EQ(Profiles(), ProfileFile("")) << "removed, and the file is whole";
    EXPECT_FALSE(fs::exists(Path("none"))) << "no folder made for an export";

    // More profiles than fit the memory a small runtime starts with.
    std::string many;
    for (int i = 0; i < 3000; ++i) many += "PROFILE=P" + std::to_string(i) + ",p.exe,0,900,1,1,1,1,1,1,1,1,0,0,0,0,16\r\n";
    dir.Write("many.ini", ProfileFile(many));
    const Result imported = Run({"profile", "import", Path("many.ini")});
    EXPECT_EQ(std::tie(imported.status, imported.err), std::tuple(Ok, ""));
    EXPECT_EQ(Profiles(), ProfileFile(many));
}

TEST_F(VantorctlTest, DevicesThatCannotBeReachedSayWhereInOneLine)
{
    // The leaving board goes after the probe, four writes and three reads.
    WheelSim silent(dir.path(), 5, {"--silent"}), leaving(dir.path(), 3, {"--disconnect-after", "8"});
    WheelSim held(dir.path(), 6); // held by another program
    const int holder = open(Path("com6").c_str(), O_RDWR | O_NOCTTY);
    ASSERT_EQ(flock(holder, LOCK_EX), 0);
    fs::create_symlink(Path("nothing"), Path("com4"));
    const std::string busy = "COM6 (" + Path("com6") + "): cannot be opened: in use by another program";
    const struct { Texts words; std::string line; } cases[] = {
        {{"--com", "255", "status"}, "COM255 (/dev/ttyS254): cannot be opened: No such file or directory"},
        {{"--com", "4", "status"}, "COM4 (" + Path("com4") + "): cannot be opened: No such file or directory"},
        {{"--com", "6", "status"}, busy},
        {{"--drive-com", "6", "drive", "stats"}, busy},
        {{"--port", Path("nothing"), "status"}, Path("nothing") + ": no such device for the wheel board"},
        {{"--com", "5", "status"}, "COM5 (" + Path("com5") + "): no wheel board answered (\"areyou?\" wants \"IamHereNow\" "
                                   "within 500 ms)"},
        {{"--com", "3", "set", "MainGain=1", "GameFxSpring=2", "GameFxDamper=3", "MaxAngle=540"},
         "COM3 (" + Path("com3") + "): the board stopped answering (a reply took over 100 ms); read back as sent: MainGain=1, "
         "GameFxSpring=2, GameFxDamper=3; not known to have reached it: MaxAngle=540"},
        {{"status"}, "no port with the wheel board's USB ids (VID_2341 PID_8036) among those listComPorts lists; name it "
                     "with --port or --com"},
    };
    std::vector<Result> results;
    for (const auto& c : cases) {
        const Result& r = results.emplace_back(Run(c.words));
        EXPECT_EQ(std::tie(r.status, r.out, r.err), std::tuple(Unreachable, "", "vantorctl: " + c.line + "\n"));
    }
    // Beyond what a port that cannot be opened costs, the half second of waiting for an answer that never
    // comes costs next to no processor time.
    close(holder);
    const Result &closed = results[0], &waited = results[5];
    EXPECT_LT(waited.cpu - closed.cpu, 0.1 * (waited.wall - closed.wall)) << waited.cpu << " s in " << waited.wall << " s";
}

// Without a port named, the board is the port listed with its USB ids; a
// device named by its path is the COM port linked to it, else a free number.
TEST_F(VantorctlTest, PortsAreFoundByUsbIdsOrByTheirDevice)
{
    fs::create_directory(dir.path() / "elsewhere");
    // COM2 carries the board's USB ids too but does not answer: the next port with them is tried.
    WheelSim other(dir.path(), 2, {"--silent"}), board(dir.path(), 3), unlinked(dir.path() / "elsewhere", 1);
    const fs::path sysfs = dir.path() / "sys";
    const std::string boardPty = fs::read_symlink(Path("com3")), loosePty = fs::read_symlink(dir.path() / "elsewhere/com1");
    for (const std::string& pty : {std::string(fs::read_symlink(Path("com2"))), boardPty}) {
        const fs::path usb = sysfs / "devices" / fs::path(pty).filename(), tty = sysfs / "class/tty" / fs::path(pty).filename();
        fs::create_directories(usb / "1-1:1.0");
        std::ofstream(usb / "idVendor") << "2341\n";
        std::ofstream(usb / "idProduct") << "8036\n";
        fs::create_directories(tty);
        fs::create_symlink(usb / "1-1:1.0", tty / "device");
    }
    setenv("VANTOR_SYSFS", sysfs.c_str(), 1);
    const struct { Texts words; std::string port; } cases[] = {
        {{}, "COM3 (" + Path("com3") + ")"},
        {{"--port", boardPty}, "COM3 (" + Path("com3") + ")"},
        {{"--port", loosePty}, "COM1 (" + loosePty + ")"},
    };
    for (const auto& c : cases) {
        Texts words = c.words;
        words.insert(words.end(), {"status", "--json"});
        EXPECT_EQ(Run(words).out.substr(0, 9 + c.port.size()), "{\"Port\":\"" + c.port) << c.port;
    }
    unsetenv("VANTOR_SYSFS");
}

TEST_F(VantorctlTest, ProfileApplySendsTheFourteenValuesInTheWindowsToolsOrder)
{
    WheelSim sim(dir.path(), 5);
    fs::create_directory(Path("profiles"));
    // A damaged line is named, and sent only when asked for.
    dir.Write("profiles/GameProfiles.ini", ProfileFile(Rally + "PROFILE=Short,s.exe,0,900,200\r\n"));
    const Result shown = Run({"profile", "show", "Short"}), refused = Run({"--com", "5", "profile", "apply", "Short"});
    EXPECT_EQ(std::tie(shown.status, refused.status, refused.out), std::tuple(Ok, Refused, ""));
    EXPECT_NE(shown.out.find("MainGain=127\n"), std::string::npos);
    for (const std::string& err : {shown.err, refused.err}) {
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 13) << err;
        EXPECT_NE(err.find(": Short: main gain 200 is outside 0..127; "), std::string::npos) << err;
        EXPECT_NE(err.find(": Short: filter is missing; "), std::string::npos) << err;
    }
    EXPECT_TRUE(sim.LogLinesWith("bytes").empty()) << "not even a probe";
    EXPECT_EQ(Run({"-q", "profile", "show", "Short"}).err, "") << "a note, no error";
    const Result r = Run({"--com", "5", "profile", "apply", "rally"});
    EXPECT_EQ(std::tie(r.status, r.out, r.err), std::tuple(Ok, "", ""));
    ASSERT_TRUE(sim.WaitForLog("\"number\":33,\"width\":1,\"value\":4"));
    EXPECT_EQ(sim.Frames("write"), (Texts{"80,8,4,0,0,2,28", "80,17,1,77", "80,18,1,10", "80,19,1,11", "80,20,1,12",
                                          "80,21,1,13", "80,22,1,14", "80,23,1,15", "80,24,1,16", "80,34,1,5",
                                          "80,30,1,1", "80,31,1,2", "80,32,1,3", "80,33,1,4"}));
    EXPECT_EQ(Run({"--com", "5", "profile", "apply", "Short", "--repaired"}).status, Ok);
    const Texts sent = sim.Frames("write");
    ASSERT_EQ(sent.size(), 28u);
    EXPECT_EQ(sent[15], "80,17,1,127") << "the default main gain";
}

TEST_F(VantorctlTest, ProfilesAreSavedExportedAndImportedAsTheWindowsToolKeepsThem)
{
    WheelSim sim(dir.path(), 5, {"--set", "17=100", "--set", "34=1"});
    // The terminal's UTF-8 is the file's code page 1252, and back; 63 characters fit however many bytes they take.
    ASSERT_EQ(Run({"--com", "5", "profile", "save", "My Game \u20ac", "--process", "my\u00e9.exe"}).status, Ok);
    const std::string saved = "PROFILE=\"My Game \x80\",my\xe9.exe,1,900,100,64,64,64,64,64,64,64,32,32,32,32,16\r\n";
    EXPECT_EQ(Profiles(), ProfileFile(saved));
    EXPECT_EQ(Run({"profile", "list", "--json"}).out, "[{\"Name\":\"My Game \u20ac\",\"Process\":\"my\u00e9.exe\"}]\n");
    EXPECT_EQ(Run({"--com", "5", "profile", "save", std::string(62, 'n') + "\u00e4"}).status, Ok);
    EXPECT_EQ(Run({"profile", "remove", std::string(62, 'n') + "\u00e4"}).status, Ok);
    EXPECT_EQ(Run({"--com", "5", "profile", "save", "a,b"}).status, Refused) << "would read back as two texts";

    dir.Write("rally.ini", ProfileFile(Rally));
    const struct { std::string file, says; } refused[] = {
        {ProfileFile("PROFILE=A,a.exe,0,70000,1,1,1,1,1,1,1,1,0,0,0,0,16\r\n"), "max angle 70000 is outside"},
        {ProfileFile("PROFILE=A,a.exe,0,abc,1,1,1,1,1,1,1,1,0,0,0,0,16\r\n"), "A: max angle abc is not a number"},
        {ProfileFile("PROFILE=A,a\x1b.exe,0,900,1,1,1,1,1,1,1,1,0,0,0,0,16\r\n"), "A: the process name holds the control character 0x1B"},
        {ProfileFile("PROFILE=A\r\n"), "A: the name or the process name is missing"},
        {ProfileFile(Rally + "PROFILE=RALLY,x.exe,0,900,1,1,1,1,1,1,1,1,0,0,0,0,16\r\n"), "RALLY: a profile of this"},
        {ProfileFile("PROFILE=" + std::string(64, 'n') + ",a.exe\r\n"), "a text is longer than 63"},
        {ProfileFile("PROFILE=\"my game \x80\",g.exe,0,900,1,1,1,1,1,1,1,1,0,0,0,0,16\r\n"),
         "my game \u20ac: " + Path("profiles/GameProfiles.ini") + " has it"},
        {"[Config]\r\n\r\n", "no PROFILE line"},
    };
    for (const auto& c : refused) {
        dir.Write("import.ini", c.file);
        const Result r = Run({"profile", "import", Path("import.ini")});
        EXPECT_EQ(r.status, Refused) << c.says;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    }
    EXPECT_EQ(Profiles(), ProfileFile(saved)) << "left as it was";

    EXPECT_EQ(Run({"profile", "import", "-"}, "out", "rally.ini").status, Ok);
    EXPECT_EQ(Run({"profile", "import", Path("import.ini"), "--replace"}).status, Refused) << "still no profile";
    dir.Write("game.ini", ProfileFile("PROFILE=\"my game \x80\",g.exe,0,540,1,1,1,1,1,1,1,1,0,0,0,0,16\r\n"));
    EXPECT_EQ(Run({"profile", "import", Path("game.ini"), "--replace"}).status, Ok);
    EXPECT_EQ(Profiles(), ProfileFile("PROFILE=\"my game \x80\",g.exe,0,540,1,1,1,1,1,1,1,1,0,0,0,0,16\r\n" + Rally));

    EXPECT_EQ(Run({"profile", "export", "Rally", Path("exported")}).status, Ok);
    EXPECT_EQ(dir.Read("exported"), ProfileFile(Rally)) << "named as written";
    EXPECT_EQ(Run({"profile", "export", "Rally", "-"}).out, ProfileFile(Rally));
    EXPECT_EQ(Run({"profile", "remove", "my game \u20ac"}).status, Ok);
    EXPECT_EQ(Profiles(), ProfileFile(Rally));
    dir.Write("profiles/GameProfiles.ini", ProfileFile("PROFILE=Default,NoLife.exe,0,900,1,1,1,1,1,1,1,1,0,0,0,0,16\r\n"));
    EXPECT_EQ(Run({"profile", "remove", "Default"}).err, "vantorctl: profile remove: You can't remove the default profile\n");
    std::filesystem::remove(Path("profiles/GameProfiles.ini"));
    std::filesystem::create_directories(Path("profiles/GameProfiles.ini/x")); // there, but no file to read
    const Result unread = Run({"profile", "list"});
    EXPECT_EQ(std::tie(unread.status, unread.out), std::tuple(NoFile, ""));
    EXPECT_EQ(unread.err, "vantorctl: cannot read " + Path("profiles/GameProfiles.ini") + ": Is a directory\n");
}

// Changes made at once all reach the file: one that read the file before a
// slow board answered reads it again, and one waits while another holds the
// lock. Through a link, the target is changed and keeps its mode.
TEST_F(VantorctlTest, ChangesMadeAtOnceAllReachTheFileWhichKeepsItsModeAndLink)
{
    WheelSim slow(dir.path(), 5, {"--slow", "60"}), quick(dir.path(), 6);
    fs::create_directory(Path("profiles"));
    dir.Write("profiles/GameProfiles.ini", ProfileFile(Rally + "PROFILE=\"Rally Cross\",rx.exe,0,900,1,1,1,1,1,1,1,1,0,0,0,0,16\r\n"));
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write;
    fs::permissions(Path("profiles/GameProfiles.ini"), mode);
    const Started raceA = Start({"--com", "5", "profile", "save", "RaceA"}, "outA", "errA");
    ASSERT_TRUE(slow.WaitForLog("bytes")) << "RaceA has read the file and is talking to the board";
    EXPECT_EQ(Run({"--com", "6", "profile", "save", "RaceB"}).status, Ok);
    EXPECT_EQ(Run({"profile", "remove", "Rally Cross"}).status, Ok);
    EXPECT_EQ(Finish(raceA).status, Ok);
    const std::string board = ",\"\",0,900,127,64,64,64,64,64,64,64,32,32,32,32,16\r\n";
    EXPECT_EQ(Profiles(), ProfileFile(Rally + "PROFILE=RaceB" + board + "PROFILE=RaceA" + board));
    EXPECT_EQ(fs::status(Path("profiles/GameProfiles.ini")).permissions(), mode);

    // Through a link, once the lock's holder lets it go.
    fs::create_directory(Path("real"));
    fs::rename(Path("profiles/GameProfiles.ini"), Path("real/GameProfiles.ini"));
    fs::create_symlink("../real/GameProfiles.ini", Path("profiles/GameProfiles.ini"));
    const int held = open(Path("profiles/GameProfiles.ini.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    const Started remove = Start({"profile", "remove", "RaceA"});
    EXPECT_TRUE(WaitUntil([&] { return dir.Read("err").find("waiting for another vantorctl") != std::string::npos; },
                          std::chrono::seconds(5)));
    EXPECT_NE(Profiles().find("RaceA"), std::string::npos) << "not while the lock is held";
    close(held);
    const Result removed = Finish(remove);
    EXPECT_EQ(removed.status, Ok) << removed.err;
    EXPECT_TRUE(fs::is_symlink(Path("profiles/GameProfiles.ini")));
    EXPECT_EQ(dir.Read("real/GameProfiles.ini"), ProfileFile(Rally + "PROFILE=RaceB" + board));
    EXPECT_EQ(fs::status(Path("real/GameProfiles.ini")).permissions(), mode);
}

TEST_F(VantorctlTest, FlashWritesTheImageThroughTheBootLoaderWithTheRealAvrdude)
{
    WheelSim sim(dir.path(), 5, {"--status", "8", "--boot-link", Path("com9")});
    const std::string make = "python3 " MAKEHEX_PATH " --version 359 --size 4000 --out " + Path("wheel.hex");
    ASSERT_EQ(std::system((make + " --bad-checksum").c_str()), 0);
    dir.Write("end.hex", ":00000001FF\r\n");
    fs::create_directory(Path("folder.hex"));
    const struct { const char* file; int status; std::string err; } refused[] = {
        {"wheel.hex", Refused, "is no firmware image (bad checksum in line"},
        {"end.hex", Refused, "is no firmware image (no data to write)"},
        {"folder.hex", NoFile, "vantorctl: flash: cannot read " + Path("folder.hex") + ": Is a directory\n"},
        {"none.hex", NoFile, "vantorctl: flash: cannot read " + Path("none.hex") + ": No such file or directory\n"},
    };
    Result r;
    for (const auto& c : refused) {
        r = Run({"--com", "5", "flash", Path(c.file)});
        EXPECT_EQ(r.status, c.status) << c.file;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    EXPECT_TRUE(sim.LogLinesWith("bootloader").empty()) << "the board was never reset";

    ASSERT_EQ(std::system(make.c_str()), 0);
    for (const char* tool : {"--avrdude", "--avrdude-conf"}) {
        for (const char* name : {"none", "."}) { // not there, a folder
            r = Run({"--com", "5", "flash", Path("wheel.hex"), tool, Path(name)});
            EXPECT_EQ(r.status, NoFile) << tool << " names " << name;
        }
    }
    WheelSim samePort(dir.path(), 6, {"--status", "8", "--boot-same-port"});
    r = Run({"--com", "6", "flash", Path("wheel.hex")});
    EXPECT_EQ(std::tie(r.status, r.err), std::tuple(Unreachable, "vantorctl: no boot loader showed up: listComPorts lists "
                                                                 "no new port after the board's reset\n"));
    // A board named by a device that no COM port link names: its boot loader is the device that shows up
    // beside it. avrdude's detail is shown when it fails, and with -v as it comes.
    fs::create_directory(Path("elsewhere"));
    WheelSim unlisted(dir.path() / "elsewhere", 1, {"--status", "8", "--boot-link", Path("elsewhere/com2"), "--boot-ms", "3000"});
    dir.Write("failing", "#!/bin/sh\necho \"avrdude: $5 did not answer\" >&2\nexit 1\n");
    fs::permissions(Path("failing"), fs::perms::owner_all);
    r = Run({"--port", Path("elsewhere/com1"), "flash", Path("wheel.hex"), "--avrdude", Path("failing")});
    EXPECT_EQ(std::tie(r.status, r.err), std::tuple(Unreachable, "avrdude: -P" + Path("elsewhere/com2") + " did not answer\n"
                                                    "vantorctl: flash: avrdude did not write " + Path("wheel.hex") + "\n"));
    ASSERT_TRUE(WaitUntil([&] { return unlisted.LogLinesWith("boot-exit").size() == 1; }, std::chrono::seconds(5)));
    ASSERT_TRUE(WaitUntil([&] { return fs::is_symlink(Path("elsewhere/com1")); }, std::chrono::seconds(5)));
    r = Run({"-v", "--port", Path("elsewhere/com1"), "flash", Path("wheel.hex")});
    EXPECT_EQ(r.status, Ok) << r.err;
    EXPECT_NE(r.err.find("avrdude: 4004 bytes of flash verified"), std::string::npos) << "avrdude's own progress";

    const auto written = fs::file_time_type::clock::now() - std::chrono::hours(24 * 365);
    fs::last_write_time(Path("wheel.hex"), written);
    r = Run({"--com", "5", "flash", Path("wheel.hex")});
    EXPECT_EQ(std::tie(r.status, r.err), std::tuple(Ok, "")) << "avrdude's detail held";
    EXPECT_EQ(fs::last_write_time(Path("wheel.hex")), written) << "avrdude got a copy; the user's file is not rewritten";
    ASSERT_TRUE(WaitUntil([&] { return fs::is_symlink(Path("com5")); }, std::chrono::seconds(5)));
    EXPECT_NE(Run({"--com", "5", "status"}).out.find("Firmware=1.103\n"), std::string::npos) << "version 0x0167";
}

TEST_F(VantorctlTest, DriveCommandsReachTheDriveOverSimpleMotion)
{
    DriveSim sim(dir.path(), 7, {"--samples", "100,-2000,300", "--torque-bw", "4"});
    const struct { Texts words; int status; std::string out; const char* write; } cases[] = {
        {{"stats"}, Ok, "Version=0x201\nTorqueBandwidth=4\nBandwidth=470 Hz\nAverageCurrent=1.3 A\nMaximumCurrent=3.6 A\n",
         nullptr},
        // The samples go on where the last stats left them: -2000 first.
        {{"stats", "--json"}, Ok, "{\"Version\":513,\"TorqueBandwidth\":4,\"BandwidthHz\":470,\"AverageCurrentA\":1.7,"
                                  "\"MaximumCurrentA\":3.6}\n", nullptr},
        {{"bandwidth", "11", "--json"}, Ok, "{\"TorqueBandwidth\":11,\"BandwidthHz\":null}\n", "490,\"value\":11"},
        {{"bandwidth", "12"}, Refused, "", nullptr},
        {{"bandwidth", "0"}, Ok, "TorqueBandwidth=0\nBandwidth=100 Hz\n", "490,\"value\":0"},
        {{"restart"}, Ok, "", "554,\"value\":2"},
        {{"clear-faults"}, Ok, "", "2533,\"value\":3"},
    };
    for (const auto& c : cases) {
        const std::size_t before = sim.LogLinesWith("\"write\"").size();
        Texts words = {"--drive-com", "7", "drive"};
        words.insert(words.end(), c.words.begin(), c.words.end());
        const Result r = Run(words);
        EXPECT_EQ(std::tie(r.status, r.out), std::tie(c.status, c.out)) << c.words[0] << r.err;
        const Texts writes = sim.LogLinesWith("\"write\"");
        EXPECT_EQ(writes.size(), before + (c.write ? 1 : 0)) << c.words[0];
        if (c.write) {
            EXPECT_NE(writes.back().find(std::string("\"write\":{\"param\":") + c.write), std::string::npos);
        }
    }
    DriveSim silent(dir.path(), 8, {"--silent"});
    const Result none = Run({"--drive-com", "8", "drive", "stats"});
    EXPECT_EQ(std::tie(none.status, none.out, none.err),
              std::tuple(Unreachable, "", "vantorctl: COM8 (" + Path("com8") + "): no SimpleMotion drive answered (node 2 at "
                                          "460800 baud)\n"));
}

TEST_F(VantorctlTest, ADriveAnswerThatCameLateOrNeverIsNoValueAndExitsTwoNamingIt)
{
    const struct { Texts late; const char* command; int status; std::string out, err; } cases[] = {
        {{"--late", "490,300"}, "stats", Ok, // the late bandwidth is not the version, nor any later value
         "Version=0x201\nTorqueBandwidth=4\nBandwidth=470 Hz\nAverageCurrent=0.5 A\nMaximumCurrent=0.5 A\n", ""},
        {{"--late-every", "901,300"}, "stats", Unreachable, "", "vantorctl: drive stats: reading parameter 901 failed (status 0x29)\n"},
        {{"--late", "554,300"}, "restart", Unreachable, "", "vantorctl: drive restart: writing parameter 554 failed (status 0x29)\n"},
        {{"--late", "2533,300"}, "clear-faults", Unreachable, "",
         "vantorctl: drive clear-faults: writing parameter 2533 failed (status 0x29)\n"},
    };
    for (const auto& c : cases) {
        Texts options = {"--samples", "300"};
        options.insert(options.end(), c.late.begin(), c.late.end());
        DriveSim sim(dir.path(), 7, options);
        const Result r = Run({"--drive-com", "7", "drive", c.command});
        EXPECT_EQ(std::tie(r.status, r.out, r.err), std::tie(c.status, c.out, c.err)) << c.late[1];
    }
}
