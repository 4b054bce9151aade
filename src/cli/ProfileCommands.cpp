// Game profiles from a terminal, in the GameProfiles.ini of --dir: the
// Windows tool's reader and writer, so a file moves between the two.
#include "board/BoardProtocol.h"
#include "cli/Cli.h"
#include "cli/CodePage.h"
#include "cli/Report.h"
#include "core/AppContext.h"
#include "platform/FileLock.h"
#include "profiles/ProfileFields.h"
#include "profiles/ProfileFile.h"
#include "profiles/ProfileImport.h"
#include "profiles/Profiles.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <system_error>

namespace {

constexpr char DefaultProfileName[] = "Default";
constexpr char StandardStream[] = "-";  // a FILE of export and import: standard output, standard input
constexpr uint32_t LockWait = 10000;     // milliseconds a change waits for another one to end

std::string ProfilesPath(const Cli& cli) { return cli.dir + "/GameProfiles.ini"; }

// ": " and the system's reason for a failure, nothing when the failure was
// not the system's (a file the reader does not take).
std::string Reason(int error) { return error ? std::string(": ") + std::strerror(error) : ""; }

// Writes the list to the file as the Windows tool does; ExitOk, else
// ExitFile after a line with the system's reason. A file in a folder that
// is not there is no file to write: no folder is made for it.
int WriteList(const ProfileList& list, const std::string& path, const char* command)
{
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty() && !std::filesystem::is_directory(folder, error))
        return Fail(ExitFile, "%scannot write %s%s", command, path.c_str(),
                    Reason(std::filesystem::exists(folder, error) ? ENOTDIR : ENOENT).c_str());
    errno = 0;
    if (WriteProfileFile(list, path.c_str())) return ExitOk;
    return Fail(ExitFile, "%scannot write %s%s", command, path.c_str(), Reason(errno).c_str());
}

// The profiles of the file, read as the Windows tool reads them at its start;
// a file that is there but cannot be read is no empty list.
int LoadList(Cli& cli, std::vector<ProfileFault>* faults = nullptr)
{
    const std::string path = ProfilesPath(cli);
    std::error_code error;
    errno = 0;
    if (ReadProfileFile(cli.app.profiles, path.c_str(), faults)) return ExitOk;
    const int reason = errno;
    if (!std::filesystem::exists(path, error)) return ExitOk;
    return Fail(ExitFile, "cannot read %s%s", path.c_str(), Reason(reason).c_str());
}

// The profile of the name given in UTF-8 (letter case of a..z ignored);
// null after a line.
GameProfile* FindProfile(Cli& cli, const std::string& name)
{
    std::string inFile, refused;
    GameProfile* profile = CodePageFromUtf8(name, inFile, refused) ? cli.app.profiles.Find(inFile.c_str()) : nullptr;
    if (!profile) Fail(ExitUsage, "no profile %s in %s", name.c_str(), ProfilesPath(cli).c_str());
    return profile;
}

// The values of the profile that the file does not give as the profile
// holds them (missing or out of range, so held at their defaults).
std::vector<std::string> RepairedFields(const std::vector<ProfileFault>& faults, const GameProfile& profile)
{
    std::vector<std::string> fields;
    for (const ProfileFault& fault : faults)
        if (fault.field && fault.profile == profile.name) fields.push_back(Utf8FromCodePage(fault.what));
    return fields;
}

