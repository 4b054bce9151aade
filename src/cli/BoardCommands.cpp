// The board's commands: its state, its parameters by name, calibration,
// centring and its defaults.
#include "board/BoardProtocol.h"
#include "board/LinkState.h"
#include "board/WheelLink.h"
#include "cli/Cli.h"
#include "cli/Report.h"
#include "core/AppContext.h"
#include "profiles/ProfileFields.h"

#include <algorithm>
#include <strings.h>

namespace {

struct Range {
    bool settable;
    int32_t minimum, maximum;
};

// The values a parameter takes from the command line: for a setting of the
// profiles what a profile may hold, for another one its control's range.
// The centre offset follows "center", the external gain the board's input.
Range RangeOf(int index)
{
    if (index == CenterOffset || index == ExternalGain) return {false, 0, 0};
    for (const ProfileField& f : ProfileFields) {
        if (f.param == index) return {true, f.minimum, f.maximum};
    }
    return {true, ParamSet[index].minimum, ParamSet[index].maximum};
}

// The record of a board parameter by its name (letter case ignored); -1
// for another name, also for the drive's settings kept beside the board's.
int FindParameter(const std::string& name)
{
    for (int i = 0; i < ParamCount; ++i) {
        if (ParamSet[i].number != NotABoardParam && strcasecmp(ParamSet[i].name, name.c_str()) == 0) return i;
    }
    return -1;
}

// The calibration phase and, once, the firmware version, asked as the
// link's periodic step asks them (nothing while the board traces).
int AskStatus(Cli& cli)
{
    AppContext& app = cli.app;
    RefreshParam(app, app.params[DebugLevel]);
    if (const int status = BoardAnswered(cli); status != ExitOk) return status;
    PollWheel(app, false);
    if (app.missedStatus == 0) return ExitOk;
    return Fail(ExitDevice, "%s: no reply to the status request within 100 ms", cli.board.c_str());
}

std::string ShownText(const Cli& cli, int id) { return cli.controls.TextOf(cli.app.mainPage, id); }

} // namespace

int ReadBack(Cli& cli, const std::vector<int>& records, Report& report)
{
    AppContext& app = cli.app;
    std::vector<std::string> kept;
    std::string confirmed, unknown; // read back as sent; not read back since the board stopped answering
    for (int i : records) {
        const int32_t sent = app.params[i].value;
        const std::string name = ParamSet[i].name;
        RefreshParam(app, app.params[i]);
        report.Number(ParamSet[i].name, app.params[i].value);
        std::string& list = app.replyLost ? unknown : app.params[i].value == sent ? confirmed : kept.emplace_back();
        list += (list.empty() ? "" : ", ") + name + "=" + std::to_string(app.replyLost ? sent : app.params[i].value);
        if (!app.replyLost && app.params[i].value != sent) list += ", not " + std::to_string(sent);
    }
    for (const std::string& k : kept) Fail(ExitRefused, "the board keeps %s", k.c_str());
    if (app.replyLost)
        return Fail(ExitDevice, "%s: the board stopped answering (a reply took over 100 ms); read back as sent: %s; "
                    "not known to have reached it: %s", cli.board.c_str(), confirmed.empty() ? "none" : confirmed.c_str(),
                    unknown.c_str());
    return kept.empty() ? ExitOk : ExitRefused;
}

std::string ParameterList()
{
    std::string list;
    for (int i = 0; i < ParamCount; ++i) {
        if (ParamSet[i].number == NotABoardParam) continue;
        const Range range = RangeOf(i);
        list += std::string("  ") + ParamSet[i].name;
        list += range.settable ? " " + std::to_string(range.minimum) + ".." + std::to_string(range.maximum)
                               : " (read only)";
        list += "\n";
    }
    return list;
}

int RunStatus(Cli& cli)
{
    int status = ConnectBoard(cli);
    if (status == ExitOk) status = AskStatus(cli);
    if (status != ExitOk) return status;
    const AppContext& app = cli.app;
    Report report;
    report.Text("Port", cli.board);
    report.Text("Link", LinkStateText(app.linkState));
    if (const int32_t level = app.params[DebugLevel].value; level != 0) report.Number("DebugLevel", level);
    else report.JsonNumber("DebugLevel", level);
    // Not asked while the board traces: no line, null in JSON.
    for (const auto& [name, id] : {std::pair("Calibration", StatusTextId), std::pair("Firmware", FirmwareVersionId)}) {
        if (const std::string shown = ShownText(cli, id); !shown.empty()) report.Text(name, shown);
        else report.Unknown(name);
    }
    report.Print(cli.invocation.json);
    return ExitOk;
}

