#pragma once

struct AppContext;

// The drive page's current statistics, refreshed from the tick with "dev".
void RefreshDriveStatistics(AppContext& app);