// A change of the file. Another vantorctl's change waits for it: the lock
// beside the file is taken before the file is read again and held until the
// new file is in its place, so no change made meanwhile is written over.
// `change` works on the list as the file holds it then; ExitOk lets the
// list be written.
int ChangeList(Cli& cli, const std::function<int()>& change)
{
    std::error_code error;
    std::filesystem::create_directories(cli.dir, error);
    const std::string path = ProfilesPath(cli), lockPath = path + ".lock";
    FileLock lock;
    const int taken = lock.Take(lockPath.c_str(), LockWait, [&] {
        Note(cli, "waiting for another vantorctl to finish its change of %s", path.c_str());
    });
    if (taken == EWOULDBLOCK)
        return Fail(ExitFile, "%s is still being changed by another program holding %s; gave up after %u s",
                    path.c_str(), lockPath.c_str(), static_cast<unsigned>(LockWait / 1000));
    if (taken != 0) return Fail(ExitFile, "cannot lock %s: %s", lockPath.c_str(), std::strerror(taken));
    cli.app.profiles.Clear();
    if (const int status = LoadList(cli); status != ExitOk) return status;
    if (const int status = change(); status != ExitOk) return status;
    return WriteList(cli.app.profiles, path, "");
}

// Why a name or process name given in UTF-8 would not be kept as written in
// a PROFILE line (the file's code page, the rules of the Windows tool's
// profile dialog, and no / at all); empty when it would be, with `text` as
// the file holds it.
std::string UnfitReason(const std::string& given, std::string& text)
{
    char reason[80] = "";
    if (std::string refused; !CodePageFromUtf8(given, text, refused)) return refused;
    if (text.size() > ProfileTextMax) return "is longer than 63 characters";
    if (const unsigned char c = ControlCharacter(text.c_str())) {
        std::snprintf(reason, sizeof reason, "holds the control character 0x%02X", c);
        return reason;
    }
    const std::size_t at = text.find_first_of(",=<>|()\"/");
    if (at == std::string::npos) return "";
    std::snprintf(reason, sizeof reason, "holds %c, which the file would not read back (none of , = < > | ( ) / \")",
                  text[at]);
    return reason;
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

// Standard input whole; false when it could not be read.
bool ReadStandardInput(std::string& text)
{
    char block[4096];
    while (const std::size_t got = std::fread(block, 1, sizeof block, stdin)) text.append(block, got);
    return !std::ferror(stdin);
}

} // namespace

int RunProfileList(Cli& cli)
{
    if (const int status = LoadList(cli); status != ExitOk) return status;
    std::vector<Report> rows;
    for (int i = 0; i < cli.app.profiles.Count(); ++i) {
        const GameProfile& profile = *cli.app.profiles.At(i);
        rows.emplace_back();
        rows.back().Text("Name", Utf8FromCodePage(profile.name));
        rows.back().Text("Process", Utf8FromCodePage(profile.processName));
    }
    Report::PrintRows(rows, cli.invocation.json);
    return ExitOk;
}

int RunProfileShow(Cli& cli)
{
    std::vector<ProfileFault> faults;
    if (const int status = LoadList(cli, &faults); status != ExitOk) return status;
    const GameProfile* profile = FindProfile(cli, cli.arguments[0]);
    if (!profile) return ExitUsage;
    const std::string name = Utf8FromCodePage(profile->name);
    for (const std::string& field : RepairedFields(faults, *profile))
        Note(cli, "profile show: %s: %s; shown is the value taken in its place", name.c_str(), field.c_str());
    Report report;
    report.Text("Name", name);
    report.Text("Process", Utf8FromCodePage(profile->processName));
    for (int f = 0; f < ProfileFieldCount; ++f)
        report.Number(ParamSet[ProfileFields[f].param].name, FieldValue(*profile, f));
    report.Print(cli.invocation.json);
    return ExitOk;
}

int RunProfileApply(Cli& cli)
{
    std::vector<ProfileFault> faults;
    if (const int status = LoadList(cli, &faults); status != ExitOk) return status;
    GameProfile* profile = FindProfile(cli, cli.arguments[0]);
    if (!profile) return ExitUsage;
    const std::vector<std::string> repaired = RepairedFields(faults, *profile);
    const std::string name = Utf8FromCodePage(profile->name);
    for (const std::string& field : repaired) {
        if (cli.invocation.repaired)
            Note(cli, "profile apply: %s: %s; sending the value taken in its place", name.c_str(), field.c_str());
        else
            Fail(ExitRefused, "profile apply: %s: %s; nothing sent (--repaired sends the value taken in its place)",
                 name.c_str(), field.c_str());
    }
    if (!repaired.empty() && !cli.invocation.repaired) return ExitRefused;
    if (const int status = ConnectBoard(cli); status != ExitOk) return status;
    ApplyProfile(cli.app, *profile);
    Report sent;
    return ReadBack(cli, SentRecords(), sent);
}

