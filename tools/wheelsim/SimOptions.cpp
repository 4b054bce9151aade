#include "SimOptions.h"

#include "SimText.h"

#include <cstring>

namespace {

bool ParseBytes(const char* text, std::vector<uint8_t>& bytes)
{
    std::vector<long long> list;
    if (!ParseNumberList(text, list, 0, 255)) return false;
    bytes.assign(list.begin(), list.end());
    return true;
}

bool ParseSetting(const char* text, std::map<int, int32_t>& values)
{
    const char* eq = text ? std::strchr(text, '=') : nullptr;
    if (!eq) return false;
    int number = 0;
    long long value = 0;
    if (!ParseInt(std::string(text, eq).c_str(), number, 0, 255)) return false;
    if (!ParseNumber(eq + 1, value) || value < INT32_MIN || value > UINT32_MAX) return false;
    values[number] = static_cast<int32_t>(static_cast<uint32_t>(value & 0xffffffff));
    return true;
}

} // namespace

const char* SimUsage()
{
    return "usage: wheelsim [--link PATH] [--log FILE] [--status 1,3,4,5,6,8] [--fw-version N]\n"
           "                [--set NUMBER=VALUE]... [--center VALUE] [--silent] [--echo]\n"
           "                [--debug-text TEXT] [--garbage N] [--split N] [--split-pause MS]\n"
           "                [--slow MS] [--disconnect-after FRAMES] [--restart-ms MS] [--trace-ms MS]\n"
           "                [--trace-frame KIND,VALUE,HIGH,LOW] [--trace-sine MS]\n"
           "                [--chaos SEED] [--chaos-speed N]\n";
}

bool ParseSimOptions(int argc, char** argv, SimOptions& o, std::string& error)
{
    const auto isSwitch = [&o](const std::string& name) {
        if (name == "--silent") return o.silent = true;
        if (name == "--echo") return o.echo = true;
        if (name == "--boot-same-port") return o.bootSamePort = true;
        if (name == "--boot-never-return") return o.bootNeverReturn = true;
        return false;
    };
    const auto take = [&o](const std::string& name, const char* value) {
        long long number = 0;
        bool ok = true;
        if (name == "--link") {
            o.linkPath = value;
        } else if (name == "--log") {
            o.logPath = value;
        } else if (name == "--status") {
            ok = ParseBytes(value, o.statusScript);
        } else if (name == "--fw-version") {
            ok = ParseNumber(value, number) && number >= 0 && number <= UINT32_MAX;
            o.firmwareVersion = static_cast<uint32_t>(number);
        } else if (name == "--set") {
            ok = ParseSetting(value, o.initialValues);
        } else if (name == "--center") {
            ok = ParseNumber(value, number) && number >= INT32_MIN && number <= INT32_MAX;
            o.centerValue = static_cast<int32_t>(number);
        } else if (name == "--debug-text") {
            o.debugText = value;
        } else if (name == "--garbage") {
            ok = ParseInt(value, o.garbageBytes, 0, 4096);
        } else if (name == "--split") {
            ok = ParseInt(value, o.splitBytes, 0, 4096);
        } else if (name == "--split-pause") {
            ok = ParseInt(value, o.splitPauseMs, 0, 60000);
        } else if (name == "--slow") {
            ok = ParseInt(value, o.slowMs, 0, 60000);
        } else if (name == "--disconnect-after") {
            ok = ParseInt(value, o.disconnectAfter, 0, 1 << 30);
        } else if (name == "--restart-ms") {
            ok = ParseInt(value, o.restartMs, 0, 60000);
        } else if (name == "--trace-ms") {
            ok = ParseInt(value, o.traceMs, 1, 60000);
        } else if (name == "--chaos") {
            ok = ParseInt(value, o.chaosSeed, 0, 0x7fffffff);
        } else if (name == "--chaos-speed") {
            ok = ParseInt(value, o.chaosSpeed, 1, 1000);
        } else if (name == "--trace-sine") {
            ok = ParseInt(value, o.traceSine, 1, 600000);
        } else if (name == "--trace-frame") {
            ok = ParseBytes(value, o.traceFrame) && o.traceFrame.size() == 4;
        } else if (name == "--boot-link") {
            o.bootLink = value;
        } else if (name == "--boot-ms") {
            ok = ParseInt(value, o.bootMs, 1, 600000);
        } else if (name == "--boot-stop-after") {
            ok = ParseInt(value, o.bootStopAfter, 0, 1 << 30);
        } else if (name == "--flash-in") {
            o.flashIn = value;
        } else if (name == "--flash-out") {
            o.flashOut = value;
        } else {
            return OptionTaken::Unknown;
        }
        return ok ? OptionTaken::Yes : OptionTaken::BadValue;
    };
    return WalkOptions(argc, argv, isSwitch, take, error);
}