int RunGet(Cli& cli)
{
    std::vector<int> records;
    for (const std::string& name : cli.arguments) {
        const int index = FindParameter(name);
        if (index < 0) return Fail(ExitUsage, "get: no parameter %s (get --help lists them)", name.c_str());
        if (std::find(records.begin(), records.end(), index) == records.end()) records.push_back(index); // once each
    }
    if (records.empty()) {
        for (int i = 0; i < ParamCount; ++i)
            if (ParamSet[i].number != NotABoardParam) records.push_back(i);
    }
    if (const int status = ConnectBoard(cli); status != ExitOk) return status;
    Report report;
    for (int i : records) {
        RefreshParam(cli.app, cli.app.params[i]);
        report.Number(ParamSet[i].name, cli.app.params[i].value);
    }
    if (const int status = BoardAnswered(cli); status != ExitOk) return status;
    report.Print(cli.invocation.json);
    return ExitOk;
}

int RunSet(Cli& cli)
{
    std::vector<std::pair<int, int32_t>> changes;
    for (const std::string& argument : cli.arguments) {
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const int index = FindParameter(name);
        long long value = 0;
        if (equals == std::string::npos || index < 0 || !ParseNumber(argument.substr(equals + 1), value))
            return Fail(ExitUsage, "set: %s is not NAME=VALUE with a parameter's name and a whole number (set --help lists them)", argument.c_str());
        const Range range = RangeOf(index);
        if (!range.settable) return Fail(ExitRefused, "set: %s is read only", ParamSet[index].name);
        if (value < range.minimum || value > range.maximum)
            return Fail(ExitRefused, "set: %s refused, %s takes %ld..%ld", argument.c_str(), ParamSet[index].name,
                        static_cast<long>(range.minimum), static_cast<long>(range.maximum));
        changes.emplace_back(index, static_cast<int32_t>(value));
    }
    if (changes.empty()) return Fail(ExitUsage, "set: NAME=VALUE wanted");
    if (const int status = ConnectBoard(cli); status != ExitOk) return status;
    std::vector<int> records;
    for (const auto& [index, value] : changes) {
        cli.app.params[index].value = value;
        SendParam(cli.app, cli.app.params[index]);
        records.push_back(index);
    }
    Report report;
    const int status = ReadBack(cli, records, report);
    // What a board that stopped answering holds is not known.
    if (status != ExitDevice) report.Print(cli.invocation.json);
    return status;
}

int RunCalibrate(Cli& cli)
{
    if (const int status = ConnectBoard(cli); status != ExitOk) return status;
    Calibrate(cli.app);
    if (const int status = AskStatus(cli); status != ExitOk) return status;
    Report report;
    report.Text("Calibration", ShownText(cli, StatusTextId));
    report.Print(cli.invocation.json);
    return ExitOk;
}

int RunCenter(Cli& cli)
{
    int status = ConnectBoard(cli);
    if (status == ExitOk) status = AskStatus(cli);
    if (status != ExitOk) return status;
    AppContext& app = cli.app;
    if (app.linkState != LinkWheelReady) {
        const std::string shown = ShownText(cli, StatusTextId);
        return Fail(ExitRefused, "center: the wheel is not ready (%s); it centres once calibrated",
                    shown.empty() ? LinkStateText(app.linkState) : shown.c_str());
    }
    CenterWheel(app);
    if (status = BoardAnswered(cli); status != ExitOk) return status;
    Report report;
    report.Number(ParamSet[CenterOffset].name, app.params[CenterOffset].value);
    report.Print(cli.invocation.json);
    return ExitOk;
}

int RunDefaults(Cli& cli)
{
    if (const int status = ConnectBoard(cli); status != ExitOk) return status;
    ResetBoardDefaults(cli.app);
    return BoardAnswered(cli);
}