int RunProfileSave(Cli& cli)
{
    // The texts as the file holds them.
    std::string name, process;
    if (cli.arguments[0].empty()) return Fail(ExitRefused, "profile save: the name is empty");
    const char* what = "name";
    std::string reason = UnfitReason(cli.arguments[0], name);
    if (reason.empty()) {
        what = "process name";
        reason = UnfitReason(cli.invocation.process, process);
    }
    if (!reason.empty()) return Fail(ExitRefused, "profile save: the %s %s", what, reason.c_str());
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
    return ChangeList(cli, [&] {
        GameProfile* profile = app.profiles.Find(name.c_str());
        if (!profile) profile = app.profiles.Append(name.c_str(), process.c_str());
        const auto& given = cli.invocation.commandOptions;
        if (std::find(given.begin(), given.end(), "--process") != given.end())
            SetProfileText(profile->processName, process.c_str());
        StoreProfile(app, *profile);
        return ExitOk;
    });
}

int RunProfileRemove(Cli& cli)
{
    return ChangeList(cli, [&] {
        const GameProfile* profile = FindProfile(cli, cli.arguments[0]);
        if (!profile) return ExitUsage;
        if (std::strcmp(profile->name, DefaultProfileName) == 0)
            return Fail(ExitRefused, "profile remove: You can't remove the default profile");
        cli.app.profiles.Remove(cli.app.profiles.IndexOf(profile));
        return ExitOk;
    });
}

int RunProfileExport(Cli& cli)
{
    if (const int status = LoadList(cli); status != ExitOk) return status;
    const GameProfile* profile = FindProfile(cli, cli.arguments[0]);
    if (!profile) return ExitUsage;
    ProfileList one;
    *one.Append(profile->name, profile->processName) = *profile;
    const std::string& file = cli.arguments[1];
    if (file == StandardStream) {
        const std::string text = ProfileText(one);
        if (text.empty()) return Fail(ExitFile, "profile export: no memory for the profile's text");
        std::fwrite(text.data(), 1, text.size(), stdout); // checked at the end with the rest of the output
        return ExitOk;
    }
    return WriteList(one, file, "profile export: ");
}

int RunProfileImport(Cli& cli)
{
    const bool standardInput = cli.arguments[0] == StandardStream;
    const std::string file = standardInput ? "standard input" : cli.arguments[0];
    ProfileImport imported;
    std::string text;
    errno = 0;
    if (standardInput ? !ReadStandardInput(text) || !ReadProfileImportText(text, imported)
                      : !ReadProfileImport(file.c_str(), imported))
        return Fail(ExitFile, "profile import: cannot read %s%s", file.c_str(), Reason(errno).c_str());
    std::vector<std::string> faults;
    for (const std::string& fault : imported.faults) faults.push_back(Utf8FromCodePage(fault));
    return ChangeList(cli, [&] {
        ProfileList& profiles = cli.app.profiles;
        for (int i = 0; i < imported.profiles.Count(); ++i) {
            const char* name = imported.profiles.At(i)->name;
            if (profiles.Find(name) && !cli.invocation.replace)
                faults.push_back(Utf8FromCodePage(name) + ": " + ProfilesPath(cli) + " has it (--replace replaces it)");
        }
        for (const std::string& fault : faults)
            Fail(ExitRefused, "profile import: %s: %s", file.c_str(), fault.c_str());
        if (!faults.empty()) return ExitRefused;
        AddImportedProfiles(profiles, imported.profiles, [](const GameProfile&) { return true; });
        return ExitOk;
    });
}
