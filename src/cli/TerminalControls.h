#pragma once

#include "platform/Controls.h"

#include <map>
#include <string>
#include <utility>

// The dialog controls of a program without windows: the texts the core
// shows are kept for the program to read back, a message box becomes a
// line on standard error (a question is not answered Yes), and everything
// else has nothing to show.
class TerminalControls final : public Controls {
public:
    void SetText(NativeHandle dialog, int id, const char* text) override { texts_[{dialog, id}] = text; }
    std::size_t Text(NativeHandle dialog, int id, char* buffer, std::size_t size) override;
    NativeHandle Find(NativeHandle, int) override { return nullptr; }
    void SetTrackbarRange(NativeHandle, int, int, int) override {}
    void AddTrackbarTick(NativeHandle, int, int) override {}
    void SetTrackbarPosition(NativeHandle, int, int) override {}
    int TrackbarPosition(NativeHandle, int) override { return 0; }
    void ResetCombo(NativeHandle, int) override {}
    void AddComboItem(NativeHandle, int, const char*, intptr_t) override {}
    void SelectComboItem(NativeHandle, int, int) override {}
    int ComboSelection(NativeHandle, int) override { return -1; }
    intptr_t ComboItemData(NativeHandle, int, int) override { return -1; }
    void SetChecked(NativeHandle, int, bool) override {}
    bool IsChecked(NativeHandle, int) override { return false; }
    void Enable(NativeHandle, int, bool) override {}
    bool IsEnabled(NativeHandle, int) override { return true; }
    int ShowMessage(NativeHandle owner, const char* text, const char* caption, unsigned style) override;
    bool ChooseFile(NativeHandle, bool, const char*, const char*, const char*, char*, std::size_t) override { return false; }

    // The control's text; empty when the core wrote none.
    std::string TextOf(NativeHandle dialog, int id) const;
    // The message boxes shown so far.
    int Messages() const { return messages_; }

private:
    std::map<std::pair<NativeHandle, int>, std::string> texts_;
    int messages_ = 0;
};
