#include "drive/DriveStatistics.h"

// The drive link and its page come with their own part; until then there
// is nothing to refresh.
void RefreshDriveStatistics(AppContext&) {}
