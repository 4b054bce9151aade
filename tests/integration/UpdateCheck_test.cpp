// The update check against the stand-in update server.
#include "core/AppContext.h"
#include "platform/MessageBoxStyle.h"
#include "platform/OpenLocation.h"
#include "support/Doubles.h"
#include "support/SimProcess.h"
#include "unit/ExecRuntime.h"
#include "update/OnlineScript.h"
#include "update/UpdateCheck.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::string g_opened; // the locations handed to the system, one a line
void RecordOpen(NativeHandle, const char* location) { g_opened += std::string(location) + "\n"; }
int g_quits = 0;
void RecordQuit(AppContext&) { ++g_quits; }

constexpr const char* NewTool = "New configuration tool available, do you want to download it ?";
constexpr const char* NewFirmware = "New firmware available, do you want to download it ?";
constexpr const char* NoUpdate = "No update available";
constexpr const char* NotFlashed = "Could not flash the firmware, please check that your device is connected";
constexpr const char* Image = ":0400000001020304F2\r\n:00000001FF\r\n";

class UpdateCheckTest : public ExecRuntime, protected AppPage {
protected:
    UpdateCheckTest()
    {
        Start(0x2);
        g_opened.clear();
        g_quits = 0;
        previousOpener_ = UseLocationOpener(RecordOpen);
        app->quitRequested = RecordQuit;
        app->firmwareVersion = 0x10066; // the board's firmware 0.102
    }
    ~UpdateCheckTest() override
    {
        UseLocationOpener(previousOpener_);
        unsetenv("VANTOR_UPDATE_HOST");
    }
    // Serves the script and runs the check with the answer to every question.
    Texts Check(const std::string& script, bool quiet = false, int answer = MessageAnswerNo)
    {
        if (!server) server = std::make_unique<UpdateServer>(dir.path(), "normal");
        std::string text = script;
        if (const std::size_t at = text.find("HOST"); at != std::string::npos) text.replace(at, 4, server->Host());
        dir.Write("vt_servers.ini", text);
        dir.Write("wheel.hex", Image);
        setenv("VANTOR_UPDATE_HOST", server->Host().c_str(), 1);
        ui.controls.SetMessageAnswer(answer);
        CheckForUpdates(*app, &page, quiet);
        EXPECT_EQ(app->commandBusy, 0);
        Texts shown;
        for (const auto& m : ui.controls.Messages()) shown.push_back(m.text);
        return shown;
    }
    // The paths the server was asked for, in order.
    Texts Asked()
    {
        Texts paths;
        for (const std::string& line : server->LogLinesWith("")) {
            const std::size_t at = line.find("\"path\":\"") + 8;
            paths.push_back(line.substr(at, line.find('"', at) - at));
        }
        return paths;
    }

    std::unique_ptr<UpdateServer> server;
    LocationOpener previousOpener_ = nullptr;
};

const std::string Firmware(const std::string& version, const std::string& file = "\"wheel.hex\"")
{
    return "[UPDATE]\r\nFW_VERSION = " + version + "\r\nFW_UPDATE = 0,0,0,0, \"HOST\", " + file + "\r\n";
}

// Tool versions are compared packed (0,0,1,0 is 256); firmware is offered when newer than the board's, also above
// the low 16 bits the board reported, and a quiet check says nothing when nothing is new.
TEST_F(UpdateCheckTest, NewerToolOrFirmwareIsOfferedAndADownServerShowsNothing)
{
    const struct { std::string script; bool quiet; Texts shown; } cases[] = {
        {"[SERVER]\r\nVERSION = 0,0,0,22\r\n", false, {NewTool}}, {"[SERVER]\r\nVERSION = 0,0,0,21\r\n", false, {NoUpdate}},
        {"[SERVER]\r\nVERSION = 0,0,1,0\r\n", false, {NewTool}}, {"[SERVER]\r\nVERSION = 0x0,0,0,0x15\r\n", false, {NoUpdate}},
        {Firmware("0,0,0,0x66"), false, {NoUpdate}}, {Firmware("0,0,0,0x66"), true, {}},
        {Firmware("0,0,0,0x67"), true, {NewFirmware}}, {Firmware("0,0,1,0x66"), false, {NewFirmware}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script + (c.quiet ? " quiet" : ""));
        ui.controls.Clear();
        EXPECT_EQ(Check(c.script, c.quiet), c.shown);
    }
    EXPECT_EQ(g_opened, "");
    ui.controls.Clear();
    setenv("VANTOR_UPDATE_HOST", "127.0.0.1:1", 1); // a server that is down
    CheckForUpdates(*app, &page, false);
    EXPECT_TRUE(ui.controls.Messages().empty());
    EXPECT_NE(dir.Read("Log.txt").find("Could not read Online script"), std::string::npos);
    EXPECT_EQ(app->commandBusy, 0);
}

