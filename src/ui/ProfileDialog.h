#pragma once

#include "platform/ModalDialog.h"

struct AppContext;
struct GameProfile;

// The profile dialog ("Game Profile", resource 184).
constexpr int ProfileDialogId = 184;
constexpr int ProfileNameEditId = 1206;
constexpr int ProcessNameEditId = 1207;

// What the dialog does: with no profile it makes a new one (or updates the
// one of that name when the user agrees); with one, it changes its process
// name. Either way the profile becomes the selected one.
class ProfileDialogLogic final : public DialogLogic {
public:
    ProfileDialogLogic(AppContext& app, GameProfile* profile) : app_(app), profile_(profile) {}
    void Init(NativeHandle dialog) override;
    int Command(NativeHandle dialog, int id) override;

private:
    int Accept(NativeHandle dialog);

    AppContext& app_;
    GameProfile* profile_;
};

// True when the text survives the profile file unchanged: none of , = < > |
// ( ) " or a control character (below 0x20, and 0x7F), and no // or /*,
// which the file reader would take apart.
bool ProfileTextFitsFile(const char* text);

// "New": a new profile through the dialog.
void NewProfile(AppContext& app);
// "Edit": the selected profile through the dialog.
void EditProfile(AppContext& app);
