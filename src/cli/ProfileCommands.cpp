// Game profiles from a terminal, in the GameProfiles.ini of --dir: the
// Windows tool's reader and writer, so a file moves between the two.
#include "board/BoardProtocol.h"
#include "cli/Cli.h"
#include "cli/Report.h"
#include "core/AppContext.h"
#include "profiles/ProfileFields.h"
#include "profiles/ProfileFile.h"
#include "profiles/Profiles.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

constexpr char DefaultProfileName[] = "Default";

std::string ProfilesPath(const Cli& cli) { return cli.dir + "/GameProfiles.ini"; }

// The profiles of the file, read as the Windows tool reads them at its start;
// a file that is there but cannot be read is no empty list.
int LoadList(Cli& cli)
{
    const std::string path = ProfilesPath(cli);
    std::error_code error;
    if (ReadProfileFile(cli.app.profiles, path.c_str()) || !std::filesystem::exists(path, error)) return ExitOk;
    return Fail(ExitFile, "cannot read %s", path.c_str());
}

// The profile of that name (letter case of a..z ignored); null after a line.
GameProfile* FindProfile(Cli& cli, const std::string& name)
{
    GameProfile* profile = cli.app.profiles.Find(name.c_str());
    if (!profile) Fail(ExitUsage, "no profile %s in %s", name.c_str(), ProfilesPath(cli).c_str());
    return profile;
}

int SaveList(Cli& cli)
{
    std::error_code error;
    std::filesystem::create_directories(cli.dir, error);
    if (WriteProfileFile(cli.app.profiles, ProfilesPath(cli).c_str())) return ExitOk;
    return Fail(ExitFile, "cannot write %s", ProfilesPath(cli).c_str());
}

// A name or process name that a PROFILE line keeps as it is: at most 63
// characters, none of them a separator, quote or comment mark of the file.
bool KeptAsWritten(const std::string& text)
{
    return text.size() <= ProfileTextMax && text.find_first_of(",=<>|()\"/\t\r\n") == std::string::npos;
}

// The records of the fourteen values a profile sends, which the board is
// asked for again after the profile was applied.
std::vector<int> SentRecords()
{
    std::vector<int> records;
    for (const ProfileField& f : ProfileFields)
        if (f.param != Filter) records.push_back(f.param);
    return records;
}

} // namespace

int RunProfileList(Cli& cli)
{
    if (const int status = LoadList(cli); status != ExitOk) return status;
    std::vector<Report> rows;
    for (int i = 0; i < cli.app.profiles.Count(); ++i) {
        const GameProfile& profile = *cli.app.profiles.At(i);
        rows.emplace_back();
        rows.back().Text("Name", profile.name);
        rows.back().Text("Process", profile.processName);
    }
    Report::PrintRows(rows, cli.invocation.json);
    return ExitOk;
}

int RunProfileShow(Cli& cli)
{
    if (const int status = LoadList(cli); status != ExitOk) return status;
    const GameProfile* profile = FindProfile(cli, cli.arguments[0]);
    if (!profile) return ExitUsage;
    Report report;
    report.Text("Name", profile->name);
    report.Text("Process", profile->processName);
    for (int f = 0; f < ProfileFieldCount; ++f)
        report.Number(ParamSet[ProfileFields[f].param].name, FieldValue(*profile, f));
    report.Print(cli.invocation.json);
    return ExitOk;
}

int RunProfileApply(Cli& cli)
{
    if (const int status = LoadList(cli); status != ExitOk) return status;
    GameProfile* profile = FindProfile(cli, cli.arguments[0]);
    if (!profile) return ExitUsage;
    if (const int status = ConnectBoard(cli); status != ExitOk) return status;
    ApplyProfile(cli.app, *profile);
    Report sent;
    return ReadBack(cli, SentRecords(), sent);
}

int RunProfileSave(Cli& cli)
{
    const std::string& name = cli.arguments[0];
    const std::string& process = cli.invocation.process;
    if (name.empty() || !KeptAsWritten(name) || !KeptAsWritten(process))
        return Fail(ExitRefused, "profile save: a name and a process name hold at most 63 characters, none of "
                    ", = < > | ( ) / \" or a tab");
    if (const int status = LoadList(cli); status != ExitOk) return status;
    if (const int status = ConnectBoard(cli); status != ExitOk) return status;
    AppContext& app = cli.app;
    for (const ProfileField& f : ProfileFields) RefreshParam(app, app.params[f.param]);
    if (const int status = BoardAnswered(cli); status != ExitOk) return status;
    for (int f = 0; f < ProfileFieldCount; ++f) {
        const int32_t value = app.params[ProfileFields[f].param].value;
        if (!FieldInRange(f, value))
            return Fail(ExitRefused, "profile save: the board's %s %ld is outside %ld..%ld, which a profile holds",
                        ParamSet[ProfileFields[f].param].name, static_cast<long>(value),
                        static_cast<long>(ProfileFields[f].minimum), static_cast<long>(ProfileFields[f].maximum));
    }
    GameProfile* profile = app.profiles.Find(name.c_str());
    if (!profile) profile = app.profiles.Append(name.c_str(), process.c_str());
    const auto& given = cli.invocation.commandOptions;
    if (std::find(given.begin(), given.end(), "--process") != given.end())
        SetProfileText(profile->processName, process.c_str());
    StoreProfile(app, *profile);
    return SaveList(cli);
}

int RunProfileRemove(Cli& cli)
{
    if (const int status = LoadList(cli); status != ExitOk) return status;
    const GameProfile* profile = FindProfile(cli, cli.arguments[0]);
    if (!profile) return ExitUsage;
    if (std::strcmp(profile->name, DefaultProfileName) == 0)
        return Fail(ExitRefused, "profile remove: You can't remove the default profile");
    cli.app.profiles.Remove(cli.app.profiles.IndexOf(profile));
    return SaveList(cli);
}

int RunProfileExport(Cli& cli)
{
    if (const int status = LoadList(cli); status != ExitOk) return status;
    const GameProfile* profile = FindProfile(cli, cli.arguments[0]);
    if (!profile) return ExitUsage;
    ProfileList one;
    *one.Append(profile->name, profile->processName) = *profile;
    if (WriteProfileFile(one, cli.arguments[1].c_str())) return ExitOk;
    return Fail(ExitFile, "profile export: cannot write %s", cli.arguments[1].c_str());
}

int RunProfileImport(Cli& cli)
{
    const std::string& file = cli.arguments[0];
    ProfileList imported;
    std::vector<std::string> faults;
    if (!ReadProfileFile(imported, file.c_str(), &faults))
        return Fail(ExitFile, "profile import: cannot read %s", file.c_str());
    if (imported.Empty()) faults.push_back("no PROFILE line in a section [GameProfiles]");
    if (const int status = LoadList(cli); status != ExitOk) return status;
    ProfileList& profiles = cli.app.profiles;
    for (int i = 0; i < imported.Count(); ++i) {
        const char* name = imported.At(i)->name;
        if (profiles.Find(name) && !cli.invocation.replace)
            faults.push_back(std::string(name) + ": " + ProfilesPath(cli) + " has it (--replace replaces it)");
    }
    for (const std::string& fault : faults) Fail(ExitRefused, "profile import: %s: %s", file.c_str(), fault.c_str());
    if (!faults.empty()) return ExitRefused;
    for (int i = 0; i < imported.Count(); ++i) {
        const GameProfile& profile = *imported.At(i);
        GameProfile* kept = profiles.Find(profile.name);
        if (!kept) kept = profiles.Append(profile.name, profile.processName);
        *kept = profile;
    }
    return SaveList(cli);
}
