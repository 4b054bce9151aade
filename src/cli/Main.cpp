// vantorctl: the wheel from a Linux terminal and from scripts, on the core
// of the Windows tool. The options, the commands and their help, and the
// run of one command with the runtime up.
#include "board/ParamDisplay.h"
#include "cli/Cli.h"
#include "core/AppContext.h"
#include "core/Version.h"
#include "drive/DriveBus.h"
#include "exec/Exec.h"
#include "exec/ExecConfig.h"
#include "exec/Log.h"
#include "platform/ChildProcess.h"
#include "update/OutsideTools.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The port lister's folder from this program's once both are installed.
constexpr char ListerFromProgram[] = VANTOR_LISTER_FROM_PROGRAM;

struct Command {
    const char* name;      // a group's commands are "group sub-command"
    const char* arguments; // as the usage line shows them
    int minimum, maximum;  // argument counts; maximum -1: no limit
    const char* options;   // the command options it takes
    const char* summary;
    const char* details;
    int (*run)(Cli&);
    bool listsParameters = false; // its help lists the parameter names
};

const Command Commands[] = {
    {"status", "", 0, 0, "", "the board's link state, calibration phase and firmware",
     "Identifies the board (it answers \"areyou?\" with \"IamHereNow\") and asks for its calibration phase and\n"
     "firmware version as the Windows tool does once a second:\n"
     "  Port=COM5 (/dev/ttyACM0)\n  Link=Wheel Ready\n  Calibration=Ready\n  Firmware=0.21\n"
     "While the board traces (DebugLevel above 0) nothing is asked and DebugLevel is shown instead.\n",
     RunStatus},
    {"get", "[NAME...]", 0, -1, "", "parameters as the board holds them, all by default",
     "Reads the parameters from the board, one NAME=VALUE a line. The parameters, with what set takes:\n",
     RunGet, true},
    {"set", "NAME=VALUE...", 1, -1, "", "checks, writes and reads back parameters",
     "Checks every value against its parameter's range before anything is sent (a refused value names the\n"
     "range), writes them with the board protocol, reads them back and prints them as get does. A value the\n"
     "board does not keep is refused too. The parameters:\n",
     RunSet, true},
    {"calibrate", "", 0, 0, "", "starts the board's calibration",
     "Starts the board's calibration and shows the first phase it reports.\n", RunCalibrate},
    {"center", "", 0, 0, "", "centres the wheel once it is calibrated",
     "Centres the wheel when it is ready (calibration phase 8) and shows the new CenterOffset; a wheel that is\n"
     "not ready is refused.\n",
     RunCenter},
    {"defaults", "", 0, 0, "", "puts the board's settings back to its defaults",
     "Puts the board's settings back to its defaults and reads its advanced settings and pin map again.\n",
     RunDefaults},
    {"flash", "FILE.hex", 1, 1, "--avrdude --avrdude-conf", "writes a firmware image through the boot loader",
     "Checks the image (Intel HEX inside the application area) before the board is touched, then does what\n"
     "the Windows tool does: opens the board's port at 1200 baud and closes it, waits 2 s, takes the port that\n"
     "listComPorts lists anew as the boot loader's and runs avrdude -patmega32u4 -cavr109 -b57600 -D on it.\n"
     "A board named with --port by a device that no COM port link names (/dev/ttyACM0) takes the device that\n"
     "shows up beside it after the reset (the same name once it went away and came back) as the boot loader's.\n"
     "avrdude's detail shows on standard error when the flash fails, or as it comes with -v.\n"
     "  --avrdude PROGRAM     the avrdude to run (default: the first on PATH)\n"
     "  --avrdude-conf FILE   its configuration (default /etc/avrdude.conf)\n",
     RunFlash},
    {"profile list", "", 0, 0, "", "the profiles: name, a tab, process name",
     "One line per profile in the file's order: its name, a tab and its process name.\n", RunProfileList},
    {"profile show", "NAME", 1, 1, "", "a profile's values by parameter name",
     "The profile's name, process name and fifteen values, by the names get uses. A value that the file\n"
     "lacks or holds out of its range is named on standard error; shown is the value the Windows tool\n"
     "takes in its place.\n",
     RunProfileShow},
    {"profile apply", "NAME [--repaired]", 1, 1, "--repaired", "sends a profile to the board",
     "Sends the profile to the board as the Windows tool does when it is chosen: MaxAngle, MainGain, the\n"
     "seven game effects, ForceTable, WheelFlags and the four user effects, in this order (Filter stays as\n"
     "the board has it), then reads them back. A profile whose line lacks a value or holds one out of its\n"
     "range is refused, with a line for each, and nothing is sent, unless --repaired.\n"
     "  --repaired   sends such a profile with the values profile show shows in their place\n",
     RunProfileApply},
    {"profile save", "NAME [--process EXE]", 1, 1, "--process", "makes a profile of the board's values",
     "Gives the board's current values to the profile NAME, which is made when there is none (with an empty\n"
     "process name unless --process names one). A name or process name holds at most 63 characters, none\n"
     "of them a control character or one of , = < > | ( ) / \".\n"
     "  --process EXE   the file name of the game's executable, which selects the profile in the Windows tool\n",
     RunProfileSave},
    {"profile remove", "NAME", 1, 1, "", "removes a profile (\"Default\" stays)",
     "Removes the profile; \"Default\" stays, as in the Windows tool.\n", RunProfileRemove},
    {"profile export", "NAME FILE", 2, 2, "", "writes a profile to a file of its own",
     "Writes the profile to FILE, named as written, as a GameProfiles.ini that holds it alone; - is\n"
     "standard output.\n",
     RunProfileExport},
    {"profile import", "FILE [--replace]", 1, 1, "--replace", "adds the profiles of a file",
     "Adds the profiles of FILE (a GameProfiles.ini or an export; - is standard input). A line that the Windows tool would not\n"
     "take as it is written (a value missing or out of range, a text over 63 characters, a name twice)\n"
     "refuses the whole file, and so does a profile that is there already, unless --replace.\n"
     "  --replace   replaces the profiles of the same names\n",
     RunProfileImport},
    {"drive stats", "", 0, 0, "", "the drive's version, torque bandwidth and motor current",
     "Configures the drive as the Windows tool's drive page does and takes ten motor current samples 100 ms\n"
     "apart: Version, TorqueBandwidth with its Bandwidth, AverageCurrent and MaximumCurrent.\n",
     RunDriveStats},
    {"drive bandwidth", "N", 1, 1, "", "sets the drive's torque bandwidth",
     "Writes the torque bandwidth N (0..10 for 100, 150, 220, 330, 470, 680, 1000, 1500, 2200, 3300 and 4700\n"
     "Hz, 11 for Unlimited) and reads it back.\n",
     RunDriveBandwidth},
    {"drive restart", "", 0, 0, "", "restarts the drive", "Restarts the drive, as \"Restart Drive\" does.\n",
     RunDriveRestart},
    {"drive clear-faults", "", 0, 0, "", "clears the drive's faults",
     "Clears the drive's faults, as \"Clear Faults\" does.\n", RunDriveClearFaults},
};

