#include "ui/ProfileSharing.h"

#include "exec/Exec.h"
#include "exec/Log.h"
#include "platform/Controls.h"
#include "platform/MessageBoxStyle.h"
#include "profiles/ProfileFile.h"
#include "profiles/ProfileImport.h"
#include "profiles/Profiles.h"

#include <cstdio>
#include <string>

namespace {

constexpr char FileTypes[] = "Game profiles (*.ini)\0*.ini\0All files (*.*)\0*.*\0";
constexpr char Extension[] = "ini";
constexpr std::size_t PathSize = 1024;
// The damaged lines a refusal lists; a longer list ends with their count.
constexpr std::size_t ListedFaults = 20;

void Tell(NativeHandle page, const std::string& text, unsigned icon)
{
    ActiveControls().ShowMessage(page, text.c_str(), ExecCaption(), icon);
}

// The profile's name as a file name: the characters a Windows file name
// cannot hold become '_'.
std::string FileNameOf(const char* name)
{
    std::string file = name;
    for (char& c : file)
        if (static_cast<unsigned char>(c) < 0x20 || std::string(":\\/*?\"<>|").find(c) != std::string::npos) c = '_';
    return file + "." + Extension;
}

} // namespace

void ImportProfiles(AppContext& app, NativeHandle page)
{
    Controls& controls = ActiveControls();
    char path[PathSize] = "";
    if (!controls.ChooseFile(page, false, "Import Game Profiles", FileTypes, Extension, path, sizeof path)) return;
    ProfileImport imported;
    if (!ReadProfileImport(path, imported)) {
        LogPrintf(0, "ImportProfiles: could not read %s", path);
        Tell(page, std::string("Could not read ") + path, MessageIconExclamation);
        return;
    }
    if (!imported.faults.empty()) {
        LogPrintf(0, "ImportProfiles: %s refused, %d damaged lines", path, static_cast<int>(imported.faults.size()));
        std::string text = std::string("The file ") + path + " was not imported:";
        for (std::size_t i = 0; i < imported.faults.size() && i < ListedFaults; ++i) text += "\n" + imported.faults[i];
        if (imported.faults.size() > ListedFaults)
            text += "\n... and " + std::to_string(imported.faults.size() - ListedFaults) + " more";
        Tell(page, text, MessageIconExclamation);
        return;
    }
    const GameProfile* current = SelectedProfile(app);
    bool currentReplaced = false;
    AddImportedProfiles(app.profiles, imported.profiles, [&](const GameProfile& kept) {
        const std::string question = std::string("There is a profile named ") + kept.name +
                                     " already. Replace it with the one from the file?";
        const bool replace = controls.ShowMessage(page, question.c_str(), ExecCaption(), MessageYesNo | MessageIconQuestion) ==
                             MessageAnswerYes;
        currentReplaced = currentReplaced || (replace && &kept == current);
        return replace;
    });
    RefreshProfileCombo(app, !currentReplaced);
}

void ExportProfiles(AppContext& app, NativeHandle page)
{
    Controls& controls = ActiveControls();
    const GameProfile* selected = SelectedProfile(app);
    bool all = selected == nullptr;
    if (selected && app.profiles.Count() > 1) {
        const std::string question = "Export all " + std::to_string(app.profiles.Count()) +
                                     " game profiles?\n\nNo exports the profile " + selected->name + " alone.";
        const int answer = controls.ShowMessage(page, question.c_str(), ExecCaption(), MessageYesNoCancel | MessageIconQuestion);
        if (answer == MessageAnswerCancel) return;
        all = answer == MessageAnswerYes;
    }
    ProfileList chosen;
    for (int i = 0; i < app.profiles.Count(); ++i) {
        const GameProfile& profile = *app.profiles.At(i);
        if (all || &profile == selected) *chosen.Append(profile.name, profile.processName) = profile;
    }
    char path[PathSize] = "";
    std::snprintf(path, sizeof path, "%s", all ? "AllGameProfiles.ini" : FileNameOf(selected->name).c_str());
    if (!controls.ChooseFile(page, true, "Export Game Profiles", FileTypes, Extension, path, sizeof path)) return;
    // A file that cannot be opened for writing (read only, in use, a
    // folder) is told here, before the runtime's own failure box.
    if (std::FILE* file = std::fopen(path, "ab")) {
        std::fclose(file);
        if (WriteProfileFile(chosen, path)) return;
    }
    LogPrintf(0, "ExportProfiles: could not write %s", path);
    Tell(page, std::string("Could not write ") + path, MessageIconExclamation);
}
