#pragma once

// Sounds the system's alert of the given type (MessageBeep on Windows).
// Systems without one stay silent.
void SystemBeep(unsigned type);
