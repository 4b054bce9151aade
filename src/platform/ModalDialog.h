#pragma once

#include "platform/NativeHandle.h"

// What a modal dialog does, apart from its windows: filled when it opens,
// asked on every command. The dialog's controls are reached with
// ActiveControls() and the dialog handle given here.
class DialogLogic {
public:
    virtual void Init(NativeHandle dialog) = 0;
    // A command of the dialog (a button id; 1 also for Enter and Ctrl+Enter,
    // 2 for Escape and the close button). Returns the code that ends the
    // dialog, or -1 to keep it open.
    virtual int Command(NativeHandle dialog, int id) = 0;
    // A command with the control's notification code (0 for a click, Enter
    // and Escape). By default only the id is looked at.
    virtual int Notified(NativeHandle dialog, int id, int /*code*/) { return Command(dialog, id); }
    // A scroll notification of one of its trackbars (its window).
    virtual void Scrolled(NativeHandle /*dialog*/, NativeHandle /*trackbar*/) {}
    // The period of the dialog's timer in milliseconds, 0 for none; it runs
    // from Init until the dialog ends, calling Timer each time.
    virtual unsigned TimerPeriodMs() const { return 0; }
    virtual void Timer(NativeHandle /*dialog*/) {}

protected:
    ~DialogLogic() = default;
};

// Runs a modal dialog: the dialog resource with that id, owned by the
// window, driven by the logic. Returns the code that ended it; 0 when it
// could not be shown.
using ModalDialogRunner = int (*)(NativeHandle owner, int resourceId, DialogLogic& logic);

// The system's dialogs (DialogBoxParam on Windows). Systems without dialog
// resources show nothing and return 0.
int RunSystemDialog(NativeHandle owner, int resourceId, DialogLogic& logic);

// Runs a dialog with the runner in use: the system's unless another was
// put in place (tests script the user's input that way).
int RunModalDialog(NativeHandle owner, int resourceId, DialogLogic& logic);
// Puts a runner in place (nullptr = the system's); returns the one replaced.
ModalDialogRunner UseModalDialogs(ModalDialogRunner runner);
