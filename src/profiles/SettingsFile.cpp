#include "profiles/SettingsFile.h"

// The settings file is read and written once the script tables exist; until
// then the defaults of the application context stand.
void LoadSettings(AppContext&) {}

void SaveSettings(const AppContext&) {}