// Yes to a new tool opens its location, with no firmware question after it, and ends the program; only web
// addresses are opened, anything else from the network is logged and the check goes on.
TEST_F(UpdateCheckTest, YesToTheToolOpensItsWebLocationAndEndsTheProgram)
{
    const struct { const char* location; std::string opened; int quits; } cases[] = {
        {"\"http://dl.example/v/\", \"Vantor.zip\"", "http://dl.example/v/1033/Vantor.zip\n", 1},
        {"\"C:\\Windows\\\", \"calc.exe\"", "", 0}};
    const Texts refused = {NewTool, NewFirmware, "Could not execute listComPorts.exe", NotFlashed}; // the check goes on
    for (const auto& c : cases) {
        g_opened.clear();
        g_quits = 0;
        ui.controls.Clear();
        const std::string script = "[UPDATE]\r\nVERSION = 0,0,0,22\r\nUPDATE = 0,0,0,0, " + std::string(c.location) + "\r\n";
        EXPECT_EQ(Check(script + Firmware("0,0,1,0").substr(10), false, MessageAnswerYes),
                  c.quits ? Texts{NewTool} : refused) << c.location;
        EXPECT_EQ(std::pair(g_opened, g_quits), std::pair(c.opened, c.quits)) << c.location;
    }
    EXPECT_NE(dir.Read("Log.txt").find("CheckForUpdates: download location refused: C:\\Windows\\1033/calc.exe"),
              std::string::npos);
    const char* locations[][2] = {{"http://a/b", "1"}, {"HTTPS://a", "1"}, {"file:///etc/passwd", "0"},
                                  {"ftp://a", "0"},   {"httpx://a", "0"},  {"", "0"}};
    for (const auto& [location, web] : locations) EXPECT_EQ(IsWebLocation(location), *web == '1') << location;
}

// The image is downloaded and kept under its own name; a name that could
// be another file or could carry an option is refused before anything is
// asked for.
TEST_F(UpdateCheckTest, YesToTheFirmwareDownloadsItUnderAFirmwareName)
{
    // No port lister here: the board cannot be reset.
    EXPECT_EQ(Check(Firmware("0,0,0,0x67"), true, MessageAnswerYes),
              (Texts{NewFirmware, "Could not execute listComPorts.exe", NotFlashed}));
    EXPECT_EQ(Asked(), (Texts{"vt_servers.ini", "wheel.hex"}));
    EXPECT_EQ(dir.Read("wheel.hex"), Image);
    ui.controls.Clear();
    EXPECT_EQ(Check(Firmware("0,0,0,0x67", "\"../wheel.hex\""), true, MessageAnswerYes), Texts{NewFirmware});
    EXPECT_EQ(Asked(), (Texts{"vt_servers.ini", "wheel.hex", "vt_servers.ini"})) << "a name refused: only the script";
    EXPECT_NE(dir.Read("Log.txt").find("CheckForUpdates: firmware file name refused: ../wheel.hex"), std::string::npos);
    const std::string longest = std::string(60, 'w') + ".hex";
    const char* names[][2] = {{"wheel.hex", "1"}, {"fw-0.66_b.HEX", "1"}, {longest.c_str(), "1"},
                              {"a/b.hex", "0"},   {"a\\b.hex", "0"},      {"C:b.hex", "0"},
                              {".hex", "0"},      {"nul.hex", "0"},       {"com7.hex", "0"},
                              {"com0.hex", "1"},  {"", "0"},              {"wheel.hex.", "0"},
                              {"wheel.hex ", "0"}, {"a?b.hex", "0"},      {"a\"b.hex", "0"},
                              {"wheel.ini", "0"}, {"console.hex", "1"},   {"../wheel.hex", "0"},
                              {"GameProfiles.ini", "0"}, {"x -e -lLog.txt y.hex", "0"}};
    for (const auto& [name, taken] : names) EXPECT_EQ(IsFirmwareFileName(name), *taken == '1') << name;
    EXPECT_FALSE(IsFirmwareFileName(("w" + longest).c_str())) << "65 characters";
}

} // namespace
