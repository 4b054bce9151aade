#pragma once

#include "platform/NativeHandle.h"

#include <cstddef>
#include <cstdint>

// The dialog controls the portable code writes and reads, keyed by the
// dialog's window and the control's id. The Windows implementation
// (SystemControls on Windows) is a thin layer over the dialog's HWND:
// SetDlgItemTextA, GetDlgItem, the trackbar messages TBM_*, the combo box
// messages CB_*, the button check state, EnableWindow, MessageBoxA and the
// file dialogs of GetOpenFileNameA and GetSaveFileNameA.
// RecordingControls (platform/RecordingControls.h) keeps the same state in
// memory, so the rules that drive controls are tested without windows.
class Controls {
public:
    virtual void SetText(NativeHandle dialog, int id, const char* text) = 0;
    // Copies the control's text, cut to fit and always zero-terminated;
    // returns the length copied.
    virtual std::size_t Text(NativeHandle dialog, int id, char* buffer, std::size_t size) = 0;
    // The control's own window (GetDlgItem), null when there is none.
    virtual NativeHandle Find(NativeHandle dialog, int id) = 0;

    // Trackbars. The range is handed on as two 16-bit words, as
    // TBM_SETRANGE takes it; no redraw.
    virtual void SetTrackbarRange(NativeHandle dialog, int id, int minimum, int maximum) = 0;
    virtual void AddTrackbarTick(NativeHandle dialog, int id, int position) = 0;
    virtual void SetTrackbarPosition(NativeHandle dialog, int id, int position) = 0;
    virtual int TrackbarPosition(NativeHandle dialog, int id) = 0;

    // Combo boxes: items carry a data value; selection -1 = none.
    virtual void ResetCombo(NativeHandle dialog, int id) = 0;
    virtual void AddComboItem(NativeHandle dialog, int id, const char* text, intptr_t data) = 0;
    virtual void SelectComboItem(NativeHandle dialog, int id, int index) = 0;
    virtual int ComboSelection(NativeHandle dialog, int id) = 0;
    virtual intptr_t ComboItemData(NativeHandle dialog, int id, int index) = 0;

    virtual void SetChecked(NativeHandle dialog, int id, bool checked) = 0;
    virtual bool IsChecked(NativeHandle dialog, int id) = 0;
    virtual void Enable(NativeHandle dialog, int id, bool enabled) = 0;
    virtual bool IsEnabled(NativeHandle dialog, int id) = 0;

    // A modal message box owned by the window; returns the button chosen
    // (MessageBoxA's IDOK, IDYES ... values).
    virtual int ShowMessage(NativeHandle owner, const char* text, const char* caption, unsigned style) = 0;

    // The standard dialog that chooses a file, owned by the window: one to
    // read, or with `save` one to write (replacing a file is asked first).
    // `filter` is the dialog's list of "description\0pattern\0" pairs and
    // `extension` the one added to a name typed without one; `path` holds
    // the name it starts with and takes the choice. False when the user
    // cancelled. The working folder stays as it was.
    virtual bool ChooseFile(NativeHandle owner, bool save, const char* title, const char* filter,
                            const char* extension, char* path, std::size_t size) = 0;

protected:
    ~Controls() = default;
};

// Notification codes a combo box sends with its commands.
constexpr int ComboSelectionChanged = 1; // a new entry was chosen
constexpr int ComboFocused = 3;          // it took the keyboard focus
constexpr int ComboListOpening = 7;      // its list is about to drop down

// The system's controls: dialog windows on Windows. Systems without
// dialogs (the native test and tool builds) get one process-wide
// RecordingControls.
Controls& SystemControls();

// The controls in use: the system's unless others were put in place.
Controls& ActiveControls();

// Puts controls in place (nullptr = the system's again); returns the ones
// they replace.
Controls* UseControls(Controls* controls);
