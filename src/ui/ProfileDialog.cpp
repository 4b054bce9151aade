#include "ui/ProfileDialog.h"

#include "core/AppContext.h"
#include "board/BoardProtocol.h"
#include "exec/Exec.h"
#include "platform/Controls.h"
#include "platform/MessageBoxStyle.h"
#include "profiles/Profiles.h"

#include <cstring>

namespace {

constexpr int OkId = 1;
constexpr int CancelId = 2;
constexpr int KeepOpen = -1;
constexpr std::size_t FieldSize = 128; // the fields are read up to 127 characters


const char UpdateQuestion[] = "Profile already exists, do you want to update it ?";
const char UnfitText[] = "Profile and process names can't contain any of , = < > | ( ) \" nor // or /* "
                         "nor a control character, since they would not read back from the profiles file.";

void RunDialog(AppContext& app, GameProfile* profile)
{
    WaitLinkIdle(app);
    app.commandBusy = 1;
    ProfileDialogLogic logic(app, profile);
    RunModalDialog(app.mainPage, ProfileDialogId, logic);
    app.commandBusy = 0;
}

} // namespace

bool ProfileTextFitsFile(const char* text)
{
    // A Ctrl-Z or a zero ends the reader's text, line ends and tabs split it.
    for (const char* c = text; *c; ++c)
        if (static_cast<unsigned char>(*c) < 0x20 || *c == 0x7F) return false;
    return std::strpbrk(text, ",=<>|()\"") == nullptr && std::strstr(text, "//") == nullptr &&
           std::strstr(text, "/*") == nullptr;
}

void ProfileDialogLogic::Init(NativeHandle dialog)
{
    if (!profile_) return;
    Controls& controls = ActiveControls();
    controls.SetText(dialog, ProfileNameEditId, profile_->name);
    controls.Enable(dialog, ProfileNameEditId, false);
    controls.SetText(dialog, ProcessNameEditId, profile_->processName);
}

int ProfileDialogLogic::Command(NativeHandle dialog, int id)
{
    if (id == CancelId) return 0;
    if (id == OkId) return Accept(dialog);
    return KeepOpen;
}

int ProfileDialogLogic::Accept(NativeHandle dialog)
{
    Controls& controls = ActiveControls();
    char name[FieldSize] = {};
    char processName[FieldSize] = {};
    controls.Text(dialog, ProfileNameEditId, name, sizeof name);
    controls.Text(dialog, ProcessNameEditId, processName, sizeof processName);
    // Profiles keep 63 characters of each text.
    name[ProfileTextMax] = '\0';
    processName[ProfileTextMax] = '\0';

    if (!ProfileTextFitsFile(processName) || (!profile_ && !ProfileTextFitsFile(name))) {
        controls.ShowMessage(dialog, UnfitText, ExecCaption(), MessageIconExclamation);
        return KeepOpen;
    }

    GameProfile* chosen = profile_;
    if (chosen) {
        SetProfileText(chosen->processName, processName);
    } else if ((chosen = app_.profiles.Find(name)) != nullptr) {
        if (controls.ShowMessage(dialog, UpdateQuestion, ExecCaption(), MessageYesNo | MessageIconQuestion) != MessageAnswerYes) return 0;
        SetProfileText(chosen->processName, processName);
    } else {
        chosen = CreateProfile(app_, name, processName);
    }
    const int index = ProfileComboIndex(app_, chosen);
    if (index >= 0) SelectProfile(app_, index);
    return 1;
}

void NewProfile(AppContext& app) { RunDialog(app, nullptr); }

void EditProfile(AppContext& app)
{
    if (GameProfile* profile = SelectedProfile(app)) RunDialog(app, profile);
}