constexpr char Options[] =
    "Options:\n"
    "  --port DEVICE       the board's serial device, such as /dev/ttyACM0\n"
    "  --com N             the board's COM port N: the link comN in $VANTOR_DOSDEVICES (default\n"
    "                      ~/.vantor/dosdevices), else /dev/ttyS<N-1>, as Wine finds COM ports\n"
    "  --drive-port DEVICE, --drive-com N\n"
    "                      the same for the drive's RS-485 adapter\n"
    "  --dir DIR           the folder of GameProfiles.ini (default ~/.vantor)\n"
    "  --json              JSON on standard output\n"
    "  -q, --quiet         no notes, only errors (a wait for another vantorctl, a value repaired)\n"
    "  -v, --verbose       avrdude's detail as it runs\n"
    "  -h, --help          this help; COMMAND --help tells about a command\n"
    "  --version           the version\n"
    "\n"
    "Without --port or --com the board is the port that listComPorts lists with the\n"
    "board's USB ids, VID_2341 PID_8036; the drive's adapter is the one with VID_0403 PID_6001.\n"
    "\n"
    "Exit status: 0 done, 1 usage error, 2 device not reached or not answering, 3 value refused, 4 file not\n"
    "read or written (standard output included).\n";

std::string UsageLine(const Command& command)
{
    return std::string("vantorctl [OPTION...] ") + command.name + (*command.arguments ? " " : "") + command.arguments;
}

// The commands whose names start with the prefix, one a line with its summary.
std::string CommandList(const std::string& prefix)
{
    std::string list;
    for (const Command& c : Commands) {
        if (std::strncmp(c.name, prefix.c_str(), prefix.size()) != 0) continue;
        char line[160];
        std::snprintf(line, sizeof line, "  %-34s %s\n", (std::string(c.name) + " " + c.arguments).c_str(), c.summary);
        list += line;
    }
    return list;
}

void PrintHelp()
{
    std::printf("Usage: vantorctl [OPTION...] COMMAND [ARGUMENT...]\n\n"
                "The Ostra wheel from a terminal and from scripts: the board's settings, the game profiles of the\n"
                "Windows tool's GameProfiles.ini, calibration, firmware and the servo drive.\n\nCommands:\n%s\n%s",
                CommandList("").c_str(), Options);
}

void PrintCommandHelp(const Command& command)
{
    std::printf("Usage: %s\n\n%s%s", UsageLine(command).c_str(), command.details,
                command.listsParameters ? ParameterList().c_str() : "");
}

const Command* FindCommand(const std::vector<std::string>& words, std::size_t& length)
{
    for (const Command& c : Commands) {
        if (words.size() >= 2 && words[0] + " " + words[1] == c.name) {
            length = 2;
            return &c;
        }
        if (words[0] == c.name) {
            length = 1;
            return &c;
        }
    }
    return nullptr;
}

