#pragma once

// The program's own version, 0.21: shown in the title and on the main page,
// compared by the update check.
constexpr int VersionMajor = 0;
constexpr int VersionMinor = 21;
