#include "update/UpdateCheck.h"

void CheckForUpdates(NativeHandle /*window*/, bool /*quiet*/) {}
