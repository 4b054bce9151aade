#include "DriveOptions.h"

#include "SimText.h"

namespace {

bool ParseFault(const std::string& text, DriveFault& fault)
{
    static const struct {
        const char* name;
        DriveFault fault;
    } kinds[] = {{"bad-crc", DriveFault::BadCrc},
                 {"reserved", DriveFault::Reserved},
                 {"overlong", DriveFault::Overlong},
                 {"short", DriveFault::Short},
                 {"chatter", DriveFault::Chatter}};
    for (const auto& kind : kinds) {
        if (text == kind.name) {
            fault = kind.fault;
            return true;
        }
    }
    return false;
}

} // namespace

const char* DriveUsage()
{
    return "usage: drivesim [--link PATH] [--log FILE] [--node N] [--version HEX] [--torque-bw N]\n"
           "                [--samples A,B,...] [--wave AMP,PERIOD] [--silent]\n"
           "                [--fault bad-crc|reserved|overlong|short|chatter] [--faults N]\n"
           "                [--split-pause MS] [--paced] [--late PARAM,MS] [--late-every PARAM,MS]\n"
           "                [--chaos SEED] [--chaos-speed N]\n";
}

bool ParseDriveOptions(int argc, char** argv, DriveOptions& o, std::string& error)
{
    const auto isSwitch = [&o](const std::string& name) {
        if (name == "--silent") return o.silent = true;
        if (name == "--paced") return o.paced = true;
        return false;
    };
    const auto take = [&o](const std::string& name, const char* value) {
        constexpr long long Lowest = -(1LL << 29), Highest = (1LL << 29) - 1; // a 30-bit value
        long long number = 0;
        std::vector<long long> list;
        bool ok = true;
        if (name == "--link") {
            o.linkPath = value;
        } else if (name == "--log") {
            o.logPath = value;
        } else if (name == "--node") {
            ok = ParseInt(value, o.node, 0, 255);
        } else if (name == "--version") {
            ok = ParseNumber(value, number, 16) && number >= 0 && number <= Highest;
            o.version = static_cast<int32_t>(number);
        } else if (name == "--torque-bw") {
            ok = ParseNumber(value, number) && number >= Lowest && number <= Highest;
            o.torqueBandwidth = static_cast<int32_t>(number);
        } else if (name == "--samples") {
            ok = ParseNumberList(value, list, Lowest, Highest);
            o.samples.assign(list.begin(), list.end());
        } else if (name == "--wave") {
            ok = ParseNumberList(value, list, 0, Highest) && list.size() == 2 && list[1] > 0;
            o.waveAmplitude = ok ? static_cast<int32_t>(list[0]) : 0;
            o.wavePeriod = ok ? static_cast<int>(list[1]) : 0;
        } else if (name == "--fault") {
            ok = ParseFault(value, o.fault);
        } else if (name == "--faults") {
            ok = ParseInt(value, o.faults, 0, 1 << 30);
        } else if (name == "--chaos") {
            ok = ParseInt(value, o.chaosSeed, 0, 0x7fffffff);
        } else if (name == "--chaos-speed") {
            ok = ParseInt(value, o.chaosSpeed, 1, 1000);
        } else if (name == "--late" || name == "--late-every") {
            ok = ParseNumberList(value, list, 0, 60000) && list.size() == 2;
            o.lateParam = ok ? static_cast<int>(list[0]) : -1;
            o.lateMs = ok ? static_cast<int>(list[1]) : 0;
            o.lateEvery = name == "--late-every";
        } else if (name == "--split-pause") {
            ok = ParseInt(value, o.splitPauseMs, 0, 60000);
        } else {
            return OptionTaken::Unknown;
        }
        return ok ? OptionTaken::Yes : OptionTaken::BadValue;
    };
    return WalkOptions(argc, argv, isSwitch, take, error);
}
