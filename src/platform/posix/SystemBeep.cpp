#include "platform/SystemBeep.h"

// No system alert sound here: a terminal bell would land in the middle of
// the standard error stream, so the beep is silent.
void SystemBeep(unsigned) {}
