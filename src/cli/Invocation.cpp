#include "cli/Cli.h"

#include <cctype>

namespace {

struct ValueOption {
    const char* name;
    std::string Invocation::*field;
    bool command; // taken by some commands only
};
struct FlagOption {
    const char* name;
    bool Invocation::*field;
    bool command;
};

constexpr ValueOption ValueOptions[] = {
    {"--port", &Invocation::port, false},         {"--com", &Invocation::com, false},
    {"--drive-port", &Invocation::drivePort, false}, {"--drive-com", &Invocation::driveCom, false},
    {"--dir", &Invocation::dir, false},           {"--process", &Invocation::process, true},
    {"--avrdude", &Invocation::avrdude, true},    {"--avrdude-conf", &Invocation::avrdudeConf, true},
};
constexpr FlagOption FlagOptions[] = {
    {"--json", &Invocation::json, false}, {"--help", &Invocation::help, false}, {"-h", &Invocation::help, false},
    {"--version", &Invocation::version, false}, {"--replace", &Invocation::replace, true},
    {"--repaired", &Invocation::repaired, true}, {"-q", &Invocation::quiet, false},
    {"--quiet", &Invocation::quiet, false},     {"-v", &Invocation::verbose, false},
    {"--verbose", &Invocation::verbose, false},
};

} // namespace

bool ParseInvocation(int argc, char** argv, Invocation& invocation, std::string& error)
{
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        // A lone "-" and a negative number are words too.
        if (optionsEnded || word.size() < 2 || word[0] != '-' || std::isdigit(static_cast<unsigned char>(word[1]))) {
            invocation.words.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = word.find('=');
        const std::string name = word.substr(0, equals);
        bool known = false;
        for (const ValueOption& o : ValueOptions) {
            if (name != o.name) continue;
            if (equals == std::string::npos && i + 1 >= argc) {
                error = name + " wants a value";
                return false;
            }
            invocation.*o.field = equals != std::string::npos ? word.substr(equals + 1) : argv[++i];
            if (o.command) invocation.commandOptions.push_back(name);
            known = true;
        }
        for (const FlagOption& o : FlagOptions) {
            if (word != o.name) continue;
            invocation.*o.field = true;
            if (o.command) invocation.commandOptions.push_back(name);
            known = true;
        }
        if (!known) {
            error = "no option " + word;
            return false;
        }
    }
    return true;
}
