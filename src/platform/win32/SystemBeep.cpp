#include "platform/SystemBeep.h"

#include <windows.h>

void SystemBeep(unsigned type) { MessageBeep(type); }
