#include "profiles/ProfileFile.h"

// The profile list is read and written once game profiles exist.
void LoadProfiles(AppContext&) {}

void SaveProfiles(AppContext&) {}
