#include "platform/ModalDialog.h"

namespace {
ModalDialogRunner g_runner = nullptr;
}

int RunModalDialog(NativeHandle owner, int resourceId, DialogLogic& logic)
{
    return (g_runner ? g_runner : RunSystemDialog)(owner, resourceId, logic);
}

ModalDialogRunner UseModalDialogs(ModalDialogRunner runner)
{
    ModalDialogRunner previous = g_runner;
    g_runner = runner;
    return previous;
}
