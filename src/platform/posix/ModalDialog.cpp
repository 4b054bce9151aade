#include "platform/ModalDialog.h"

int RunSystemDialog(NativeHandle, int, DialogLogic&) { return 0; }