// The groups of commands, with what their help adds to the list.
struct Group {
    const char* name;
    const char* note;
};
constexpr Group Groups[] = {
    {"profile", "\nThe profiles are those of GameProfiles.ini in --dir (default ~/.vantor), read and written as the\n"
                "Windows tool reads and writes them. A change (save, remove, import) holds the lock file\n"
                "GameProfiles.ini.lock beside it, so that two at once both reach the file: the second waits up to\n"
                "10 s. Through a link, the file changed is the link's target, which keeps its mode and owner.\n"
                "Names are UTF-8 here and code page 1252 in the file, as the Windows tool keeps them; a name that\n"
                "code page cannot hold is refused, and 63 characters fit however many bytes UTF-8 takes for them.\n"},
    {"drive", "\nThe drive is the one --drive-port or --drive-com names, else the port that listComPorts lists with\n"
              "its adapter's USB ids, VID_0403 PID_6001.\n"},
};

const Group* FindGroup(const std::string& word)
{
    for (const Group& g : Groups)
        if (word == g.name) return &g;
    return nullptr;
}

// The command's checks of its words and options; ExitOk when it may run.
int CheckUsage(const Invocation& invocation, const Command& command, std::size_t count)
{
    const int arguments = static_cast<int>(invocation.words.size() - count);
    if (arguments < command.minimum || (command.maximum >= 0 && arguments > command.maximum))
        return Fail(ExitUsage, "usage: %s", UsageLine(command).c_str());
    for (const std::string& option : invocation.commandOptions) {
        if (!std::strstr(command.options, option.c_str()))
            return Fail(ExitUsage, "%s: no option %s", command.name, option.c_str());
    }
    return ExitOk;
}

std::string ProfilesFolder(const Invocation& invocation)
{
    if (!invocation.dir.empty()) return invocation.dir;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : ".") + "/.vantor";
}

// The command with the runtime up, the terminal's controls in place, the
// parameter records bound without controls and the port lister found.
int Run(const Invocation& invocation, const Command& command, std::size_t count)
{
    TerminalControls controls;
    Controls* const previous = UseControls(&controls);
    // The runtime takes its memory from the system as it needs it, so a
    // file is as large as the machine allows, and a failure is told in this
    // program's words, not in an assertion box.
    ExecConfig config;
    config.memoryFlags = 1;
    config.logMode = LogModeOff;
    ShowAssertBoxes(false);
    if (!InitExec(config)) return Fail(ExitFile, "the runtime did not start");
    // Beside this program in the build; where the installation puts it else.
    for (const std::string& lister : {ProgramFolder() + ProgramFileName("listComPorts"),
                                      ProgramFolder() + ListerFromProgram + "/" + ProgramFileName("listComPorts")}) {
        if (!FileExists(lister)) continue;
        PlaceOutsideTool(OutsideTool::PortLister, lister);
        break;
    }
    for (int i = 0; i < ParamCount; ++i) BindFromSet(g_app, i, nullptr);

    const auto arguments = invocation.words.begin() + static_cast<std::ptrdiff_t>(count);
    Cli cli{invocation, g_app, controls, ProfilesFolder(invocation), {},
            std::vector<std::string>(arguments, invocation.words.end())};
    const int status = command.run(cli);

    if (g_app.driveBus >= 0) BusClose(g_app.driveBus);
    g_app.boardPort.Close();
    ExitExec();
    UseControls(previous);
    return status;
}

// The command line's command, help or version.
int Dispatch(int argc, char** argv)
{
    Invocation invocation;
    std::string error;
    if (!ParseInvocation(argc, argv, invocation, error))
        return Fail(ExitUsage, "%s (vantorctl --help tells the options)", error.c_str());
    if (invocation.version) {
        std::printf("vantorctl %d.%d\n", VersionMajor, VersionMinor);
        return ExitOk;
    }
    const std::vector<std::string>& words = invocation.words;
    if (words.empty()) {
        if (invocation.help) {
            PrintHelp();
            return ExitOk;
        }
        return Fail(ExitUsage, "a command is wanted (vantorctl --help lists them)");
    }
    std::size_t count = 0;
    const Command* command = FindCommand(words, count);
    const Group* group = FindGroup(words[0]);
    if (!command && group) {
        const std::string list = CommandList(words[0] + " ");
        if (invocation.help) {
            std::printf("Usage: vantorctl [OPTION...] %s SUB-COMMAND\n\n%s%s", group->name, list.c_str(), group->note);
            return ExitOk;
        }
        if (words.size() == 1)
            return Fail(ExitUsage, "%s: a sub-command is wanted:\n%s", words[0].c_str(), list.c_str());
        return Fail(ExitUsage, "%s: no sub-command %s (vantorctl %s --help lists them)", words[0].c_str(),
                    words[1].c_str(), words[0].c_str());
    }
    if (!command) return Fail(ExitUsage, "no command %s (vantorctl --help lists them)", words[0].c_str());
    if (invocation.help) {
        PrintCommandHelp(*command);
        return ExitOk;
    }
    if (const int status = CheckUsage(invocation, *command, count); status != ExitOk) return status;
    return Run(invocation, *command, count);
}

} // namespace

int main(int argc, char** argv)
{
    HoldStandardStreams();
    return EndStandardOutput(Dispatch(argc, argv));
}
